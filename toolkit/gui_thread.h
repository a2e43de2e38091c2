#pragma once
// The GUI thread: the one thread that may touch controls and windows. Every
// accessor of a control checks it, in every build, so that a worker that
// reaches for a control fails at once instead of racing the GUI thread.
#include <string>
#include <thread>

namespace velk::tk {

namespace detail {
// Written by the App when it is made, before any worker can start.
inline std::thread::id gui_thread_id;
}  // namespace detail

inline bool on_gui_thread() { return std::this_thread::get_id() == detail::gui_thread_id; }

// Throws std::logic_error naming the control (a worker that does not catch
// it ends the program).
[[noreturn]] void fail_off_gui_thread(const std::string& control);

}  // namespace velk::tk
