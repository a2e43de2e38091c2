#pragma once
// The GTK 3 backend: draws the control model in real windows and feeds the
// user's input back into it. The only code of Velk that sees GTK headers is
// under toolkit/gtk/; this header keeps them out of its users.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/backend.h"

namespace velk::tk {

class NativeWidgets;

class GtkBackend : public Backend {
 public:
  GtkBackend();
  ~GtkBackend() override;

  int64_t now_ms() override;
  void wait_until(int64_t deadline_ms) override;
  void process_native_events() override;
  void wake() override;
  void sleep_ms(int ms) override;

  void form_created(Form& form) override;
  void form_destroyed(Form& form) override;
  void control_changed(Control& c, Prop what) override;
  void focus_changed(Form& form, Control* c) override;
  void begin_move_drag(Form& form) override;
  void navigate(Control& web_view, const Text& url) override;
  void go_back(Control& web_view) override;
  void go_forward(Control& web_view) override;

  Size screen_size() override;
  Rect work_area() override;
  Point mouse_position() override;
  void message_box(const Text& text, const Text& title) override;

  // What the screen shows now, for tests and the run script: a PNG of the
  // whole screen, and one pixel as 0xRRGGBB.
  static bool save_screenshot(const std::string& png_path);
  static std::optional<uint32_t> screen_pixel(int x, int y);
  // The pixels of a screen area as 0xRRGGBB, row by row.
  static std::vector<uint32_t> screen_area(Rect area);
  // How many top-level windows of this process are shown (tests: a page
  // must not open a window of its own).
  static int shown_toplevel_count();
  // Tests: the web engine module file to load instead of the usual one
  // (empty: the usual one again). See web_engine.h.
  static void set_web_engine_module_for_tests(const std::string& path);
  // Tests: a lower memory limit for pages, in MB (before the first web view).
  static void set_web_memory_limit_for_tests(unsigned mb);

 private:
  std::unique_ptr<NativeWidgets> widgets_;
};

}  // namespace velk::tk
