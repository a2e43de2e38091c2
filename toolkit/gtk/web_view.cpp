#include "toolkit/gtk/web_view.h"

#include <webkit2/webkit2.h>

#include "platform/codepage.h"
#include "toolkit/app.h"
#include "toolkit/web_address.h"

namespace velk::tk {

namespace {

// One engine context for the process, so every view shares its network
// process and the settings below. Set before the first web process starts.
WebKitWebContext* shared_context() {
  static WebKitWebContext* context = [] {
    // A page that eats memory gets its web process killed (the view reports
    // it and stays usable) instead of dragging the desktop into swap or the
    // kernel's out-of-memory killer: by default the engine never kills.
    WebKitMemoryPressureSettings* memory = webkit_memory_pressure_settings_new();
    webkit_memory_pressure_settings_set_memory_limit(memory, 2048);  // MB
    webkit_memory_pressure_settings_set_conservative_threshold(memory, 0.33);
    webkit_memory_pressure_settings_set_strict_threshold(memory, 0.5);
    webkit_memory_pressure_settings_set_kill_threshold(memory, 1.0);
    auto* c = WEBKIT_WEB_CONTEXT(
        g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", memory, nullptr));
    webkit_memory_pressure_settings_free(memory);
    // A browser with back and forward buttons: keep the back-forward page
    // cache and the memory cache; the limits above bound them.
    webkit_web_context_set_cache_model(c, WEBKIT_CACHE_MODEL_WEB_BROWSER);
    return c;
  }();
  return context;
}

WebView* self_of(gpointer data) { return static_cast<WebView*>(data); }

void title_cb(GObject*, GParamSpec*, gpointer self) { self_of(self)->title_changed(); }

void uri_cb(GObject*, GParamSpec*, gpointer self) { self_of(self)->uri_changed(false); }

void load_changed_cb(WebKitWebView*, WebKitLoadEvent event, gpointer self) {
  if (event == WEBKIT_LOAD_COMMITTED) self_of(self)->uri_changed(true);
}

void mouse_target_cb(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer self) {
  self_of(self)->link_under_pointer(
      webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit)
                                                  : nullptr);
}

const char* request_uri(WebKitNavigationAction* action) {
  WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
  return request ? webkit_uri_request_get_uri(request) : nullptr;
}

// target="_blank" and the like: refused here, so the engine never goes on
// to "create" for the same request.
gboolean decide_policy_cb(WebKitWebView*, WebKitPolicyDecision* decision,
                          WebKitPolicyDecisionType type, gpointer self) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) return FALSE;
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  self_of(self)->new_window_requested(request_uri(action));
  webkit_policy_decision_ignore(decision);
  return TRUE;
}

// window.open and other paths that skip the new-window policy.
GtkWidget* create_cb(WebKitWebView*, WebKitNavigationAction* action, gpointer self) {
  self_of(self)->new_window_requested(request_uri(action));
  return nullptr;
}

void terminated_cb(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer self) {
  self_of(self)->process_terminated(static_cast<int>(reason));
}

bool is_script_address(const std::string& uri) {
  return g_ascii_strncasecmp(uri.c_str(), "javascript:", 11) == 0;
}

}  // namespace

WebView::WebView(Control& control, GtkWidget* box) : control_(control) {
  view_ = webkit_web_view_new_with_context(shared_context());
  g_object_ref_sink(view_);
  WebKitSettings* settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view_));
  // Pages may not open windows on their own; after a click they ask, and
  // the control's NewWindow event decides.
  webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
  g_signal_connect(view_, "notify::title", G_CALLBACK(title_cb), this);
  g_signal_connect(view_, "notify::uri", G_CALLBACK(uri_cb), this);
  g_signal_connect(view_, "load-changed", G_CALLBACK(load_changed_cb), this);
  g_signal_connect(view_, "mouse-target-changed", G_CALLBACK(mouse_target_cb), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(decide_policy_cb), this);
  g_signal_connect(view_, "create", G_CALLBACK(create_cb), this);
  g_signal_connect(view_, "web-process-terminated", G_CALLBACK(terminated_cb), this);
  gtk_container_add(GTK_CONTAINER(box), view_);
}

WebView::~WebView() {
  *alive_ = false;
  if (new_window_idle_) g_source_remove(new_window_idle_);
  g_signal_handlers_disconnect_by_data(view_, this);
  gtk_widget_destroy(view_);  // out of its box, and the engine closes the page
  g_object_unref(view_);
}

void WebView::navigate(const Text& address) {
  std::string uri = web_address_for_engine(address);
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view_), uri.c_str());
}

void WebView::go_back() { webkit_web_view_go_back(WEBKIT_WEB_VIEW(view_)); }

void WebView::go_forward() { webkit_web_view_go_forward(WEBKIT_WEB_VIEW(view_)); }

void WebView::title_changed() {
  const char* title = webkit_web_view_get_title(WEBKIT_WEB_VIEW(view_));
  control_.backend_set_title(title ? utf8_to_gbk(title) : Text());
}

void WebView::uri_changed(bool committed) {
  // While a load is only provisional the view's uri is the one asked for;
  // the model's address takes the committed one (and same-page moves).
  auto* view = WEBKIT_WEB_VIEW(view_);
  if (!committed && webkit_web_view_is_loading(view)) return;
  const char* uri = webkit_web_view_get_uri(view);
  if (uri) control_.backend_set_address(utf8_to_gbk(uri));
}

void WebView::link_under_pointer(const char* uri_utf8) {
  control_.backend_set_status_text(uri_utf8 ? utf8_to_gbk(uri_utf8) : Text());
}

void WebView::new_window_requested(const char* uri_utf8) {
  // The handler runs once the engine's signal has returned: it may navigate
  // or close the window, which destroys this view.
  new_window_requests_.emplace_back(uri_utf8 ? uri_utf8 : "");
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

void WebView::process_terminated(int reason) {
  g_printerr("velk: the web content process ended (%s); the next address starts a new one\n",
             reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "memory limit"
             : reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API ? "ended by the program"
                                                               : "crash");
  control_.backend_set_status_text(Text());
}

}  // namespace velk::tk
