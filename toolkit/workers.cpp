// Worker threads and their one way to the GUI thread: work handed over in
// order, calls that wait for their result, sent messages and waits on the
// toolkit's clock.
#include <future>

#include "toolkit/app.h"

namespace velk::tk {

// ---------------------------------------------------------------- hand-over

void App::post(std::function<void()> work) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(work));
  }
  cv_.notify_all();
  backend_->wake();
}

bool App::has_posted() {
  std::lock_guard lock(mutex_);
  return !posted_.empty();
}

bool App::run_posted() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(posted_);
  }
  for (auto& work : batch) work();
  return !batch.empty();
}

void App::run_on_gui(const std::function<void()>& work) {
  if (on_gui_thread()) {
    work();
    return;
  }
  std::promise<void> done;
  post([&] {
    work();
    done.set_value();
  });
  done.get_future().wait();
}

// ---------------------------------------------------------------- the clock

void App::worker_wait(int ms) {
  if (ms <= 0) return;
  std::unique_lock lock(mutex_);
  if (!backend_->virtual_clock()) {
    cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return leaving_; });
    return;
  }
  // The GUI thread releases the wait once its clock has got there.
  ClockWait wait{backend_->now_ms() + ms};
  clock_waits_.push_back(&wait);
  cv_.notify_all();  // wait_for_workers may now move the clock
  backend_->wake();
  cv_.wait(lock, [&] { return wait.released || leaving_; });
  std::erase(clock_waits_, &wait);
}

void App::release_due_worker_waits() {
  const int64_t now = now_ms();
  bool released = false;
  {
    std::lock_guard lock(mutex_);
    for (ClockWait* wait : clock_waits_) {
      if (!wait->released && wait->due_ms <= now) wait->released = released = true;
    }
  }
  if (released) cv_.notify_all();
}

int64_t App::next_due() {
  int64_t next = next_timer_due();
  std::lock_guard lock(mutex_);
  for (ClockWait* wait : clock_waits_)
    if (!wait->released) next = std::min(next, wait->due_ms);
  return next;
}

bool App::every_worker_waits_on_clock() {
  std::lock_guard lock(mutex_);
  int waiting = 0;
  for (ClockWait* wait : clock_waits_) waiting += wait->released ? 0 : 1;
  return posted_.empty() && waiting > 0 && waiting == live_workers_;
}

// ---------------------------------------------------------------- threads

void App::start_worker(std::function<void(Worker&)> routine) {
  {
    std::lock_guard lock(mutex_);
    ++live_workers_;
  }
  std::thread([this, routine = std::move(routine)] {
    Worker worker(*this);
    routine(worker);
    std::lock_guard lock(mutex_);
    --live_workers_;
    cv_.notify_all();  // under the lock: App may be destroyed right after
  }).detach();
}

void App::wait_for_workers() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (live_workers_ == 0) break;
    }
    // Workers may be waiting for the GUI thread (sent messages, hand-over).
    if (run_posted()) continue;
    if (backend_->virtual_clock() && every_worker_waits_on_clock()) {
      // Nothing else can happen before the next wait or timer is due.
      backend_->wait_until(next_due());
      pump();
      continue;
    }
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(5));
  }
  pump();
}

// ---------------------------------------------------------------- Worker

void Worker::update(WindowId window, std::function<void(Form&)> update) {
  app_.post([app = &app_, window, update = std::move(update)] {
    if (Form* form = app->find(window)) update(*form);
  });
}

void Worker::call_on_gui(WindowId window, const std::function<void(Form&)>& work) {
  app_.run_on_gui([&] {
    if (Form* form = app_.find(window)) work(*form);
  });
}

intptr_t Worker::send_message(WindowId window, const std::string& control, int message, intptr_t wparam,
                              intptr_t lparam) {
  intptr_t result = 0;
  call_on_gui(window, [&](Form& form) {
    Control* target = control.empty() ? &form.window() : form.find(control);
    if (target) result = app_.deliver_message(*target, message, wparam, lparam);
  });
  return result;
}

void Worker::wait_ms(int ms) { app_.worker_wait(ms); }

}  // namespace velk::tk
