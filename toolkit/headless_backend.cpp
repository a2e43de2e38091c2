#include "toolkit/headless_backend.h"

#include <algorithm>

namespace velk::tk {

void HeadlessBackend::wait_until(int64_t deadline_ms) {
  // Nothing can arrive from a screen: jump straight to the deadline. A wait
  // with nothing to wait for (no timer, no deadline) returns at once.
  if (deadline_ms != kNever) clock_ms_ = std::max(clock_ms_.load(), deadline_ms);
}

void HeadlessBackend::control_changed(Control& c, Prop what) {
  if (what == Prop::WindowState && c.is_window() && c.position() == 2)
    minimised.push_back(c.form().name());
}

void HeadlessBackend::navigate(Control& web_view, const Text& url) {
  History& h = web_history[&web_view];
  h.pages.resize(static_cast<size_t>(h.current + 1));
  h.pages.push_back(url);
  h.current = static_cast<int>(h.pages.size()) - 1;
}

void HeadlessBackend::go_back(Control& web_view) {
  History& h = web_history[&web_view];
  if (h.current <= 0) return;
  --h.current;
  web_view.backend_set_address(h.pages[static_cast<size_t>(h.current)]);
}

void HeadlessBackend::go_forward(Control& web_view) {
  History& h = web_history[&web_view];
  if (h.current + 1 >= static_cast<int>(h.pages.size())) return;
  ++h.current;
  web_view.backend_set_address(h.pages[static_cast<size_t>(h.current)]);
}

}  // namespace velk::tk
