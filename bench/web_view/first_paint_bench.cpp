// First paint of a small page served on loopback: from writing `address` on
// a toolkit web view, and from webkit_web_view_load_uri in a minimal GTK
// program (a window holding a WebKitWebView), until the page's body colour
// shows on the screen at the centre of the view.
//
// Both are measured the same way: a 1 ms timer keeps the main loop turning
// and the screen pixel is read after every turn. Each run loads a page of
// the other colour than the one shown, with a fresh query and no-store, so
// nothing comes from a cache. The two views take turns, run by run; the
// first run of each starts its web process and is reported apart.
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" ./web_view_first_paint_bench [runs]
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/loopback_http_server.h"
#include "toolkit/app.h"
#include "toolkit/gtk/gtk_backend.h"

namespace {

using velk::tk::App;
using velk::tk::Control;
using velk::tk::FormDef;
using velk::tk::GtkBackend;
using velk::tk::Kind;

constexpr int kWidth = 800, kHeight = 600;
constexpr int kToolkitLeft = 40, kRawLeft = 1000, kTop = 40;
constexpr uint32_t kColours[2] = {0x20A040, 0x2040C0};

const FormDef& bench_form() {
  static const FormDef def{
      "BenchForm", {kToolkitLeft, kTop, kWidth, kHeight}, {{"网页", Kind::WebView, 0, 0, kWidth, kHeight}}};
  return def;
}

std::string page(uint32_t colour) {
  char css[8];
  std::snprintf(css, sizeof css, "#%06X", colour);
  return std::string("<!DOCTYPE html><html><head><title>p</title></head><body style=\"margin:0;background:") +
         css + "\"><p>A small page.</p></body></html>";
}

bool shows(int left, uint32_t colour) {
  auto px = GtkBackend::screen_pixel(left + kWidth / 2, kTop + kHeight / 2);
  if (!px) return false;
  for (int shift : {16, 8, 0}) {
    int d = static_cast<int>((*px >> shift) & 0xFF) - static_cast<int>((colour >> shift) & 0xFF);
    if (d < -8 || d > 8) return false;
  }
  return true;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double ms_since(gint64 start_us) { return (g_get_monotonic_time() - start_us) / 1000.0; }

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "needs an X display\n");
    return 1;
  }
  velk::test::LoopbackHttpServer server;
  for (int c = 0; c < 2; ++c) {
    velk::test::HttpReply reply = velk::test::HttpReply::ok(page(kColours[c]), "text/html; charset=utf-8");
    reply.headers.push_back({"Cache-Control", "no-store"});
    server.on(c == 0 ? "/green" : "/blue", reply);
  }
  auto address = [&](int run) {
    return server.url(std::string(run % 2 ? "/blue" : "/green") + "?run=" + std::to_string(run));
  };

  App app(std::make_unique<GtkBackend>());  // initialises GTK for both
  Control& view = app.show(bench_form())["网页"];

  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
  gtk_window_set_default_size(GTK_WINDOW(window), kWidth, kHeight);
  gtk_window_move(GTK_WINDOW(window), kRawLeft, kTop);
  GtkWidget* raw = webkit_web_view_new();
  gtk_container_add(GTK_CONTAINER(window), raw);
  gtk_widget_show_all(window);
  app.wait_ms(500);

  // Keeps both loops turning, so the screen is read at least every ms.
  guint ticker = g_timeout_add(1, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  const int kTimeoutMs = 20000;

  auto toolkit_run = [&](int run) {
    gint64 start = g_get_monotonic_time();
    view.set_address(address(run));
    if (!app.run_until([&] { return shows(kToolkitLeft, kColours[run % 2]); }, kTimeoutMs)) return -1.0;
    return ms_since(start);
  };
  auto raw_run = [&](int run) {
    gint64 start = g_get_monotonic_time();
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(raw), address(run).c_str());
    while (!shows(kRawLeft, kColours[run % 2])) {
      if (ms_since(start) > kTimeoutMs) return -1.0;
      g_main_context_iteration(nullptr, TRUE);
    }
    return ms_since(start);
  };

  double toolkit_cold = toolkit_run(0), raw_cold = raw_run(0);
  std::vector<double> toolkit_ms, raw_ms;
  for (int run = 1; run <= runs; ++run) {
    double t = toolkit_run(run), r = raw_run(run);
    if (t < 0 || r < 0) {
      std::fprintf(stderr, "run %d: the page did not show within %d ms\n", run, kTimeoutMs);
      return 1;
    }
    toolkit_ms.push_back(t);
    raw_ms.push_back(r);
  }
  g_source_remove(ticker);
  std::printf("first paint of a small loopback page, median of %d runs (first run apart):\n", runs);
  std::printf("  toolkit web view (address written)  %8.2f ms   first run %8.2f ms\n",
              median(toolkit_ms), toolkit_cold);
  std::printf("  minimal GTK + WebKitWebView         %8.2f ms   first run %8.2f ms\n",
              median(raw_ms), raw_cold);
  std::printf("  requests served: %zu\n", server.requests().size());
  gtk_widget_destroy(window);
  return 0;
}
