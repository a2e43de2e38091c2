#pragma once
// The web view control's engine side: a page view of the web engine module
// filling the control's box. It navigates when the model's `address` is
// written, and reports the page's title, the link under the pointer and the
// committed address back into the model. A page's request for a new window
// raises the control's NewWindow event once; no path opens a window of the
// engine's.
//
// The engine module is loaded when the first web view is made. When it
// cannot be loaded, the box shows an error text instead of a page and the
// view does nothing else.
//
// Destroying it destroys the engine's view, which ends its web process.
#include <gtk/gtk.h>

#include <deque>
#include <memory>
#include <string>

#include "toolkit/control.h"
#include "toolkit/gtk/web_engine.h"

namespace velk::tk {

class WebView final : private WebEngineHost {
 public:
  // Builds the engine's view (or the error text) and puts it into `box` (a
  // filling VelkBox).
  WebView(Control& control, GtkWidget* box);
  ~WebView();
  WebView(const WebView&) = delete;
  WebView& operator=(const WebView&) = delete;

  // The engine's widget, or the error label.
  GtkWidget* widget() const { return widget_; }
  // `address` is the model's text (GBK), as the program handed it over.
  void navigate(const Text& address);
  void go_back();
  void go_forward();

 private:
  // What the engine reports.
  void title_changed(const char* title) override;
  void address_changed(const char* uri) override;
  void link_under_pointer(const char* uri) override;
  void new_window_requested(const char* uri) override;
  void process_ended(bool by_program, const char* why) override;

  static gboolean run_new_window_requests_cb(gpointer self);
  void run_new_window_requests();
  // A navigation is asked for: the page comes in place of a dead one.
  void navigation_asked();

  Control& control_;
  std::unique_ptr<WebEngineView> engine_;
  GtkWidget* widget_ = nullptr;
  GtkWidget* box_ = nullptr;
  GtkWidget* dead_page_text_ = nullptr;  // over a page whose process died
  bool navigating_ = false;              // asked for, not yet committed
  std::deque<std::string> new_window_requests_;  // UTF-8 addresses
  guint new_window_idle_ = 0;
  // Tells a handler's caller whether this object outlived the handler (a
  // handler may close the window).
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace velk::tk
