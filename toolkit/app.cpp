#include "toolkit/app.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <future>
#include <stdexcept>

namespace velk::tk {

namespace {
App* g_app = nullptr;
}

App& app() {
  if (!g_app) throw std::logic_error("no toolkit App exists");
  return *g_app;
}

void Backend::end_process(int code) {
  std::fflush(nullptr);
  ::_exit(code);
}

App::App(std::unique_ptr<Backend> backend)
    : backend_(std::move(backend)), gui_thread_(std::this_thread::get_id()) {
  if (g_app) throw std::logic_error("a toolkit App exists already");
  g_app = this;
  detail::gui_thread_id = gui_thread_;
}

App::~App() {
  // Workers may still hand work over or wait on a sent message: keep serving
  // them until the last one has ended. Their clock waits end at once.
  {
    std::lock_guard lock(mutex_);
    leaving_ = true;
  }
  cv_.notify_all();
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      if (live_workers_ == 0) break;
    }
    if (!run_posted()) {
      std::unique_lock lock(mutex_);
      cv_.wait_for(lock, std::chrono::milliseconds(10));
    }
  }
  run_posted();
  for (auto& f : forms_) {
    f->mark_closed();
    backend_->form_destroyed(*f);
  }
  forms_.clear();
  closed_.clear();
  g_app = nullptr;
}

// ---------------------------------------------------------------- windows

Form* App::find(const FormDef& def) const {
  for (auto& f : forms_)
    if (&f->def() == &def && f->is_open()) return f.get();
  return nullptr;
}

Form* App::find(WindowId id) const {
  for (auto& f : forms_)
    if (f->id() == id && f->is_open()) return f.get();
  return nullptr;
}

bool App::is_open(const FormDef& def) const { return find(def) != nullptr; }

Form& App::show(const FormDef& def) {
  if (Form* open = find(def)) {
    open->window().set_visible(true);
    return *open;
  }
  auto owned = std::make_unique<Form>(*this, def, WindowId{next_window_serial_++});
  Form& form = *owned;
  forms_.push_back(std::move(owned));
  // Shown once the created event has run; design timers count from now.
  bool design_visible = form.window().visible();
  form.window().set_visible(false);
  form.mark_open();
  backend_->form_created(form);
  for (size_t i = 0; i < def.controls.size(); ++i)
    if (def.controls[i].kind == Kind::Timer && def.controls[i].timer_period > 0)
      form[def.controls[i].name].set_timer_period(def.controls[i].timer_period);
  raise_event(form.window(), Event::Created);
  if (form.is_open() && design_visible) form.window().set_visible(true);
  return form;
}

void App::show_modal(const FormDef& def) {
  Form& form = show(def);
  modal_stack_.push_back(&form);
  while (form.is_open() && !quit_) {
    pump();
    if (!form.is_open() || quit_ || has_posted()) continue;
    backend_->wait_until(next_due());
  }
  modal_stack_.erase(std::remove(modal_stack_.begin(), modal_stack_.end(), &form),
                     modal_stack_.end());
}

void App::close(Form& form) {
  if (!form.is_open()) return;
  for (auto& r : close_requests_)
    if (r.form == &form) return;
  close_requests_.push_back({&form, dispatch_depth_});
  backend_->wake();
}

void App::close(const FormDef& def) {
  if (Form* f = find(def)) close(*f);
}

void App::flush_closes() {
  // A close asked for inside a handler waits until that handler returned.
  for (size_t i = 0; i < close_requests_.size();) {
    if (close_requests_[i].depth > dispatch_depth_ || dispatch_depth_ == 0) {
      Form* f = close_requests_[i].form;
      close_requests_.erase(close_requests_.begin() + static_cast<long>(i));
      destroy(*f);
      i = 0;
    } else {
      ++i;
    }
  }
}

void App::destroy(Form& form) {
  if (!form.is_open()) return;
  form.mark_closed();  // its timers stop: only open windows' timers fire
  backend_->form_destroyed(form);
  auto it = std::find_if(forms_.begin(), forms_.end(), [&](auto& p) { return p.get() == &form; });
  // Kept alive until no handler runs: a handler of this window may still be
  // on the stack below a nested wait.
  closed_.push_back(std::move(*it));
  forms_.erase(it);
  EventArgs args{form, form.window(), Event::Destroyed};
  dispatch(args);
  if (&form.def() == main_window_) exit_program(0);
}

void App::collect_closed_forms() {
  // A running handler or modal loop may still hold a closed window.
  if (dispatch_depth_ == 0 && modal_stack_.empty()) closed_.clear();
}

// ---------------------------------------------------------------- events

void App::raise_event(Control& c, Event e) {
  if (!c.form().is_open()) return;
  EventArgs args{c.form(), c, e};
  dispatch(args);
}

bool App::dispatch(EventArgs& args) {
  if (!args.form.is_open() && args.event != Event::Destroyed) return false;
  ++dispatch_depth_;
  bool handled = false;
  try {
    handled = args.form.dispatch(args);
  } catch (...) {
    --dispatch_depth_;
    throw;
  }
  --dispatch_depth_;
  flush_closes();
  return handled;
}

// ---------------------------------------------------------------- loop

void App::pump() {
  run_posted();
  release_due_worker_waits();
  fire_due_timers();
  backend_->process_native_events();
  flush_closes();
  collect_closed_forms();
}

void App::process_pending() { pump(); }

void App::wait_ms(int ms) {
  if (ms <= 0) return;
  const int64_t deadline = now_ms() + ms;
  for (;;) {
    pump();
    if (quit_ || now_ms() >= deadline) break;
    if (has_posted()) continue;
    backend_->wait_until(std::min(deadline, next_due()));
  }
}

void App::sleep_ms(int ms) {
  if (ms > 0) backend_->sleep_ms(ms);
}

void App::run() {
  quit_ = false;
  while (!quit_) {
    pump();
    if (quit_ || has_posted()) continue;
    backend_->wait_until(next_due());
  }
}

void App::quit() {
  quit_ = true;
  backend_->wake();
}

bool App::run_until(const std::function<bool()>& done, int real_timeout_ms) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(real_timeout_ms);
  for (;;) {
    pump();
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::unique_lock lock(mutex_);
    if (posted_.empty()) cv_.wait_for(lock, std::chrono::milliseconds(5));
  }
}

// ---------------------------------------------------------------- timers

void App::timer_period_written(Control& timer) {
  timer.timer_due_ms = timer.timer_period() > 0 ? now_ms() + timer.timer_period() : 0;
  if (timer.timer_period() > 0) backend_->wake();
}

int64_t App::next_timer_due() const {
  int64_t next = kNever;
  for (auto& f : forms_) {
    if (!f->is_open()) continue;
    for (auto& c : f->controls())
      if (c->kind() == Kind::Timer && c->timer_period() > 0 && !c->timer_firing)
        next = std::min(next, c->timer_due_ms);
  }
  return next;
}

void App::fire_due_timers() {
  const int64_t now = now_ms();
  struct Due {
    int64_t when;
    Form* form;
    Control* timer;
  };
  std::vector<Due> due;
  for (auto& f : forms_) {
    if (!f->is_open()) continue;
    for (auto& c : f->controls())
      if (c->kind() == Kind::Timer && c->timer_period() > 0 && !c->timer_firing &&
          c->timer_due_ms <= now)
        due.push_back({c->timer_due_ms, f.get(), c.get()});
  }
  std::stable_sort(due.begin(), due.end(), [](auto& a, auto& b) { return a.when < b.when; });
  for (auto& d : due) {
    Control& t = *d.timer;
    // An earlier handler may have closed the window or rewritten the period.
    if (!d.form->is_open() || t.timer_period() <= 0 || t.timer_due_ms > now) continue;
    // Like a system timer, a late tick is not caught up: the next one comes
    // a period after this one.
    t.timer_due_ms = now + t.timer_period();
    t.timer_firing = true;  // a nested wait in the handler does not re-enter it
    EventArgs args{*d.form, t, Event::TimerFired};
    try {
      dispatch(args);
    } catch (...) {
      t.timer_firing = false;
      throw;
    }
    t.timer_firing = false;
  }
}

// ---------------------------------------------------------------- messages

intptr_t App::deliver_message(Control& target, int message, intptr_t wparam, intptr_t lparam) {
  Form& form = target.form();
  if (!form.is_open()) return 0;
  switch (message) {
    case msg::kNcLeftButtonDown:
      if (wparam == msg::kHtCaption && target.is_window()) backend_->begin_move_drag(form);
      return 0;
    case msg::kLabelFeedback: {
      EventArgs args{form, target, Event::Feedback};
      args.wparam = wparam;
      args.lparam = lparam;
      dispatch(args);
      return 0;
    }
    default:  // WM_NCMOUSEMOVE and the rest: nothing of ours to do
      return 0;
  }
}

void App::post_message(Control& target, int message, intptr_t wparam, intptr_t lparam) {
  const WindowId window = target.form().id();
  std::string name = target.is_window() ? std::string() : target.name();
  post([this, window, name, message, wparam, lparam] {
    Form* form = find(window);
    Control* c = !form ? nullptr : name.empty() ? &form->window() : form->find(name);
    if (c) deliver_message(*c, message, wparam, lparam);
  });
}

intptr_t App::send_message(Control& target, int message, intptr_t wparam, intptr_t lparam) {
  if (!on_gui_thread()) fail_off_gui_thread(target.name());
  return deliver_message(target, message, wparam, lparam);
}

void App::exit_program(int code) {
  if (!exiting_) {
    exiting_ = true;
    if (exit_routine_) exit_routine_();
  }
  backend_->end_process(code);
  ::_exit(code);  // an override that returned
}

}  // namespace velk::tk
