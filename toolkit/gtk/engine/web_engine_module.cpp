// The web engine module: WebKitGTK behind the WebEngineView seam. Built as
// velk_web_engine.so and loaded by the GTK backend the first time a web view
// is made; nothing else of Velk links WebKit.
#include <webkit2/webkit2.h>

#include <string>

#include "toolkit/gtk/web_engine.h"

namespace velk::tk {
namespace {

WebEngineSettings configured;

// One engine context for the process, so every view shares its network
// process and the settings below. Set before the first web process starts.
WebKitWebContext* shared_context() {
  static WebKitWebContext* context = [] {
    // A page that eats memory gets its web process killed (the view reports
    // it and stays usable) instead of dragging the desktop into swap or the
    // kernel's out-of-memory killer: by default the engine never kills.
    WebKitMemoryPressureSettings* memory = webkit_memory_pressure_settings_new();
    webkit_memory_pressure_settings_set_memory_limit(memory, configured.memory_limit_mb);
    webkit_memory_pressure_settings_set_conservative_threshold(memory, 0.33);
    webkit_memory_pressure_settings_set_strict_threshold(memory, 0.5);
    webkit_memory_pressure_settings_set_kill_threshold(memory, 1.0);
    // The engine looks at the memory every 30 s by default, so a page that
    // allocates fast would be far past the limit before it is seen.
    webkit_memory_pressure_settings_set_poll_interval(memory, 1.0);
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

const char* request_uri(WebKitNavigationAction* action) {
  WebKitURIRequest* request = action ? webkit_navigation_action_get_request(action) : nullptr;
  return request ? webkit_uri_request_get_uri(request) : nullptr;
}

class WebKitView final : public WebEngineView {
 public:
  explicit WebKitView(WebEngineHost* host) : host_(host) {
    view_ = webkit_web_view_new_with_context(shared_context());
    g_object_ref_sink(view_);
    WebKitSettings* settings = webkit_web_view_get_settings(WEBKIT_WEB_VIEW(view_));
    // Pages may not open windows on their own; after a click they ask, and
    // the host decides.
    webkit_settings_set_javascript_can_open_windows_automatically(settings, FALSE);
    // Every signal of the view, in one place.
    g_signal_connect(view_, "notify::title", G_CALLBACK(title_cb), this);
    g_signal_connect(view_, "notify::uri", G_CALLBACK(uri_cb), this);
    g_signal_connect(view_, "load-changed", G_CALLBACK(load_changed_cb), this);
    g_signal_connect(view_, "mouse-target-changed", G_CALLBACK(mouse_target_cb), this);
    g_signal_connect(view_, "decide-policy", G_CALLBACK(decide_policy_cb), this);
    g_signal_connect(view_, "create", G_CALLBACK(create_cb), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(terminated_cb), this);
    g_signal_connect(view_, "notify::is-web-process-responsive", G_CALLBACK(responsive_cb), this);
  }

  ~WebKitView() override {
    g_signal_handlers_disconnect_by_data(view_, this);
    gtk_widget_destroy(view_);  // out of its box, and the engine closes the page
    g_object_unref(view_);
  }

  GtkWidget* widget() override { return view_; }
  void load(const char* uri) override { navigate({Step::Load, uri}); }
  void go_back() override { navigate({Step::Back, {}}); }
  void go_forward() override { navigate({Step::Forward, {}}); }

 private:
  // A navigation the user asked for, kept until the page commits, so that it
  // can be made again past a page that stopped responding.
  struct Navigation {
    enum class Step { None, Load, Back, Forward } step = Step::None;
    std::string uri;
  };
  using Step = Navigation::Step;

  void navigate(Navigation next) {
    pending_ = std::move(next);
    // A page that stopped responding would never take the request: its
    // process goes, and the next one loads the page.
    if (!webkit_web_view_get_is_web_process_responsive(web())) end_unresponsive_process();
    start(pending_);
  }

  void start(const Navigation& n) {
    switch (n.step) {
      case Step::Load: webkit_web_view_load_uri(web(), n.uri.c_str()); break;
      case Step::Back: webkit_web_view_go_back(web()); break;
      case Step::Forward: webkit_web_view_go_forward(web()); break;
      case Step::None: break;
    }
  }

  void end_unresponsive_process() {
    ending_process_ = true;
    webkit_web_view_terminate_web_process(web());
  }

  // The engine noticed that the page stopped answering: a navigation asked
  // for in the meantime is made again past it.
  void responsiveness_changed() {
    if (webkit_web_view_get_is_web_process_responsive(web()) || pending_.step == Step::None) return;
    end_unresponsive_process();
    start(pending_);
  }
  WebKitWebView* web() const { return WEBKIT_WEB_VIEW(view_); }
  static WebKitView* self(gpointer data) { return static_cast<WebKitView*>(data); }

  void uri_changed(bool committed) {
    // While a load is only provisional the view's uri is the one asked for;
    // the host takes the committed one (and same-page moves).
    if (!committed && webkit_web_view_is_loading(web())) return;
    if (const char* uri = webkit_web_view_get_uri(web())) host_->address_changed(uri);
  }

  static void title_cb(GObject*, GParamSpec*, gpointer data) {
    self(data)->host_->title_changed(webkit_web_view_get_title(self(data)->web()));
  }
  static void uri_cb(GObject*, GParamSpec*, gpointer data) { self(data)->uri_changed(false); }
  static void load_changed_cb(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
    if (event != WEBKIT_LOAD_COMMITTED) return;
    self(data)->pending_ = {};
    self(data)->uri_changed(true);
  }
  static void responsive_cb(GObject*, GParamSpec*, gpointer data) { self(data)->responsiveness_changed(); }
  static void mouse_target_cb(WebKitWebView*, WebKitHitTestResult* hit, guint, gpointer data) {
    self(data)->host_->link_under_pointer(
        webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit) : nullptr);
  }
  // target="_blank" and the like: refused here, so the engine never goes on
  // to "create" for the same request.
  static gboolean decide_policy_cb(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                   gpointer data) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) return FALSE;
    WebKitNavigationAction* action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    self(data)->host_->new_window_requested(request_uri(action));
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  // window.open and other paths that skip the new-window policy.
  static GtkWidget* create_cb(WebKitWebView*, WebKitNavigationAction* action, gpointer data) {
    self(data)->host_->new_window_requested(request_uri(action));
    return nullptr;
  }
  static void terminated_cb(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer data) {
    WebKitView& view = *self(data);
    const bool by_program = reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API && view.ending_process_;
    view.ending_process_ = false;
    view.host_->process_ended(by_program, reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT ? "memory limit"
                                          : by_program ? "stopped responding"
                                                       : "crash");
  }

  WebEngineHost* host_;
  GtkWidget* view_ = nullptr;  // our own reference, besides the box's
  Navigation pending_;
  bool ending_process_ = false;  // the program asked the process to end
};

}  // namespace
}  // namespace velk::tk

extern "C" __attribute__((visibility("default"))) void velk_configure_web_engine_v2(
    const velk::tk::WebEngineSettings& settings) {
  velk::tk::configured = settings;
}

extern "C" __attribute__((visibility("default"))) velk::tk::WebEngineView* velk_new_web_engine_view_v2(
    velk::tk::WebEngineHost* host) {
  return new velk::tk::WebKitView(host);
}
