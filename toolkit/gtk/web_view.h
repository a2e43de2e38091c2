#pragma once
// The engine behind a web view control: a WebKitWebView filling the
// control's box. It navigates when the model's `address` is written, and
// reports the page's title, the link under the pointer and the committed
// address back into the model. A page's request for a new window raises the
// control's NewWindow event once; no path opens a window of the engine's.
//
// Destroying it destroys the engine's view, which ends its web process.
#include <gtk/gtk.h>

#include <deque>
#include <memory>
#include <string>

#include "toolkit/control.h"

namespace velk::tk {

class WebView {
 public:
  // Builds the engine's view and puts it into `box` (a filling VelkBox).
  WebView(Control& control, GtkWidget* box);
  ~WebView();
  WebView(const WebView&) = delete;
  WebView& operator=(const WebView&) = delete;

  GtkWidget* widget() const { return view_; }
  // `address` is the model's text (GBK), as the program handed it over.
  void navigate(const Text& address);
  void go_back();
  void go_forward();

  // Signal handlers of the engine's view (public for the C callbacks).
  void title_changed();
  void uri_changed(bool committed);
  void link_under_pointer(const char* uri_utf8);
  void new_window_requested(const char* uri_utf8);
  void process_terminated(int reason);

 private:
  static gboolean run_new_window_requests_cb(gpointer self);
  void run_new_window_requests();

  Control& control_;
  GtkWidget* view_ = nullptr;  // our own reference, besides the box's
  std::deque<std::string> new_window_requests_;  // UTF-8 addresses
  guint new_window_idle_ = 0;
  // Tells a handler's caller whether this object outlived the handler (a
  // handler may close the window).
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velk::tk
