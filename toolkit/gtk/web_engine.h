#pragma once
// The seam between the GTK backend and the web engine. The engine lives in a
// module of its own (velk_web_engine.so, built beside the programs) that the
// backend loads the first time a web view is made, so that a window without
// a page never maps the engine's libraries. Both sides speak UTF-8 and GTK
// types only; no WebKit type crosses.
#include <gtk/gtk.h>

#include <memory>
#include <string>

namespace velk::tk {

// What the engine tells the web view that hosts it.
class WebEngineHost {
 public:
  virtual void title_changed(const char* title) = 0;         // null: none
  virtual void address_changed(const char* uri) = 0;         // the committed address
  virtual void link_under_pointer(const char* uri) = 0;      // null: none any more
  virtual void new_window_requested(const char* uri) = 0;    // null: not known
  // The page's process ended: by the program (to leave a page that stopped
  // responding), or on its own (a crash, the memory limit).
  virtual void process_ended(bool by_program, const char* why) = 0;

 protected:
  ~WebEngineHost() = default;
};

// One page view of the engine. Destroying it closes the page.
class WebEngineView {
 public:
  virtual ~WebEngineView() = default;
  virtual GtkWidget* widget() = 0;
  virtual void load(const char* uri) = 0;
  virtual void go_back() = 0;
  virtual void go_forward() = 0;
};

// How the engine is set up; applied before the first page view is made.
struct WebEngineSettings {
  // A page's process that holds more is ended (the view shows why).
  unsigned memory_limit_mb = 2048;
};

// The module's entry points; the version is part of their names, so that a
// module of another version is refused instead of misread.
using ConfigureWebEngine = void (*)(const WebEngineSettings& settings);
using NewWebEngineView = WebEngineView* (*)(WebEngineHost* host);
inline constexpr const char* kConfigureWebEngineSymbol = "velk_configure_web_engine_v2";
inline constexpr const char* kNewWebEngineViewSymbol = "velk_new_web_engine_view_v2";
inline constexpr const char* kWebEngineModuleName = "velk_web_engine.so";

// Loads the module on first use: the file beside the running program, or,
// when there is none there, the one of the build tree (tests and benchmarks
// run from elsewhere). Returns the entry point, or nullptr with `error` set.
NewWebEngineView LoadWebEngine(std::string& error);

// Tests: the module file to load instead (before the first web view).
void SetWebEngineModuleForTests(const std::string& path);
// Tests: a lower memory limit (before the first web view of the process).
void SetWebMemoryLimitForTests(unsigned mb);

}  // namespace velk::tk
