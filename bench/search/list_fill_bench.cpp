// How long a reply of many suggestions keeps the GUI thread busy: the
// suggestion list (a list box control on the GTK backend) given N items in
// one update and drawn, beside a bare GtkTreeView over a GtkListStore of the
// same N strings in the same run. Needs an X display:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/search/list_fill_bench [items] [runs]
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "toolkit/app.h"
#include "toolkit/gtk/gtk_backend.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// Handles GTK's events until none is left.
void drain() {
  while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

double bare_tree_view(const std::vector<std::string>& items) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_move(GTK_WINDOW(window), 1000, 100);
  GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
  gtk_widget_set_size_request(scroll, 418, 90);
  GtkWidget* view = gtk_tree_view_new();
  GtkCellRenderer* text = gtk_cell_renderer_text_new();
  gtk_cell_renderer_set_fixed_size(text, -1, 23);
  GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes("", text, "text", 0, nullptr);
  gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
  gtk_tree_view_append_column(GTK_TREE_VIEW(view), column);
  gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(view), TRUE);
  gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view), FALSE);
  gtk_container_add(GTK_CONTAINER(scroll), view);
  gtk_container_add(GTK_CONTAINER(window), scroll);
  gtk_widget_show_all(window);
  drain();
  const auto t0 = Clock::now();
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  for (const std::string& item : items) gtk_list_store_insert_with_values(store, nullptr, -1, 0, item.c_str(), -1);
  gtk_tree_view_set_model(GTK_TREE_VIEW(view), GTK_TREE_MODEL(store));
  g_object_unref(store);
  drain();
  const double ms = ms_since(t0);
  gtk_widget_destroy(window);
  drain();
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velk::tk;
  const int count = argc > 1 ? std::atoi(argv[1]) : 30000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  App app(std::make_unique<GtkBackend>());
  static const FormDef def{"ListBench", {100, 100, 430, 100}, {{"列表框2", Kind::ListBox, 2, 3, 418, 90}}};
  Form& form = app.show(def);
  app.wait_ms(300);
  std::vector<velk::Text> items;
  std::vector<std::string> utf8;
  for (int i = 0; i < count; ++i) {
    items.push_back("z" + std::to_string(i));
    utf8.push_back(items.back());
  }
  std::vector<double> velk_ms, bare_ms;
  for (int run = 0; run < runs; ++run) {
    form["列表框2"].set_items({});
    drain();
    const auto t0 = Clock::now();
    form["列表框2"].set_items(items);
    app.process_pending();
    drain();
    velk_ms.push_back(ms_since(t0));
    bare_ms.push_back(bare_tree_view(utf8));
  }
  std::sort(velk_ms.begin(), velk_ms.end());
  std::sort(bare_ms.begin(), bare_ms.end());
  const double v = velk_ms[velk_ms.size() / 2], b = bare_ms[bare_ms.size() / 2];
  std::printf("%d suggestions into the list and drawn: Velk median %.1f ms, bare GtkTreeView %.1f ms, ratio %.2f (%d runs)\n",
              count, v, b, v / b, runs);
}
