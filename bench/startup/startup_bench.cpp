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
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

#include "platform/codepage.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_dir.h"
#include "toolkit/picture.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Program {
  std::string label;
  std::string path;
  unsigned long drawn_pixel;  // 0xRRGGBB at the watched place once drawn
  std::vector<double> ms, rss_mb;
};

unsigned long screen_pixel(Display* display, int x, int y) {
  XImage* px = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  unsigned long p = px ? (XGetPixel(px, 0, 0) & 0xFFFFFF) : 0;
  if (px) XDestroyImage(px);
  return p;
}

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
  constexpr int x = 50 + 204, y = 50 + 255;
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
  using namespace velk;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <tree> [runs]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "needs an X display\n");
    return 2;
  }
  test::TempDir dir;
  std::filesystem::copy(argv[1], dir.native(), std::filesystem::copy_options::recursive);
  test::LoopbackHttpServer vendor;
  vendor.on("/marun.html", test::HttpReply::ok("2.0", "text/plain"));
  std::ofstream(dir.native() + "/endpoints.ini") << "[endpoints]\r\nvendor=" << vendor.base_url() << "\r\n";
  setenv("VELK_ENDPOINTS", (dir.native() + "/endpoints.ini").c_str(), 1);

  // What tile 1 shows at (4, 30) of its face, at window (204, 255).
  std::ifstream in(dir.native() + "/icon/" + gbk_to_utf8("标签1") + ".gif", std::ios::binary);
  std::string face((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto img = tk::decode_picture(face);
  if (!img) return 2;

  const std::string here = std::filesystem::canonical("/proc/self/exe").parent_path();
  Program velk{"Velk", dir.native() + "/Velk", img->at(4, 30) & 0xFFFFFF, {}, {}};
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
