// The browser window's first opening after start-up: from a click on tile 1
// of a freshly started Velk to the tile's page drawn on the screen. The page
// is a loopback page of one colour; "drawn" means its colour shows in the
// browser window's page area. Every run starts a new Velk, so every run
// measures a first opening (the web engine's start included).
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/web_view/velk_first_open_bench build/tree [runs]
#include <X11/extensions/XTest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/velk_tree_run.h"
#include "platform/files.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr unsigned long kPageColour = 0x2050C0;

bool near(unsigned long a, unsigned long b) {
  for (int shift : {16, 8, 0}) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (d < -10 || d > 10) return false;
  }
  return true;
}

bool wait_for(const std::function<bool()>& done, std::chrono::seconds limit) {
  const auto deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace velk;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <tree> [runs]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 7;
  Display* display = bench::open_display();
  if (!display) return 2;
  bench::VelkTreeRun tree(argv[1]);
  test::LoopbackHttpServer site;
  site.on("/page.html", test::HttpReply::ok(
                            "<html><head><title>p</title></head><body style='margin:0;background:#2050C0'>"
                            "<p>A small page.</p></body></html>"));
  if (!write_file(tree.dir.text() + "\\velkZui.t", "[标签1]\r\n标题=本地\r\n地址=" + site.url("/page.html") + "\r\n"))
    return 2;
  const long tile_drawn = tree.tile_drawn_colour();
  if (tile_drawn < 0) return 2;
  using bench::screen_pixel;

  std::vector<double> ms;
  std::string program = tree.program();
  for (int i = 1; i <= runs; ++i) {
    char* args[] = {program.data(), nullptr};
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args, environ) != 0) return 1;
    bool ok = wait_for([&] { return screen_pixel(display, bench::kTileProbeX, bench::kTileProbeY) == static_cast<unsigned long>(tile_drawn); },
                       std::chrono::seconds(15));
    if (ok) {
      std::this_thread::sleep_for(std::chrono::seconds(1));  // idle on the home window
      XTestFakeMotionEvent(display, -1, 50 + 260, 50 + 262, 0);
      XTestFakeButtonEvent(display, 1, True, 0);
      XTestFakeButtonEvent(display, 1, False, 0);
      XFlush(display);
      const auto t0 = Clock::now();
      ok = wait_for([&] { return near(screen_pixel(display, 1200, 700), kPageColour); }, std::chrono::seconds(20));
      const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
      if (ok) {
        ms.push_back(elapsed);
        std::printf("run %d: %.1f ms from the tile click to the page drawn\n", i, elapsed);
      }
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (!ok) {
      std::fprintf(stderr, "run %d: the page never showed\n", i);
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("tile click to page drawn, first opening: median %.1f ms (min %.1f, max %.1f, %d runs)\n",
              ms[ms.size() / 2], ms.front(), ms.back(), runs);
  XCloseDisplay(display);
}
