// Browsing with the real Velk program under Xvfb, a loopback server standing
// in for the sites: a tile opens the browser window on its address, the
// browser's back, forward and new-window links, the typed address, and an
// edit of the tiles file while Velk runs.
#include <gtest/gtest.h>

#include <algorithm>

#include "art/skins.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "tests/gui/velk_program.h"
#include "tests/toolkit/test_pictures.h"
#include "toolkit/app.h"

namespace velk {
namespace {

constexpr uint32_t kBlue = 0x2050C0, kPink = 0xE070A0, kGreen = 0x30A050;

// A page filled with one colour; `links` are blocks of 300x80 at the left,
// one under the other from y 100.
std::string page(uint32_t colour, const std::string& links = "") {
  char rgb[8];
  std::snprintf(rgb, sizeof rgb, "#%06X", colour);
  return "<html><head><title>page</title><style>body{margin:0;background:" + std::string(rgb) +
         "} a{display:block;width:300px;height:80px;margin-top:20px;background:#fff}</style></head>"
         "<body><div style='height:80px'></div>" + links + "</body></html>";
}

class Browsing : public VelkProgram {
 protected:
  Browsing() {
    site_.on("/one.html", HttpReply::ok(page(kBlue, "<a href='/two.html'>two</a>"
                                                    "<a href='/three.html' target='_blank'>three</a>")));
    site_.on("/two.html", HttpReply::ok(page(kPink)));
    site_.on("/three.html", HttpReply::ok(page(kGreen)));
    site_.on("/typed.html", HttpReply::ok(page(kGreen)));
    site_.on("/edited.html", HttpReply::ok(page(kPink)));
    vendor_.on("/marun.html", HttpReply::ok("2.0", "text/plain"));
  }

  // Tiles 1 and 2 lead to the loopback site.
  void write_tiles(const std::string& tile2_path) {
    Text tiles = "[标签1]\r\n标题=本地站点\r\n地址=" + site_.url("/one.html") + "\r\n[标签2]\r\n标题=第二\r\n地址=" +
                 site_.url(tile2_path) + "\r\n";
    ASSERT_TRUE(write_file(dir_.text() + "\\velkZui.t", tiles));
  }

  bool site_saw(const std::string& path) {
    auto r = site_.requests();
    return std::any_of(r.begin(), r.end(), [&](auto& q) { return q.path() == path; });
  }

  // The page area of the browser window, which spreads over the screen.
  static uint32_t page_pixel() { return GtkBackend::screen_pixel(1200, 700).value_or(0); }
  bool page_shows(uint32_t colour) {
    return wait_until([&] { return test::near_colour(page_pixel(), colour, 10); }, 15s);
  }

  // The white block of a link drawn at this place of the screen (the page's
  // body colour can show a moment before its links).
  bool link_shows(int x, int y) {
    return wait_until([&] { return test::near_colour(GtkBackend::screen_pixel(x, y).value_or(0), 0xFFFFFF, 10); }, 10s);
  }

  test::LoopbackHttpServer site_;
};

TEST_F(Browsing, TileOpensTheBrowserWindowAndItsButtonsWork) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  tk::App reader(std::make_unique<GtkBackend>());
  write_tiles("/two.html");
  ASSERT_TRUE(write_file(dir_.text() + "\\velkEc.ec", "[Marun]\r\n皮肤=皮肤2\r\n"));
  start(vendor_.base_url());
  ASSERT_TRUE(wait_for_window(10s));

  // Pointing at tile 1 shows the highlight bar over its lower edge, with the
  // tile's title in it: pixels of the title label's place change.
  const Shown face = tile_face(dir_, 1);
  auto changed_in_title_place = [&] {
    int changed = 0;
    for (int y = 57; y < 69; ++y)  // clear of the face's rounded corners
      for (int x = 8; x < 60; x += 2)
        if (!test::near_colour(screen(200 + x, 225 + y), face.at(x, y), 12)) ++changed;
    return changed;
  };
  EXPECT_LT(changed_in_title_place(), 5) << "the bare tile shows its face";
  ASSERT_TRUE(run("xdotool mousemove " + std::to_string(kWindowAt.x + 260) + " " + std::to_string(kWindowAt.y + 250)));
  EXPECT_TRUE(wait_until([&] { return changed_in_title_place() > 20; }, 3s)) << "no highlight over the tile";
  GtkBackend::save_screenshot("tile_highlight.png");

  // The home window runs without the web engine: it comes with the first page.
  EXPECT_FALSE(maps("libwebkit2gtk")) << "the home window mapped the web engine";
  EXPECT_FALSE(maps("velk_web_engine"));

  // Its click opens the browser window on the tile's address.
  click(260, 250);
  EXPECT_TRUE(wait_until([&] { return site_saw("/one.html"); }, 10s));
  ASSERT_TRUE(page_shows(kBlue)) << std::hex << page_pixel();
  EXPECT_TRUE(maps("velk_web_engine"));
  EXPECT_TRUE(maps("libwebkit2gtk"));
  EXPECT_EQ(velk_windows(), 2);
  // The strip shows the saved skin ("皮肤2") at its own size from the top left.
  const Shown skin = shown_as_picture(art::skins::skin2);
  EXPECT_TRUE(test::near_colour(GtkBackend::screen_pixel(1300, 45).value_or(0), skin.at(1300, 45), 24));
  GtkBackend::save_screenshot("browser_window.png");

  // A link, then back and forward with the strip's buttons.
  ASSERT_TRUE(link_shows(150, 190));  // the first link block: page 100..180, the page starts at 50
  click_screen(150, 190);
  ASSERT_TRUE(page_shows(kPink));
  EXPECT_TRUE(site_saw("/two.html"));
  click_screen(136, 26);  // back
  EXPECT_TRUE(page_shows(kBlue));
  click_screen(177, 26);  // forward
  EXPECT_TRUE(page_shows(kPink));
  click_screen(136, 26);
  ASSERT_TRUE(page_shows(kBlue));

  // A link that asks for a new window opens in the same view.
  ASSERT_TRUE(link_shows(150, 290));  // the second link block: page 200..280
  click_screen(150, 290);
  EXPECT_TRUE(page_shows(kGreen));
  EXPECT_TRUE(site_saw("/three.html"));
  EXPECT_EQ(velk_windows(), 2) << "no second browser window";

  // Closing the browser window leaves the home window.
  click_screen(1877 + 20, 20);
  EXPECT_TRUE(wait_until([] { return velk_windows() == 1; }, 5s));
}

TEST_F(Browsing, TypedAddressOpensWithEnter) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  tk::App reader(std::make_unique<GtkBackend>());
  start(vendor_.base_url());
  ASSERT_TRUE(wait_for_window(10s));
  click(200, 21);  // the hint over the address box enables and focuses it
  ASSERT_TRUE(run("xdotool type --delay 15 '" + site_.url("/typed.html") + "'"));
  ASSERT_TRUE(run("xdotool key Return"));
  EXPECT_TRUE(wait_until([&] { return site_saw("/typed.html"); }, 10s));
  EXPECT_TRUE(page_shows(kGreen));
}

TEST_F(Browsing, AnEditOfTheTilesFileChangesWhereATileLeads) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  tk::App reader(std::make_unique<GtkBackend>());
  write_tiles("/two.html");
  start(vendor_.base_url());
  ASSERT_TRUE(wait_for_window(10s));
  write_tiles("/edited.html");  // while Velk runs
  std::this_thread::sleep_for(1500ms);
  click(127 + 260, 250);  // tile 2
  EXPECT_TRUE(wait_until([&] { return site_saw("/edited.html"); }, 10s));
  EXPECT_FALSE(site_saw("/two.html"));
}

TEST_F(Browsing, ABrokenWebEngineModuleLeavesTheBrowserWindowWithAnErrorText) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  tk::App reader(std::make_unique<GtkBackend>());
  write_tiles("/two.html");
  std::ofstream(dir_.native() + "/velk_web_engine.so", std::ios::trunc) << "not a shared object";
  start(vendor_.base_url());
  ASSERT_TRUE(wait_for_window(10s));
  click(260, 250);
  ASSERT_TRUE(wait_until([] { return velk_windows() == 2; }, 10s)) << "no browser window";
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(wait_for_exit(0ms), -1) << "Velk ended";
  EXPECT_FALSE(site_saw("/one.html"));
  // The page area shows the error text: dark glyphs on the light ground.
  int dark = 0;
  for (uint32_t px : GtkBackend::screen_area({0, 200, 1920, 700}))
    if (test::near_colour(px, 0x000000, 90)) ++dark;
  EXPECT_GT(dark, 10);
  GtkBackend::save_screenshot("browser_window_without_engine.png");
  click_screen(1877 + 20, 20);  // and it closes as usual
  EXPECT_TRUE(wait_until([] { return velk_windows() == 1; }, 5s));
}

}  // namespace
}  // namespace velk
