// The home window on the headless backend: the state after start-up, the skin
// choice, the chrome, the menu, the carousel and the hints.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "art/main_window.h"
#include "art/skins.h"
#include "tests/shell/shell_fixture.h"

namespace velk {
namespace {

using namespace tk;
using test::ShellTest;

Bytes read_native(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class HomeWindow : public ShellTest {};

TEST_F(HomeWindow, StateAfterStartUp) {
  Form& w = start();
  // Hidden by size, parked, hidden.
  EXPECT_EQ(w["菜单"].rect(), (Rect{0, 0, 0, 0}));
  EXPECT_EQ(w["外形框2"].rect(), (Rect{0, 0, 0, 0}));
  EXPECT_EQ(w["引擎"].rect(), (Rect{-130, -130, 50, 107}));
  EXPECT_FALSE(w["左箭头"].visible());
  EXPECT_TRUE(w["右箭头"].visible());
  EXPECT_FALSE(w["推广1"].visible());
  EXPECT_FALSE(w["推广2"].visible());
  EXPECT_EQ(w["外形框1"].children().back(), &w["外形框2"]) << "the highlight above the tiles";
  // The hints at their boxes.
  EXPECT_EQ(w["透明标签3"].left(), w["编辑框1"].left() + 5);
  EXPECT_EQ(w["透明标签3"].caption(), "嗨！请输入网址");
  EXPECT_EQ(w["透明标签2"].left(), w["编辑框2"].left() + 5);
  EXPECT_EQ(w["透明标签2"].caption(), "你想找什么？");
  EXPECT_TRUE(w["编辑框1"].disabled());
  EXPECT_TRUE(w["编辑框2"].disabled());
  // The version page, the version probe, the engine, the skin of the
  // shipped settings ("皮肤3").
  EXPECT_EQ(VersionText, "2.1");
  EXPECT_EQ(w["编辑框3"].text(), "2.1");
  EXPECT_EQ(vendor_.requests().size(), 1u);
  EXPECT_EQ(w["时钟更新"].timer_period(), 10000);
  EXPECT_EQ(w["搜索引擎"].picture(), art::main_window::engine_baidu_small);
  EXPECT_EQ(SkinName, "皮肤3");
  EXPECT_EQ(w.window().background_picture(), art::skins::skin3);
  // Tiles: the shipped titles, and each face from its own file.
  EXPECT_EQ(TileTitle[1], "百度一下，你就知道");
  EXPECT_EQ(TileTitle[7], "新浪新闻");
  EXPECT_EQ(TileTitle[12], "赶集网");
  for (int n = 1; n <= 12; ++n) {
    EXPECT_FALSE(TileAddress[n].empty()) << n;
    EXPECT_EQ(w["标签" + std::to_string(n)].background_picture(),
              read_native(native("\\icon\\标签" + std::to_string(n) + ".gif")))
        << n;
  }
  // The designed timer periods.
  for (auto [timer, period] : {std::pair{"时钟1", 1000}, {"时钟2", 1000}, {"时钟3", 300},
                               {"时钟4", 3000}, {"热播焦点时钟1", 300}})
    EXPECT_EQ(w[timer].timer_period(), period) << timer;
}

TEST_F(HomeWindow, SkinChoice) {
  const struct {
    const char* settings;  // velkEc.ec, or nullptr: no file
    std::string_view expected;
  } cases[] = {
      {"[Marun]\r\n皮肤=皮肤1\r\n", art::skins::skin1},
      {"[Marun]\r\n皮肤=皮肤2\r\n", art::skins::skin2},
      {"[Marun]\r\n皮肤=皮肤3\r\n", art::skins::skin3},
      {"[Marun]\r\n皮肤=皮肤4\r\n", art::skins::skin4},
      {"[Marun]\r\n皮肤=皮肤5\r\n", art::skins::skin5},
      {"[Marun]\r\n皮肤=皮肤6\r\n", art::skins::skin4},      // a sixth number: designed
      {"[Marun]\r\n皮肤=皮 肤3\r\n", art::skins::skin4},     // a blank inside: designed
      {"[Marun]\r\n皮肤=  皮肤5  \r\n", art::skins::skin5},  // blanks around are dropped
      {"[marun]\r\n皮肤=皮肤1\r\n", art::skins::skin1},      // section found in any case
      {"[Other]\r\n皮肤=皮肤1\r\n", art::skins::skin4},      // no such section
      {nullptr, art::skins::skin4},                           // no file
  };
  for (const auto& c : cases) {
    std::filesystem::remove(native("\\velkEc.ec"));
    if (c.settings) write_run_file("\\velkEc.ec", c.settings);
    Form& w = start();
    EXPECT_EQ(w.window().background_picture(), c.expected) << (c.settings ? c.settings : "no file");
    app().close(w);  // the next case starts afresh
    app().process_pending();
    ASSERT_FALSE(app().is_open(MainWindowDef()));
  }
}

TEST_F(HomeWindow, MissingFilesLeaveEmptyValues) {
  std::filesystem::remove(native("\\icon\\标签5.gif"));
  write_run_file("\\velkZui.t", "");
  Form& w = start();
  EXPECT_TRUE(w["标签5"].background_picture().empty());
  EXPECT_FALSE(w["标签4"].background_picture().empty());
  EXPECT_FALSE(w["标签6"].background_picture().empty());
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(TileTitle[n], "") << n;
    EXPECT_EQ(TileAddress[n], "") << n;
  }
}

TEST_F(HomeWindow, NoNetworkLeavesTheVersionEmpty) {
  point_endpoint("vendor", "http://127.0.0.1:1");  // nothing listens there
  Form& w = start();
  EXPECT_EQ(VersionText, "");
  EXPECT_EQ(w["编辑框3"].text(), "");
  EXPECT_EQ(w["时钟更新"].timer_period(), 10000);
}

TEST_F(HomeWindow, CarouselWalksTilesNewsVideoAndBack) {
  Form& w = start();
  auto state = [&] {
    std::string s;
    if (w["外形框1"].left() == 200 && w["外形框1"].top() == 225) s += "tiles ";
    if (w["风云时讯"].left() == 140 && w["风云时讯"].top() == 215) s += "news ";
    if (w["网购精选"].left() == 140 && w["网购精选"].top() == 215) s += "video ";
    s += w["左箭头"].visible() ? "<" : "-";
    s += w["右箭头"].visible() ? ">" : "-";
    return s;
  };
  EXPECT_EQ(state(), "tiles ->");
  click(w["右箭头"]);
  EXPECT_EQ(state(), "news <>");
  EXPECT_EQ(w["外形框1"].left(), -500);
  click(w["右箭头"]);
  EXPECT_EQ(state(), "video <-");
  EXPECT_EQ(w["风云时讯"].left(), -620);
  click(w["右箭头"]);  // hidden: the click lands elsewhere
  EXPECT_EQ(state(), "video <-");
  click(w["左箭头"]);
  EXPECT_EQ(state(), "news <>");
  EXPECT_EQ(w["网购精选"].left(), -800);
  click(w["左箭头"]);
  EXPECT_EQ(state(), "tiles ->");
  // Each click folds the search popups away first.
  w["引擎"].move(203, 113);
  click(w["右箭头"]);
  EXPECT_EQ(w["引擎"].rect(), (Rect{-203, -113, 50, 107}));
}

TEST_F(HomeWindow, MenuOpensUnderItsButtonAndClosesOverTheFrame) {
  Form& w = start();
  click(w["图形按钮18"]);
  EXPECT_EQ(w["菜单"].rect(), (Rect{730, 40, 100, 88}));
  hover(w["标签1"]);  // a tile handles its own mouse moves
  EXPECT_EQ(w["菜单"].rect(), (Rect{730, 40, 100, 88}));
  app().mouse_moved(w, {450, 580});  // only the window frame there
  EXPECT_EQ(w["菜单"].rect(), (Rect{0, 0, 0, 0}));
  EXPECT_FALSE(w["关键"].visible());

  // Every entry closes the menu; feedback starts the feedback program.
  std::filesystem::create_directories(native("\\EcVelk"));
  const std::string marker = dir_.native() + "/feedback-started";
  write_run_file("\\EcVelk\\VelkFeedback", "#!/bin/sh\ntouch '" + marker + "'\n");
  std::filesystem::permissions(native("\\EcVelk\\VelkFeedback"), std::filesystem::perms::owner_all);
  for (const char* entry : {"关于Velk", "检测新版", "意见反馈"}) {
    click(w["图形按钮18"]);
    click(w[entry]);
    EXPECT_EQ(w["菜单"].rect(), (Rect{0, 0, 0, 0})) << entry;
  }
  bool started = false;
  for (int i = 0; i < 200 && !(started = std::filesystem::exists(marker)); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(started);
  EXPECT_TRUE(backend().message_boxes.empty());
}

TEST_F(HomeWindow, FeedbackWithoutTheProgramDoesNothingVisible) {
  Form& w = start();
  click(w["图形按钮18"]);
  click(w["意见反馈"]);
  EXPECT_EQ(w["菜单"].rect(), (Rect{0, 0, 0, 0}));
  EXPECT_TRUE(backend().message_boxes.empty());
  EXPECT_TRUE(app().is_open(MainWindowDef()));
}

TEST_F(HomeWindow, TitleStripDragsTheWindowAndFoldsPopups) {
  Form& w = start();
  w["引擎"].move(203, 113);
  w["列表框2"].set_visible(true);
  app().left_pressed(w, {650, 20});  // the strip between the address bar and the buttons
  EXPECT_EQ(backend().drags, std::vector<std::string>{"MainWindow"});
  EXPECT_EQ(w["引擎"].left(), -203);
  EXPECT_FALSE(w["列表框2"].visible());
}

TEST_F(HomeWindow, FocusChangesHideTheSuggestions) {
  Form& w = start();
  for (bool gained : {true, false}) {
    w["关键"].set_visible(true);
    w["列表框2"].set_visible(true);
    app().window_focus(w, gained);
    EXPECT_FALSE(w["关键"].visible());
    EXPECT_FALSE(w["列表框2"].visible());
  }
}

TEST_F(HomeWindow, HintPressEnablesAndFocusesItsBox) {
  Form& w = start();
  press(w["透明标签3"]);
  EXPECT_FALSE(w["编辑框1"].disabled());
  EXPECT_TRUE(w["编辑框1"].has_focus());
  EXPECT_EQ(w["透明标签3"].caption(), "嗨！请输入网址");
  press(w["透明标签2"]);
  EXPECT_FALSE(w["编辑框2"].disabled());
  EXPECT_TRUE(w["编辑框2"].has_focus());
  EXPECT_EQ(w["透明标签2"].caption(), "你想找什么？");
}

TEST_F(HomeWindow, HintsComeBack300MsAfterTheHintTimerIsRearmed) {
  Form& w = start();
  app().wait_ms(1000);  // the one-shot after start-up
  EXPECT_EQ(w["时钟2"].timer_period(), 0);
  // A box that was typed into and emptied again, its hint parked.
  w["透明标签3"].set_left(-588);
  w["透明标签3"].set_caption("亲！先输入网址试试吧");
  w["透明标签2"].set_left(-588);
  w["编辑框2"].set_text("still typed");
  w["时钟2"].set_timer_period(300);  // as a closing secondary window does
  app().wait_ms(299);
  EXPECT_EQ(w["透明标签3"].left(), -588);
  app().wait_ms(1);
  EXPECT_EQ(w["透明标签3"].left(), w["编辑框1"].left() + 5);
  EXPECT_EQ(w["透明标签3"].caption(), "嗨！请输入网址");
  EXPECT_EQ(w["透明标签2"].left(), -588) << "a box holding text keeps its hint parked";
  EXPECT_EQ(w["时钟2"].timer_period(), 0);
}

TEST_F(HomeWindow, ExitButtonEndsWithCodeZeroAfterCleanup) {
  EXPECT_EXIT(
      {
        Form& w = start();
        app().set_exit_routine([] {
          ExitCleanup();
          std::fprintf(stderr, "released: %d\n", TileTitle[1].empty() ? 1 : 0);
        });
        click(w["图形按钮15"]);
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(0), "released: 1");
}

}  // namespace
}  // namespace velk
