// The real Velk program under Xvfb, with the vendor's server on loopback:
// the home window shows with the shipped skin and its chrome, the arrows walk
// the carousel, the exit button ends the process with code 0, and a vendor
// server that never answers does not keep the window from appearing.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "art/skins.h"
#include "platform/codepage.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/temp_dir.h"
#include "tests/toolkit/test_pictures.h"
#include "toolkit/app.h"
#include "toolkit/gtk/gtk_backend.h"
#include "toolkit/picture.h"

extern char** environ;

namespace velk {
namespace {

using namespace std::chrono_literals;
using test::HttpReply;
using tk::GtkBackend;

constexpr tk::Point kWindowAt{50, 50};  // the home window's designed place

bool run(const std::string& command) { return std::system(command.c_str()) == 0; }

uint32_t screen(int x, int y) {
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

  void start(const std::string& vendor) {
    std::ofstream(dir_.native() + "/endpoints.ini") << "[endpoints]\r\nvendor=" << vendor << "\r\n";
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

  void click(int x, int y) {
    ASSERT_TRUE(run("xdotool mousemove " + std::to_string(kWindowAt.x + x) + " " +
                    std::to_string(kWindowAt.y + y) + " click 1"));
    std::this_thread::sleep_for(400ms);
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

Shown skin3_on_home_window() {
  auto img = tk::decode_picture(art::skins::skin3);
  Shown s{*img, tk::background_placement({img->width, img->height}, {900, 600})};
  return s;
}

Shown tile_face(const test::TempDir& dir, int n) {
  std::ifstream in(dir.native() + "/icon/" + gbk_to_utf8("标签") + std::to_string(n) + ".gif",
                   std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto img = tk::decode_picture(bytes);
  return Shown{*img, {0, 0, img->width, img->height}};
}

TEST_F(VelkProgram, HomeWindowCarouselAndExit) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  // Only to read the screen; the program draws its own windows.
  tk::App reader(std::make_unique<GtkBackend>());
  vendor_.on("/marun.html", HttpReply::ok("2.0", "text/plain"));
  start(vendor_.base_url());
  ASSERT_TRUE(wait_for_window(10s));
  EXPECT_EQ(vendor_.requests().size(), 1u) << "the version page was asked for";
  GtkBackend::save_screenshot("velk_home.png");

  // The shipped skin ("皮肤3"), scaled to cover the window, where no control
  // covers it; the chrome over it.
  const Shown skin = skin3_on_home_window();
  for (tk::Point p : {tk::Point{100, 570}, {800, 500}, {450, 170}})
    EXPECT_TRUE(test::near_colour(screen(p.x, p.y), skin.at(p.x, p.y), 24))
        << std::hex << screen(p.x, p.y) << " vs " << skin.at(p.x, p.y) << " at " << std::dec << p.x << "," << p.y;
  EXPECT_FALSE(test::near_colour(screen(450, 20), skin.at(450, 20), 24)) << "the title strip covers the skin";

  // Tile 1's face at its place in the tile area (200, 225).
  const Shown face = tile_face(dir_, 1);
  auto tile_shown = [&] { return test::near_colour(screen(200 + 4, 225 + 30), face.at(4, 30), 6); };
  auto right_arrow_shown = [&] { return !test::near_colour(screen(879, 370), skin.at(879, 370), 30); };
  auto left_arrow_shown = [&] { return !test::near_colour(screen(21, 370), skin.at(21, 370), 30); };
  EXPECT_TRUE(tile_shown());
  EXPECT_TRUE(right_arrow_shown());
  EXPECT_FALSE(left_arrow_shown());

  click(879, 370);  // → news
  EXPECT_FALSE(tile_shown());
  EXPECT_TRUE(left_arrow_shown());
  EXPECT_TRUE(right_arrow_shown());
  click(879, 370);  // → video
  EXPECT_FALSE(right_arrow_shown());
  EXPECT_TRUE(left_arrow_shown());
  click(21, 370);  // → news
  EXPECT_TRUE(right_arrow_shown());
  EXPECT_FALSE(tile_shown());
  click(21, 370);  // → tiles
  EXPECT_TRUE(tile_shown());
  EXPECT_FALSE(left_arrow_shown());

  click(881, 24);  // the exit button
  EXPECT_EQ(wait_for_exit(5s), 0);
}

TEST_F(VelkProgram, AVendorThatNeverAnswersDoesNotKeepTheWindowAway) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  vendor_.on("/marun.html", HttpReply::never_answer());
  auto started = std::chrono::steady_clock::now();
  start(vendor_.base_url());
  ASSERT_TRUE(wait_for_window(10s));
  auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  EXPECT_LT(waited.count(), 8000) << "the start-up download is bounded";
  std::printf("window after %lld ms with a silent vendor\n", static_cast<long long>(waited.count()));
}

}  // namespace
}  // namespace velk
