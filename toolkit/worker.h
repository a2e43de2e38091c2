#pragma once
// What a worker thread may do with the windows: the one way every worker
// (news, video, suggestions, mail, downloads) reaches the GUI thread. A
// worker never touches a control itself; a control touched off the GUI
// thread fails at once (see Control).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>

#include "toolkit/types.h"

namespace velk::tk {

class App;

// Names one open window (one Form), not a window definition: a window closed
// and opened again is another window.
struct WindowId {
  uint64_t serial = 0;
  friend bool operator==(WindowId, WindowId) = default;
};

class Worker {
 public:
  explicit Worker(App& app) : app_(app) {}
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Applies `update` to the window on the GUI thread, after every update
  // handed over before it, as one unit (no handler, timer or other update
  // runs in the middle). Dropped when the window has closed by then.
  void update(WindowId window, std::function<void(Form&)> update);

  // Runs `read` with the window on the GUI thread and returns its result, or
  // nothing when the window has closed. For reading controls back.
  template <class Read>
  auto call(WindowId window, Read&& read) -> std::optional<std::invoke_result_t<Read&, Form&>> {
    std::optional<std::invoke_result_t<Read&, Form&>> result;
    call_on_gui(window, [&](Form& form) { result.emplace(read(form)); });
    return result;
  }

  // Sends a window message to a control of the window (an empty name: the
  // window itself) and returns once the GUI thread has handled it; 0 when
  // the window or control is gone.
  intptr_t send_message(WindowId window, const std::string& control, int message, intptr_t wparam,
                        intptr_t lparam);

  // Waits `ms` on the toolkit's clock: real time on the screen, virtual time
  // in model tests (a 30-second wait passes in no time there). Returns early
  // when the program's App is going away.
  void wait_ms(int ms);

 private:
  void call_on_gui(WindowId window, const std::function<void(Form&)>& work);

  App& app_;
};

}  // namespace velk::tk
