// The GTK backend's loop and clock: the toolkit's event loop runs GLib's
// main context one iteration at a time, with the monotonic clock.
#include <gtk/gtk.h>

#include <algorithm>

#include "toolkit/gtk/gtk_backend.h"

namespace velk::tk {

int64_t GtkBackend::now_ms() { return g_get_monotonic_time() / 1000; }

void GtkBackend::wait_until(int64_t deadline_ms) {
  if (deadline_ms == kNever) {
    g_main_context_iteration(nullptr, TRUE);
    return;
  }
  int64_t wait = deadline_ms - now_ms();
  if (wait <= 0) {
    g_main_context_iteration(nullptr, FALSE);
    return;
  }
  guint source = g_timeout_add(static_cast<guint>(std::min<int64_t>(wait, 1 << 30)),
                               [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr);
  g_main_context_iteration(nullptr, TRUE);
  if (GSource* s = g_main_context_find_source_by_id(nullptr, source)) g_source_destroy(s);
}

void GtkBackend::process_native_events() {
  // Bounded, so a stream of redraws cannot keep the loop here for good.
  for (int i = 0; i < 200 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

void GtkBackend::wake() { g_main_context_wakeup(nullptr); }

void GtkBackend::sleep_ms(int ms) { g_usleep(static_cast<gulong>(ms) * 1000); }

}  // namespace velk::tk
