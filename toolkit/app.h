#pragma once
// The toolkit's front: windows, the GUI event loop, timers, window messages,
// worker threads and the end of the program. One App exists per process (a
// test makes one per test); handlers reach it through app().
//
// The implementation is split by concern: app.cpp (windows, loop, timers,
// messages), input.cpp (routing the user's input to controls), workers.cpp
// (worker threads and their hand-over to the GUI thread).
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/form.h"
#include "toolkit/worker.h"

namespace velk::tk {

class App {
 public:
  explicit App(std::unique_ptr<Backend> backend);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  Backend& backend() { return *backend_; }
  int64_t now_ms() { return backend_->now_ms(); }

  // ---- windows ----
  // Creates the window if it is not open (its Created event runs first) and
  // shows it; an open window is only shown.
  Form& show(const FormDef& def);
  // Shows the window and returns when it has closed.
  void show_modal(const FormDef& def);
  // Queued: the window goes once the running handler has returned; its
  // timers stop with it.
  void close(Form& form);
  void close(const FormDef& def);
  bool is_open(const FormDef& def) const;
  // The open window made from `def`, or nullptr.
  Form* find(const FormDef& def) const;
  // The window `id` while it is open, or nullptr.
  Form* find(WindowId id) const;
  // The program's main window: when it closes, the program ends (code 0).
  void set_main_window(const FormDef& def) { main_window_ = &def; }
  // The innermost modal window, which alone takes input, or nullptr.
  Form* modal() const { return modal_stack_.empty() ? nullptr : modal_stack_.back(); }

  // ---- the event loop (GUI thread) ----
  // Runs handed-over work, due timers and queued native events once.
  void process_pending();
  // Waits `ms` while handling events (nested); ms <= 0 returns at once.
  void wait_ms(int ms);
  // Blocks without handling events.
  void sleep_ms(int ms);
  // The message loop: runs until quit() (the program normally ends through
  // exit_program instead).
  void run();
  void quit();
  // Handles events until `done` holds or `real_timeout_ms` of real time
  // passed, whatever the backend's clock says. For tests waiting on workers.
  bool run_until(const std::function<bool()>& done, int real_timeout_ms);

  bool on_gui_thread() const { return std::this_thread::get_id() == gui_thread_; }

  // ---- window messages ----
  // Queued for the control's window; handled by the event loop.
  void post_message(Control& target, int message, intptr_t wparam, intptr_t lparam);
  // Handled before the call returns (workers send through Worker).
  intptr_t send_message(Control& target, int message, intptr_t wparam, intptr_t lparam);

  // ---- threads and process ----
  // Starts `routine` on a thread of its own; it reaches the windows only
  // through the Worker it is given. Workers are not waited for at exit.
  void start_worker(std::function<void(Worker&)> routine);
  // Tests: handles events until every worker started so far has ended. With
  // a virtual clock, the clock moves on whenever every worker left waits on
  // it, so their waits pass in no time.
  void wait_for_workers();
  void set_exit_routine(std::function<void()> routine) { exit_routine_ = std::move(routine); }
  // Runs the exit routine, then ends the process with `code`.
  [[noreturn]] void exit_program(int code);

  // ---- the desktop ----
  Size screen_size() { return backend_->screen_size(); }
  Rect work_area() { return backend_->work_area(); }
  Point mouse_position() { return backend_->mouse_position(); }
  void message_box(const Text& text, const Text& title) { backend_->message_box(text, title); }

  // ---- input, fed by the backends (and by tests), in window coordinates ----
  void mouse_moved(Form& form, Point p);
  void mouse_left(Form& form);
  void left_pressed(Form& form, Point p);
  void left_released(Form& form, Point p);
  // A key went down in the focused control (or the window).
  void key_pressed(Form& form, int virtual_key);
  // The user changed an edit box's text (typing, pasting, input methods).
  void user_edited(Control& edit_box, const Text& text);
  // The user picked a list item.
  void user_selected(Control& list_box, int index);
  void window_focus(Form& form, bool gained);
  // The user moved the window (dragging) to this screen place.
  void window_moved(Form& form, Point screen_place);
  // The window system asked to close the window.
  void window_close_requested(Form& form);
  // The topmost control that takes input at `p`, or nullptr for the window.
  Control* hit_test(Form& form, Point p) const;

  // ---- used by Control and Form ----
  void timer_period_written(Control& timer);
  void raise_event(Control& c, Event e);
  // Runs a handler and, when it returns, the closes it queued.
  bool dispatch(EventArgs& args);

 private:
  friend class Worker;
  // Any thread: runs `work` on the GUI thread, in the order handed over.
  void post(std::function<void()> work);
  // Any thread: runs `work` on the GUI thread and waits for it.
  void run_on_gui(const std::function<void()>& work);
  // A worker's wait on the toolkit's clock.
  void worker_wait(int ms);
  void release_due_worker_waits();
  // The next timer or worker wait due on the clock, or kNever.
  int64_t next_due();
  bool every_worker_waits_on_clock();

  void pump();
  bool run_posted();
  bool has_posted();
  void fire_due_timers();
  int64_t next_timer_due() const;
  void flush_closes();
  void destroy(Form& form);
  void collect_closed_forms();
  intptr_t deliver_message(Control& target, int message, intptr_t wparam, intptr_t lparam);
  bool takes_input(const Form& form) const;
  void update_hover(Form& form, Control* now);

  std::unique_ptr<Backend> backend_;
  std::thread::id gui_thread_;
  std::vector<std::unique_ptr<Form>> forms_;   // open ones
  std::vector<std::unique_ptr<Form>> closed_;  // freed once no handler runs
  std::vector<Form*> modal_stack_;
  const FormDef* main_window_ = nullptr;
  struct CloseRequest {
    Form* form;
    int depth;
  };
  std::vector<CloseRequest> close_requests_;
  int dispatch_depth_ = 0;
  bool quit_ = false;
  std::function<void()> exit_routine_;
  bool exiting_ = false;

  uint64_t next_window_serial_ = 1;

  std::mutex mutex_;  // guards what follows
  std::condition_variable cv_;
  std::deque<std::function<void()>> posted_;
  int live_workers_ = 0;
  // Workers waiting on a virtual clock, released by the GUI thread once the
  // clock has reached their time.
  struct ClockWait {
    int64_t due_ms;
    bool released = false;
  };
  std::vector<ClockWait*> clock_waits_;
  bool leaving_ = false;  // the App is going away: waits end early
};

// The process's App.
App& app();

}  // namespace velk::tk
