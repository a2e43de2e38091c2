// The real Velk program under Xvfb, with the vendor's server on loopback:
// the home window shows with the shipped skin and its chrome, the arrows walk
// the carousel, the exit button ends the process with code 0, and a vendor
// server that never answers does not keep the window from appearing.
#include <gtest/gtest.h>

#include "art/skins.h"
#include "platform/codepage.h"
#include "tests/gui/velk_program.h"
#include "tests/toolkit/test_pictures.h"
#include "toolkit/app.h"
#include "toolkit/picture.h"

namespace velk {
namespace {

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
  const Shown skin = shown_as_background(art::skins::skin3, {900, 600});
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
  // How long this build takes to show its window with a vendor that answers,
  // then with one that accepts and never answers: the difference is what the
  // bounded start-up download costs.
  auto time_to_window = [&](HttpReply reply) {
    vendor_.on("/marun.html", reply);
    auto started = std::chrono::steady_clock::now();
    start(vendor_.base_url());
    EXPECT_TRUE(wait_for_window(30s));
    auto waited = std::chrono::steady_clock::now() - started;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    std::this_thread::sleep_for(300ms);
    return std::chrono::duration_cast<std::chrono::milliseconds>(waited).count();
  };
  const long long answered = time_to_window(HttpReply::ok("2.0", "text/plain"));
  const long long silent = time_to_window(HttpReply::never_answer());
  std::printf("window after %lld ms with a vendor that answers, %lld ms with a silent one\n", answered, silent);
  EXPECT_LT(silent - answered, 6000) << "the start-up download is bounded to a few seconds";
}

}  // namespace
}  // namespace velk
