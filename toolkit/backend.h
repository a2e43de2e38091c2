#pragma once
// The seam between the control model and what shows it: a headless backend
// with a virtual clock for tests, and the GTK 3 backend for the real screen.
#include <cstdint>
#include <limits>

#include "toolkit/control.h"
#include "toolkit/form.h"

namespace velk::tk {

inline constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

class Backend {
 public:
  virtual ~Backend() = default;

  // ---- time and waiting (GUI thread, but now_ms and wake: any thread) ----
  virtual int64_t now_ms() = 0;
  // True when the clock moves only as the program waits (model tests), so
  // that a worker's wait is released by the GUI thread, not by real time.
  virtual bool virtual_clock() const { return false; }
  // Handles native events until `deadline_ms` or until something arrives
  // (a native event, or wake() from any thread), whichever comes first.
  virtual void wait_until(int64_t deadline_ms) = 0;
  // Handles the native events that are already queued, without blocking.
  virtual void process_native_events() = 0;
  // Any thread: interrupts wait_until.
  virtual void wake() = 0;
  // Blocks the GUI thread; no event is handled meanwhile.
  virtual void sleep_ms(int ms) = 0;

  // ---- the model changed (GUI thread) ----
  virtual void form_created(Form&) {}
  virtual void form_destroyed(Form&) {}
  virtual void control_changed(Control&, Prop) {}
  virtual void focus_changed(Form&, Control*) {}
  virtual void begin_move_drag(Form&) {}
  virtual void navigate(Control& /*web view*/, const Text& /*url*/) {}
  virtual void go_back(Control&) {}
  virtual void go_forward(Control&) {}

  // ---- the desktop ----
  virtual Size screen_size() = 0;
  virtual Rect work_area() = 0;
  virtual Point mouse_position() = 0;
  virtual void message_box(const Text& text, const Text& title) = 0;

  // Ends the process with `code`, the exit routine having run.
  [[noreturn]] virtual void end_process(int code);
};

}  // namespace velk::tk
