#pragma once
// What the benchmarks that start the real Velk share: a copy of the
// installation tree with the vendor's server on loopback, the screen read
// through Xlib, and the pixel that shows the home window has been drawn.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/codepage.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_dir.h"
#include "toolkit/picture.h"

namespace velk::bench {

inline unsigned long screen_pixel(Display* display, int x, int y) {
  XImage* px = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  unsigned long p = px ? (XGetPixel(px, 0, 0) & 0xFFFFFF) : 0;
  if (px) XDestroyImage(px);
  return p;
}

// Tile 1's face is drawn last of the home window's first frame: this screen
// place shows this colour once the window is drawn.
inline constexpr int kTileProbeX = 50 + 204, kTileProbeY = 50 + 255;

class VelkTreeRun {
 public:
  // `tree`: the installation tree to copy; Velk in the copy is pointed at a
  // vendor's server on loopback that announces version 2.0.
  explicit VelkTreeRun(const std::string& tree) {
    std::filesystem::copy(tree, dir.native(), std::filesystem::copy_options::recursive);
    vendor.on("/marun.html", test::HttpReply::ok("2.0", "text/plain"));
    std::ofstream(dir.native() + "/endpoints.ini") << "[endpoints]\r\nvendor=" << vendor.base_url() << "\r\n";
    setenv("VELK_ENDPOINTS", (dir.native() + "/endpoints.ini").c_str(), 1);
  }

  std::string program() const { return dir.native() + "/Velk"; }

  // What the probe place shows once tile 1's face is drawn, or -1 when the
  // face does not decode.
  long tile_drawn_colour() const {
    std::ifstream in(dir.native() + "/icon/" + gbk_to_utf8("标签1") + ".gif", std::ios::binary);
    std::string face((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto img = tk::decode_picture(face);
    return img ? static_cast<long>(img->at(4, 30) & 0xFFFFFF) : -1;
  }

  test::TempDir dir;
  test::LoopbackHttpServer vendor;
};

// The display from $DISPLAY, or nullptr with a message.
inline Display* open_display() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) std::fprintf(stderr, "needs an X display\n");
  return display;
}

}  // namespace velk::bench
