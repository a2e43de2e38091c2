// Start-up of Velk beside a bare GTK window, in one run on one display:
//   - time from starting the program to its first drawn frame;
//   - resident memory of the idle window 4 s after that frame (the process
//     and any children it started).
// Run under an X display:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/startup/velk_startup_bench build/tree [runs]
// Velk is "drawn" when the screen shows tile 1's face at its place: the skin,
// the chrome and the tiles have all been painted by then. The baseline,
// bare_skin_window, is a 900x600 GTK window that paints the same JPEG skin
// scaled to cover it, and a marker at the same place. The two programs take
// turns, so that a noisy neighbour hits both alike.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/velk_tree_run.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using velk::bench::screen_pixel;

struct Program {
  std::string label;
  std::string path;
  unsigned long drawn_pixel;  // 0xRRGGBB at the watched place once drawn
  std::vector<double> ms, rss_mb;
};

// Resident kilobytes of `pid` and of every process below it.
long resident_kb(pid_t pid) {
  long kb = 0;
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) kb += std::atol(line.c_str() + 6);
  std::error_code error;
  for (auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::ifstream children(task.path() / "children");
    for (pid_t child; children >> child;) kb += resident_kb(child);
  }
  return kb;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// One start: false when the window was never drawn.
bool run_once(Display* display, Program& p, int run) {
  constexpr int x = velk::bench::kTileProbeX, y = velk::bench::kTileProbeY;
  char* args[] = {p.path.data(), nullptr};
  pid_t pid;
  const auto t0 = Clock::now();
  if (posix_spawn(&pid, p.path.c_str(), nullptr, nullptr, args, environ) != 0) return false;
  bool drawn = false;
  while (Clock::now() - t0 < std::chrono::seconds(15)) {
    if (screen_pixel(display, x, y) == p.drawn_pixel) {
      drawn = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(500));
  }
  const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
  if (drawn) {
    std::this_thread::sleep_for(std::chrono::seconds(4));  // idle on its window
    p.ms.push_back(elapsed);
    p.rss_mb.push_back(resident_kb(pid) / 1024.0);
    std::printf("run %d %-6s %7.1f ms to drawn, %6.1f MB resident\n", run, p.label.c_str(), elapsed,
                p.rss_mb.back());
  } else {
    std::fprintf(stderr, "run %d %s: never drawn\n", run, p.label.c_str());
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  // The next run must not see this one's pixels.
  while (screen_pixel(display, x, y) == p.drawn_pixel) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  return drawn;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <tree> [runs]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
  Display* display = velk::bench::open_display();
  if (!display) return 2;
  velk::bench::VelkTreeRun tree(argv[1]);
  const long tile_drawn = tree.tile_drawn_colour();
  if (tile_drawn < 0) return 2;

  const std::string here = std::filesystem::canonical("/proc/self/exe").parent_path();
  Program velk{"Velk", tree.program(), static_cast<unsigned long>(tile_drawn), {}, {}};
  Program bare{"bare", here + "/bare_skin_window", 0x123456, {}, {}};
  for (int i = 1; i <= runs; ++i) {
    if (!run_once(display, bare, i) || !run_once(display, velk, i)) return 1;
  }
  const double t_bare = median(bare.ms), t_velk = median(velk.ms);
  const double m_bare = median(bare.rss_mb), m_velk = median(velk.rss_mb);
  std::printf("start to first drawn frame: Velk median %.1f ms, bare GTK window %.1f ms, ratio %.2f (%d runs)\n",
              t_velk, t_bare, t_velk / t_bare, runs);
  std::printf("resident 4 s after drawn:   Velk median %.1f MB, bare GTK window %.1f MB, ratio %.2f\n",
              m_velk, m_bare, m_velk / m_bare);
  XCloseDisplay(display);
}
