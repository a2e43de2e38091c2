#include "toolkit/gtk/web_view.h"

#include "platform/codepage.h"
#include "toolkit/app.h"
#include "toolkit/web_address.h"

namespace velk::tk {

namespace {

bool is_script_address(const std::string& uri) { return g_ascii_strncasecmp(uri.c_str(), "javascript:", 11) == 0; }

// A text in place of the page.
GtkWidget* text_in_place_of_page(const std::string& text) {
  GtkWidget* label = gtk_label_new(text.c_str());
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
  return label;
}

// In place of the page when the engine module cannot be loaded.
GtkWidget* engine_error_label(const std::string& why) {
  return text_in_place_of_page(gbk_to_utf8("网页引擎无法载入，无法显示网页。") + "\n\n" + why);
}

}  // namespace

WebView::WebView(Control& control, GtkWidget* box) : control_(control), box_(box) {
  std::string error;
  if (NewWebEngineView new_view = LoadWebEngine(error)) engine_.reset(new_view(this));
  if (engine_) {
    widget_ = engine_->widget();
  } else {
    g_printerr("velk: %s\n", error.c_str());
    widget_ = engine_error_label(error);
  }
  g_object_ref(widget_);
  gtk_container_add(GTK_CONTAINER(box), widget_);
}

WebView::~WebView() {
  *alive_ = false;
  if (new_window_idle_) g_source_remove(new_window_idle_);
  if (engine_) {
    engine_.reset();  // destroys its widget
  } else {
    gtk_widget_destroy(widget_);
  }
  g_object_unref(widget_);
}

void WebView::navigation_asked() {
  navigating_ = true;
  if (!dead_page_text_) return;
  gtk_widget_destroy(dead_page_text_);
  dead_page_text_ = nullptr;
  gtk_widget_show(widget_);
}

void WebView::navigate(const Text& address) {
  if (!engine_) return;
  navigation_asked();
  engine_->load(web_address_for_engine(address).c_str());
}

void WebView::go_back() {
  if (!engine_) return;
  navigation_asked();
  engine_->go_back();
}

void WebView::go_forward() {
  if (!engine_) return;
  navigation_asked();
  engine_->go_forward();
}

void WebView::title_changed(const char* title) { control_.backend_set_title(title ? utf8_to_gbk(title) : Text()); }

void WebView::address_changed(const char* uri) {
  navigating_ = false;
  control_.backend_set_address(utf8_to_gbk(uri));
}

void WebView::link_under_pointer(const char* uri) {
  control_.backend_set_status_text(uri ? utf8_to_gbk(uri) : Text());
}

void WebView::new_window_requested(const char* uri) {
  // The handler runs once the engine's signal has returned: it may navigate
  // or close the window, which destroys this view.
  new_window_requests_.emplace_back(uri ? uri : "");
  if (!new_window_idle_) new_window_idle_ = g_idle_add(run_new_window_requests_cb, this);
}

gboolean WebView::run_new_window_requests_cb(gpointer self) {
  auto* view = static_cast<WebView*>(self);
  view->new_window_idle_ = 0;
  view->run_new_window_requests();
  return G_SOURCE_REMOVE;
}

void WebView::run_new_window_requests() {
  std::weak_ptr<bool> alive = alive_;
  while (!new_window_requests_.empty()) {
    std::string uri = std::move(new_window_requests_.front());
    new_window_requests_.pop_front();
    Control& c = control_;
    if (!c.form().is_open()) return;
    EventArgs args{c.form(), c, Event::NewWindow};
    args.address = utf8_to_gbk(uri);
    c.form().app().dispatch(args);
    if (alive.expired()) return;
    // Allowed: the program has no second browser window, so the page comes
    // here. A script address would run in the page shown now: never.
    if (args.allow && !uri.empty() && !is_script_address(uri)) c.set_address(args.address);
  }
}

void WebView::process_ended(bool by_program, const char* why) {
  g_printerr("velk: the web content process ended (%s); the next address starts a new one\n", why);
  control_.backend_set_status_text(Text());
  // The navigation that ended it, or one asked for since, brings its page.
  if (by_program || navigating_ || dead_page_text_) return;
  // Not the last picture of a page that is gone: a short text of ours, in
  // place of the page until the next navigation.
  dead_page_text_ = text_in_place_of_page(gbk_to_utf8("这个网页出了问题，已经停止。请再打开一次，或换一个网址。"));
  gtk_container_add(GTK_CONTAINER(box_), dead_page_text_);
  gtk_widget_hide(widget_);
  gtk_widget_show(dead_page_text_);
}

}  // namespace velk::tk
