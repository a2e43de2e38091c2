// The navigation tiles and the address bar on the headless backend.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "shell/address_bar.h"
#include "shell/browser_window.h"
#include "shell/tiles.h"
#include "tests/shell/shell_fixture.h"

namespace velk {
namespace {

using namespace tk;
using test::ShellTest;

class Tiles : public ShellTest {
 protected:
  Control& tile(int n) { return MainWindow()["标签" + std::to_string(n)]; }
  Rect bar() { return MainWindow()["外形框2"].rect(); }
  std::vector<Text> opened() {
    Form* b = app().find(BrowserWindowDef());
    if (!b) return {};
    return backend().web_history[&(*b)["超文本浏览框1"]].pages;
  }
};

TEST_F(Tiles, HoverPutsTheBarOverTheTileWithItsTitle) {
  start();
  const Point places[13] = {{},         {0, 54},    {127, 54},  {253, 54},  {380, 54},
                            {0, 135},   {127, 135}, {253, 135}, {380, 135}, {0, 216},
                            {127, 216}, {253, 216}, {380, 216}};
  for (int n = 1; n <= 12; ++n) {
    hover(tile(n));
    EXPECT_EQ(bar(), (Rect{places[n].x, places[n].y, 120, 20})) << "tile " << n;
    EXPECT_EQ(MainWindow()["透明标签1"].caption(), TileTitle[n]) << "tile " << n;
  }
  hover(tile(7));
  EXPECT_EQ(bar(), (Rect{253, 135, 120, 20}));
  EXPECT_EQ(MainWindow()["透明标签1"].caption(), "新浪新闻");
}

TEST_F(Tiles, BarStaysUnderThePointerAndGoesOverTheGap) {
  Form& w = start();
  hover(tile(6));
  // Onto the bar: its title label, the picker button, the bar itself.
  const Point area = w["外形框1"].origin_in_window();
  for (Point on_bar : {Point{130, 140}, Point{240, 145}, Point{200, 150}}) {
    app().mouse_moved(w, {area.x + on_bar.x, area.y + on_bar.y});
    EXPECT_EQ(bar(), (Rect{127, 135, 120, 20})) << on_bar.x << "," << on_bar.y;
  }
  // The gap between tile 6 and tile 7 is the bare tile area.
  app().mouse_moved(w, {area.x + 250, area.y + 100});
  EXPECT_EQ(bar(), (Rect{0, 0, 0, 0}));
  hover(tile(1));
  app().mouse_moved(w, {450, 580});  // the window frame
  EXPECT_EQ(bar(), (Rect{0, 0, 0, 0}));
}

TEST_F(Tiles, ClickOpensTheTilesAddressAndAMissingFaceStaysClickable) {
  std::filesystem::remove(native("\\icon\\标签5.gif"));
  start();
  EXPECT_TRUE(tile(5).background_picture().empty());
  press(tile(5));
  ASSERT_EQ(opened().size(), 1u);
  EXPECT_EQ(opened()[0], TileAddress[5]);
  press(tile(12));
  EXPECT_EQ(opened().back(), TileAddress[12]);
}

TEST_F(Tiles, AnEditOfTheTilesFileShowsWithinASecondAndThePictureStays) {
  start();
  const Bytes face = tile(3).background_picture();
  write_run_file("\\velkZui.t",
                 "[标签3]\r\n标题=本地测试站\r\n地址=http://127.0.0.1:9/a=b\r\n");
  app().wait_ms(1000);
  hover(tile(3));
  EXPECT_EQ(MainWindow()["透明标签1"].caption(), "本地测试站");
  press(tile(3));
  EXPECT_EQ(opened().back(), "http://127.0.0.1:9/a=b");
  EXPECT_EQ(tile(3).background_picture(), face);
  EXPECT_EQ(TileTitle[1], "") << "sections that went are empty";
  EXPECT_EQ(MainWindow()["时钟1"].timer_period(), 1000) << "re-armed after each reload";
}

TEST_F(Tiles, ReloadRunsWhileTheHomeWindowIsHidden) {
  Form& w = start();
  w.window().set_visible(false);
  write_run_file("\\velkZui.t", "[标签1]\r\n标题=隐藏时\r\n");
  app().wait_ms(1000);
  EXPECT_EQ(TileTitle[1], "隐藏时");
}

TEST_F(Tiles, AFileEmptiedOnceIsTakenOnlyWhenSeenEmptyAgain) {
  start();
  const Text before = TileTitle[2];
  write_run_file("\\velkZui.t", "");  // a rewrite caught after its truncation
  app().wait_ms(1000);
  EXPECT_EQ(TileTitle[2], before);
  app().wait_ms(1000);  // still empty: the user emptied it
  EXPECT_EQ(TileTitle[2], "");
}

// A named pipe in place of a settings or picture file: start-up and the
// reload go on without it, and the reload takes the real file once it is back.
TEST_F(Tiles, PipesInPlaceOfTheFilesBlockNeitherStartUpNorTheReload) {
  for (const char* file : {"velkZui.t", "velkEc.ec", "icon/标签1.gif"}) {
    std::filesystem::remove(native(std::string("\\") + file));
    ASSERT_EQ(::mkfifo(native(std::string("\\") + file).c_str(), 0600), 0) << file;
  }
  Form& w = start();
  EXPECT_EQ(TileTitle[1], "");
  EXPECT_EQ(w["标签1"].background_picture(), "");
  app().wait_ms(2000);  // two reloads meet the pipe
  std::filesystem::remove(native("\\velkZui.t"));
  write_run_file("\\velkZui.t", "[标签1]\r\n标题=回来了\r\n");
  app().wait_ms(1000);
  EXPECT_EQ(TileTitle[1], "回来了");
}

TEST_F(Tiles, ATilesFileFarLargerThanAnyRealOneLeavesTheTilesAsTheyAre) {
  start();
  const Text before = TileTitle[3];
  ASSERT_FALSE(before.empty());
  write_run_file("\\velkZui.t", "[标签3]\r\n标题=巨大\r\n" + Bytes(2 << 20, ';'));
  app().wait_ms(2000);
  EXPECT_EQ(TileTitle[3], before);
  write_run_file("\\velkZui.t", "[标签3]\r\n标题=正常\r\n");
  app().wait_ms(1000);
  EXPECT_EQ(TileTitle[3], "正常");
}

TEST_F(Tiles, AnUnchangedFileIsNotReadAgain) {
  start();
  write_run_file("\\velkZui.t", "[标签1]\r\n标题=甲甲\r\n");
  app().wait_ms(1000);
  ASSERT_EQ(TileTitle[1], "甲甲");
  // Same file, same size, same time: only its bytes differ, as no real
  // change could leave it. The reload does not look inside.
  const std::string path = native("\\velkZui.t");
  const auto time = std::filesystem::last_write_time(path);
  std::fstream(path, std::ios::in | std::ios::out | std::ios::binary) << "[标签1]\r\n标题=乙乙\r\n";
  std::filesystem::last_write_time(path, time);
  app().wait_ms(2000);
  EXPECT_EQ(TileTitle[1], "甲甲");
  // Any real change (here its time) is read.
  std::filesystem::last_write_time(path, time - std::chrono::seconds(5));
  app().wait_ms(1000);
  EXPECT_EQ(TileTitle[1], "乙乙");
}

class AddressBar : public ShellTest {
 protected:
  Control& box() { return MainWindow()["编辑框1"]; }
  Control& hint() { return MainWindow()["透明标签3"]; }
  bool browser_open() { return app().is_open(BrowserWindowDef()); }
};

TEST_F(AddressBar, EnterInAnEmptyBoxOpensNothingAndChangesTheHint) {
  start();
  press(hint());
  app().key_pressed(MainWindow(), key::kEnter);
  EXPECT_FALSE(browser_open());
  EXPECT_EQ(hint().caption(), "亲！先输入网址试试吧");
  EXPECT_EQ(hint().left(), box().left() + 5);
}

TEST_F(AddressBar, TheHintTextTypedAsAnAddressOpensNothing) {
  start();
  press(hint());
  app().user_edited(box(), "嗨！请输入网址");
  EXPECT_EQ(hint().left(), -588);
  click(MainWindow()["回车"]);
  EXPECT_FALSE(browser_open());
}

TEST_F(AddressBar, TypedAddressOpensAsTypedByEnterOrGo) {
  start();
  press(hint());
  app().user_edited(box(), " example.com ");
  app().key_pressed(MainWindow(), key::kEnter);
  ASSERT_TRUE(browser_open());
  Form& b = *app().find(BrowserWindowDef());
  EXPECT_EQ(b["超文本浏览框1"].address(), " example.com ") << "unchanged: the web view resolves it";
  EXPECT_EQ(box().text(), " example.com ") << "the box keeps its text";
  app().user_edited(box(), "http://127.0.0.1:8/");
  click(MainWindow()["回车"]);
  EXPECT_EQ(b["超文本浏览框1"].address(), "http://127.0.0.1:8/");
}

TEST_F(AddressBar, DeletingTheLastCharacterBringsTheHintBack) {
  start();
  press(hint());
  app().user_edited(box(), "a");
  EXPECT_EQ(hint().left(), -588);
  app().user_edited(box(), "");
  EXPECT_EQ(hint().left(), box().left() + 5);
  EXPECT_EQ(hint().caption(), "嗨！请输入网址");
}

TEST_F(AddressBar, TypingFoldsTheSearchPopups) {
  Form& w = start();
  press(hint());
  w["引擎"].move(203, 113);
  app().user_edited(box(), "x");
  EXPECT_EQ(w["引擎"].left(), -203);
}

}  // namespace
}  // namespace velk
