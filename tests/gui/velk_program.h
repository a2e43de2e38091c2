#pragma once
// Runs the real Velk program from a copy of the installation tree, with the
// outside endpoints pointed at servers on loopback, and drives it as a user
// would: xdotool for the mouse and keyboard, screen pixels to look.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_dir.h"
#include "platform/codepage.h"
#include "toolkit/gtk/gtk_backend.h"
#include "toolkit/picture.h"

extern char** environ;

namespace velk {

using namespace std::chrono_literals;
using test::HttpReply;
using tk::GtkBackend;

inline constexpr tk::Point kWindowAt{50, 50};  // the home window's designed place

inline bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

// A pixel of the screen, in the home window's coordinates.
inline uint32_t screen(int x, int y) {
  return GtkBackend::screen_pixel(kWindowAt.x + x, kWindowAt.y + y).value_or(0xFFFFFFFF);
}

class VelkProgram : public ::testing::Test {
 protected:
  VelkProgram() {
    const char* tree = std::getenv("VELK_TREE_DIR");
    std::filesystem::copy(tree ? tree : "tree", dir_.native(), std::filesystem::copy_options::recursive);
  }
  ~VelkProgram() override {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  // Starts Velk with these endpoint lines ("vendor=http://...") in its
  // VELK_ENDPOINTS file.
  void start(const std::string& vendor, const std::string& more_endpoints = "") {
    std::ofstream(dir_.native() + "/endpoints.ini")
        << "[endpoints]\r\nvendor=" << vendor << "\r\n" << more_endpoints;
    setenv("VELK_ENDPOINTS", (dir_.native() + "/endpoints.ini").c_str(), 1);
    std::string program = dir_.native() + "/Velk";
    char* argv[] = {program.data(), nullptr};
    ASSERT_EQ(posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, environ), 0);
    unsetenv("VELK_ENDPOINTS");
  }

  // Waits for the home window to be mapped; false after `limit`.
  bool wait_for_window(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (run("xdotool search --onlyvisible --name '^Velk$' >/dev/null 2>&1")) {
        std::this_thread::sleep_for(500ms);  // drawn
        return true;
      }
      std::this_thread::sleep_for(50ms);
    }
    return false;
  }

  // A click at a place of the home window.
  void click(int x, int y) { click_screen(kWindowAt.x + x, kWindowAt.y + y); }
  void click_screen(int x, int y) {
    ASSERT_TRUE(run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1"));
    std::this_thread::sleep_for(400ms);
  }
  // How many windows titled Velk are on the screen.
  static int velk_windows() {
    FILE* out = popen("xdotool search --onlyvisible --name '^Velk$' 2>/dev/null | wc -l", "r");
    int n = 0;
    if (out) {
      if (std::fscanf(out, "%d", &n) != 1) n = 0;
      pclose(out);
    }
    return n;
  }

  // Whether the running Velk has mapped a file whose path holds `name`.
  bool maps(const std::string& name) const {
    std::ifstream maps("/proc/" + std::to_string(pid_) + "/maps");
    for (std::string line; std::getline(maps, line);)
      if (line.find(name) != std::string::npos) return true;
    return false;
  }

  // The exit status, or -1 while the process still runs after `limit`.
  int wait_for_exit(std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(20ms);
    }
    return -1;
  }

  // Polls `done` every 50 ms; false after `limit`.
  static bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
      if (done()) return true;
      std::this_thread::sleep_for(50ms);
    }
    return done();
  }

  test::TempDir dir_;
  test::LoopbackHttpServer vendor_;
  pid_t pid_ = -1;
};
// Pixels of a picture as the home window shows it.
struct Shown {
  tk::Image image;
  tk::Rect place;
  uint32_t at(int x, int y) const {
    int px = (x - place.left) * image.width / place.width;
    int py = (y - place.top) * image.height / place.height;
    return image.at(px, py) & 0xFFFFFF;
  }
};

// A picture drawn as the background of a `box`-sized control.
inline Shown shown_as_background(std::string_view bytes, tk::Size box) {
  auto img = tk::decode_picture(bytes);
  return Shown{*img, tk::background_placement({img->width, img->height}, box)};
}

// A picture drawn at its own size from the top left.
inline Shown shown_as_picture(std::string_view bytes) {
  auto img = tk::decode_picture(bytes);
  return Shown{*img, {0, 0, img->width, img->height}};
}

// Tile N's face as the tree of `dir` ships it.
inline Shown tile_face(const test::TempDir& dir, int n) {
  std::ifstream in(dir.native() + "/icon/" + gbk_to_utf8("标签") + std::to_string(n) + ".gif",
                   std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return shown_as_picture(bytes);
}

}  // namespace velk
