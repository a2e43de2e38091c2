#pragma once
// A backend without a screen, for model tests: a virtual clock that jumps to
// the next timer instead of sleeping, a settable desktop, and records of what
// the windows asked of the window system.
#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "toolkit/backend.h"

namespace velk::tk {

class HeadlessBackend : public Backend {
 public:
  int64_t now_ms() override { return clock_ms_; }
  bool virtual_clock() const override { return true; }
  void wait_until(int64_t deadline_ms) override;
  void process_native_events() override {}
  void wake() override {}
  void sleep_ms(int ms) override { clock_ms_ += ms; }

  void control_changed(Control& c, Prop what) override;
  void begin_move_drag(Form& f) override { drags.push_back(f.name()); }
  void navigate(Control& web_view, const Text& url) override;
  void go_back(Control& web_view) override;
  void go_forward(Control& web_view) override;

  Size screen_size() override { return screen; }
  Rect work_area() override { return work; }
  Point mouse_position() override { return mouse; }
  void message_box(const Text& text, const Text& title) override {
    message_boxes.push_back({text, title});
  }

  // The desktop as tests set it up.
  Size screen{1920, 1080};
  Rect work{0, 0, 1920, 1080};
  Point mouse{0, 0};

  // What the windows asked for.
  std::vector<std::string> drags;
  std::vector<std::pair<Text, Text>> message_boxes;
  std::vector<std::string> minimised;  // windows set to position 2
  struct History {
    std::vector<Text> pages;
    int current = -1;
  };
  std::map<const Control*, History> web_history;

 private:
  std::atomic<int64_t> clock_ms_{0};  // workers read it for their waits
};

}  // namespace velk::tk
