// The baseline of the start-up benchmark: the least a GTK 3 program must do
// to show what the home window shows first. It maps a borderless 900x600
// window at (50, 50), decodes the built-in JPEG skin with libjpeg and paints
// it scaled to cover the window, then a small marker square at the place the
// benchmark watches (where Velk draws tile 1's face). It links GTK and
// libjpeg only: no web engine, no toolkit of ours.
#include <gtk/gtk.h>
// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <vector>

#include "art/skins.h"

namespace {

cairo_surface_t* decode_jpeg(std::string_view bytes) {
  jpeg_decompress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_BGRX;  // cairo's RGB24 on a little-endian machine
  jpeg_start_decompress(&info);
  cairo_surface_t* surface =
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, info.output_width, info.output_height);
  unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  while (info.output_scanline < info.output_height) {
    unsigned char* row = data + info.output_scanline * stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  cairo_surface_mark_dirty(surface);
  return surface;
}

cairo_surface_t* skin = nullptr;

gboolean draw_cb(GtkWidget*, cairo_t* cr, gpointer) {
  const double w = cairo_image_surface_get_width(skin), h = cairo_image_surface_get_height(skin);
  const double scale = std::max(900 / w, 600 / h);
  cairo_save(cr);
  cairo_scale(cr, scale, scale);
  cairo_set_source_surface(cr, skin, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
  cairo_paint(cr);
  cairo_restore(cr);
  // The marker: (0x12, 0x34, 0x56) around window (204, 255).
  cairo_set_source_rgb(cr, 0x12 / 255.0, 0x34 / 255.0, 0x56 / 255.0);
  cairo_rectangle(cr, 199, 250, 10, 10);
  cairo_fill(cr);
  return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  skin = decode_jpeg(velk::art::skins::skin3);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), 900, 600);
  gtk_window_move(GTK_WINDOW(window), 50, 50);
  gtk_window_set_title(GTK_WINDOW(window), "bare");
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, 900, 600);
  g_signal_connect(area, "draw", G_CALLBACK(draw_cb), nullptr);
  gtk_container_add(GTK_CONTAINER(window), area);
  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
}
