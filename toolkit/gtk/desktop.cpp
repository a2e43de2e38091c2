// The GTK backend's view of the desktop: the screen, its work area, the
// pointer, message boxes, and the screen reads tests use.
#include <gtk/gtk.h>

#include "platform/codepage.h"
#include "toolkit/gtk/gtk_backend.h"
#include "toolkit/gtk/web_engine.h"

namespace velk::tk {

namespace {
GdkMonitor* primary_monitor() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* m = gdk_display_get_primary_monitor(display);
  return m ? m : gdk_display_get_monitor(display, 0);
}
}  // namespace

Size GtkBackend::screen_size() {
  GdkRectangle r{0, 0, 0, 0};
  if (GdkMonitor* m = primary_monitor()) gdk_monitor_get_geometry(m, &r);
  return {r.width, r.height};
}

Rect GtkBackend::work_area() {
  GdkRectangle r{0, 0, 0, 0};
  if (GdkMonitor* m = primary_monitor()) gdk_monitor_get_workarea(m, &r);
  return {r.x, r.y, r.width, r.height};
}

Point GtkBackend::mouse_position() {
  GdkDisplay* display = gdk_display_get_default();
  GdkSeat* seat = gdk_display_get_default_seat(display);
  int x = 0, y = 0;
  if (GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr)
    gdk_device_get_position(pointer, nullptr, &x, &y);
  return {x, y};
}

void GtkBackend::message_box(const Text& text, const Text& title) {
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                             GTK_BUTTONS_OK, "%s", gbk_to_utf8(text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), gbk_to_utf8(title).c_str());
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

bool GtkBackend::save_screenshot(const std::string& png_path) {
  GdkWindow* root = gdk_get_default_root_window();
  int w = gdk_window_get_width(root), h = gdk_window_get_height(root);
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, w, h);
  if (!shot) return false;
  bool ok = gdk_pixbuf_save(shot, png_path.c_str(), "png", nullptr, nullptr);
  g_object_unref(shot);
  return ok;
}

std::optional<uint32_t> GtkBackend::screen_pixel(int x, int y) {
  GdkPixbuf* px = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
  if (!px) return std::nullopt;
  const guchar* p = gdk_pixbuf_read_pixels(px);
  uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  g_object_unref(px);
  return rgb;
}

void GtkBackend::set_web_engine_module_for_tests(const std::string& path) { SetWebEngineModuleForTests(path); }

void GtkBackend::set_web_memory_limit_for_tests(unsigned mb) { SetWebMemoryLimitForTests(mb); }

std::vector<uint32_t> GtkBackend::screen_area(Rect area) {
  std::vector<uint32_t> pixels;
  GdkPixbuf* shot =
      gdk_pixbuf_get_from_window(gdk_get_default_root_window(), area.left, area.top, area.width, area.height);
  if (!shot) return pixels;
  const int stride = gdk_pixbuf_get_rowstride(shot), channels = gdk_pixbuf_get_n_channels(shot);
  const guchar* data = gdk_pixbuf_read_pixels(shot);
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x) {
      const guchar* p = data + y * stride + x * channels;
      pixels.push_back((uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2]);
    }
  g_object_unref(shot);
  return pixels;
}

int GtkBackend::shown_toplevel_count() {
  GList* all = gtk_window_list_toplevels();
  int shown = 0;
  for (GList* l = all; l; l = l->next)
    if (gtk_widget_get_visible(GTK_WIDGET(l->data))) ++shown;
  g_list_free(all);
  return shown;
}

}  // namespace velk::tk
