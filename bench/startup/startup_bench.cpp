// Time from starting Velk to the first drawn frame of its home window, with
// the vendor's server on loopback. Run under an X display:
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/bench/startup/velk_startup_bench build/tree [runs]
// "Drawn" means the screen shows tile 1's face at its place: the skin, the
// chrome and the tiles have all been painted by then.
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
#include <string>
#include <thread>
#include <vector>

#include "platform/codepage.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_dir.h"
#include "toolkit/picture.h"

extern char** environ;

int main(int argc, char** argv) {
  using namespace velk;
  using clock = std::chrono::steady_clock;
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
  const unsigned long want = img->at(4, 30) & 0xFFFFFF;
  const int x = 50 + 204, y = 50 + 255;
  Window root = DefaultRootWindow(display);

  std::vector<double> ms;
  std::string program = dir.native() + "/Velk";
  for (int i = 0; i < runs; ++i) {
    char* args[] = {program.data(), nullptr};
    pid_t pid;
    auto t0 = clock::now();
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, args, environ) != 0) return 1;
    bool drawn = false;
    while (clock::now() - t0 < std::chrono::seconds(15)) {
      XImage* px = XGetImage(display, root, x, y, 1, 1, AllPlanes, ZPixmap);
      unsigned long p = px ? (XGetPixel(px, 0, 0) & 0xFFFFFF) : 0;
      if (px) XDestroyImage(px);
      if (p == want) {
        drawn = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    double elapsed = std::chrono::duration<double, std::milli>(clock::now() - t0).count();
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (!drawn) {
      std::fprintf(stderr, "run %d: never drawn\n", i + 1);
      return 1;
    }
    ms.push_back(elapsed);
    std::printf("run %d: %.1f ms\n", i + 1, elapsed);
    // The next run must not see this one's pixels: wait until they are gone.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("start to first drawn frame: median %.1f ms (min %.1f, max %.1f, %d runs)\n",
              ms[ms.size() / 2], ms.front(), ms.back(), runs);
  XCloseDisplay(display);
}
