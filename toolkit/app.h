#pragma once
// The toolkit's front: windows, the GUI event loop, timers, window messages,
// worker threads and the end of the program. One App exists per process (a
// test makes one per test); handlers reach it through app().
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/form.h"

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

  // ---- hand-over from other threads ----
  // Any thread: runs `work` on the GUI thread, in the order handed over.
  void post(std::function<void()> work);
  // Any thread: runs `work` on the GUI thread and waits for it.
  void run_on_gui(const std::function<void()>& work);
  bool on_gui_thread() const { return std::this_thread::get_id() == gui_thread_; }

  // ---- window messages ----
  // Queued for the control's window; handled by the event loop.
  void post_message(Control& target, int message, intptr_t wparam, intptr_t lparam);
  // Handled before the call returns; from a worker thread the worker waits
  // until the GUI thread has handled it. `target` is found on the GUI thread
  // by window and name, so a closed window makes it a no-op returning 0.
  intptr_t send_message(const FormDef& window, const std::string& control, int message,
                        intptr_t wparam, intptr_t lparam);
  intptr_t send_message(Control& target, int message, intptr_t wparam, intptr_t lparam);

  // ---- threads and process ----
  void start_worker(std::function<void()> routine);
  // Tests: waits until every worker started so far has ended.
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

  std::mutex mutex_;  // guards posted_ and workers_
  std::condition_variable cv_;
  std::deque<std::function<void()>> posted_;
  int live_workers_ = 0;
};

// The process's App.
App& app();

}  // namespace velk::tk
