// The browser window on the headless backend: its layout on the screen and
// the work area, the refresh a second later, one window at a time, the
// buttons of its strip and the new-window rule.
#include <gtest/gtest.h>

#include "art/skins.h"
#include "shell/browser_window.h"
#include "tests/shell/shell_fixture.h"

namespace velk {
namespace {

using namespace tk;
using test::ShellTest;

class BrowserWindow : public ShellTest {
 protected:
  Form& browser() { return *app().find(BrowserWindowDef()); }
  const std::vector<Text>& pages() { return backend().web_history[&browser()["超文本浏览框1"]].pages; }
};

TEST_F(BrowserWindow, LayoutOverTheScreenAndTheWorkArea) {
  struct Case {
    const char* what;
    Rect work;
    int window_height;
  };
  const Case cases[] = {
      {"a 40-pixel taskbar at the bottom", {0, 0, 1920, 1040}, 1040},
      {"no taskbar", {0, 0, 1920, 1080}, 1080},
      {"a taskbar at the top", {0, 40, 1920, 1040}, 1080},
      {"a taskbar at the side", {60, 0, 1860, 1080}, 1080},
  };
  for (const Case& c : cases) {
    backend().screen = {1920, 1080};
    backend().work = c.work;
    start();
    OpenInBrowserWindow("http://127.0.0.1/");
    Form& b = browser();
    EXPECT_EQ(b.window().rect(), (Rect{0, 0, 1920, c.window_height})) << c.what;
    EXPECT_EQ(b["关闭"].left(), 1877) << c.what;
    EXPECT_EQ(b["最小化"].left(), 1835) << c.what;
    EXPECT_EQ(b["皮肤"].width(), 1920) << c.what;
    EXPECT_EQ(b["超文本浏览框1"].rect(), (Rect{-1, 50, 1921, c.window_height - 50})) << c.what;
    app().wait_ms(1000);
    EXPECT_EQ(b["超文本浏览框1"].rect(), (Rect{-1, 49, 1920, c.window_height - 50})) << c.what;
    EXPECT_EQ(b["引擎"].rect(), (Rect{-100, -39, 50, 107})) << c.what;
    app().close(b);
    app().process_pending();
  }
}

TEST_F(BrowserWindow, RefreshFollowsTheWorkArea) {
  start();
  OpenInBrowserWindow("http://127.0.0.1/");
  backend().work = {0, 0, 1920, 1000};
  app().wait_ms(1000);
  EXPECT_EQ(browser().window().height(), 1000);
  EXPECT_EQ(browser()["超文本浏览框1"].height(), 950);
  backend().work = {0, 0, 1920, 1080};
  app().wait_ms(1000);
  EXPECT_EQ(browser().window().height(), 1080);
  EXPECT_EQ(browser()["关闭"].left(), 1877) << "the corner buttons stay";
}

TEST_F(BrowserWindow, OneWindowAtATime) {
  start();
  OpenInBrowserWindow("http://first.example/");
  Form* first = &browser();
  OpenInBrowserWindow("http://second.example/");
  EXPECT_EQ(&browser(), first);
  EXPECT_EQ(browser()["超文本浏览框1"].address(), "http://second.example/");
  EXPECT_EQ(pages(), (std::vector<Text>{"http://first.example/", "http://second.example/"}));
  // Hidden, it is shown again by the next page.
  browser().window().set_visible(false);
  OpenInBrowserWindow("");  // passed on unchanged, even empty
  EXPECT_TRUE(browser().visible());
  EXPECT_EQ(pages().back(), "");
}

TEST_F(BrowserWindow, StripButtons) {
  start();
  OpenInBrowserWindow("http://a.example/");
  OpenInBrowserWindow("http://b.example/");
  Form& b = browser();
  Control& view = b["超文本浏览框1"];
  click(b["图形按钮1"]);
  EXPECT_EQ(view.address(), "http://a.example/");
  click(b["图形按钮4"]);
  EXPECT_EQ(view.address(), "http://b.example/");
  click(b["最小化"]);
  EXPECT_EQ(backend().minimised, std::vector<std::string>{"BrowserWindow"});
  // The engine popup opens under the engine picture.
  click(b["图形按钮6"]);
  EXPECT_FALSE(b["图形按钮6"].visible());
  EXPECT_EQ(b["引擎"].rect(), (Rect{672, 39, 50, 107}));
}

TEST_F(BrowserWindow, GoButtonOpensTheAddressBox) {
  start();
  OpenInBrowserWindow("http://start.example/");
  Form& b = browser();
  const struct {
    Text typed;
    bool opens;
  } cases[] = {{"", false}, {"嗨！请输入网址", false}, {"example.com", true}, {" spaced ", true}};
  for (const auto& c : cases) {
    size_t before = pages().size();
    b["编辑框1"].set_text(c.typed);
    click(b["回车"]);
    EXPECT_EQ(pages().size(), before + (c.opens ? 1 : 0)) << c.typed;
    if (c.opens) {
      EXPECT_EQ(pages().back(), c.typed) << "passed on unchanged";
    }
  }
}

TEST_F(BrowserWindow, NewWindowOpensTheStatusTextHereAndIsRefused) {
  start();
  OpenInBrowserWindow("http://start.example/");
  Form& b = browser();
  Control& view = b["超文本浏览框1"];
  const struct {
    Text status, requested, expected;
  } cases[] = {
      {"http://linked.example/page", "http://linked.example/page", "http://linked.example/page"},
      {"http://pointed.example/", "http://other.example/", "http://pointed.example/"},
      {"not a url", "http://asked.example/", "not a url"},
      // A script's window.open: nothing under the pointer.
      {"", "http://asked.example/", "http://asked.example/"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    view.backend_set_status_text(c.status);
    EventArgs args{b, view, Event::NewWindow};
    args.address = c.requested;
    app().dispatch(args);
    EXPECT_FALSE(args.allow);
    EXPECT_EQ(view.address(), c.expected) << c.status;
    EXPECT_EQ(pages().back(), c.expected) << c.status;
  }
}

TEST_F(BrowserWindow, SkinStripReadAtEachOpening) {
  write_run_file("\\velkEc.ec", "[Marun]\r\n皮肤=皮肤2\r\n");
  start();
  OpenInBrowserWindow("http://127.0.0.1/");
  EXPECT_EQ(BrowserSkinName, "皮肤2");
  EXPECT_EQ(browser()["皮肤"].picture(), art::skins::skin2);
  write_run_file("\\velkEc.ec", "[Marun]\r\n皮肤=皮肤9\r\n");
  OpenInBrowserWindow("http://127.0.0.1/again");
  EXPECT_EQ(browser()["皮肤"].picture(), art::skins::skin2) << "not while it stays open";
  click(browser()["关闭"]);
  OpenInBrowserWindow("http://127.0.0.1/");
  EXPECT_TRUE(browser()["皮肤"].picture().empty()) << "no skin of that name";
  std::filesystem::remove(native("\\velkEc.ec"));
  click(browser()["关闭"]);
  OpenInBrowserWindow("http://127.0.0.1/");
  EXPECT_TRUE(browser()["皮肤"].picture().empty());
}

TEST_F(BrowserWindow, CloseRearmsTheHintsAndBringsTheBarWhenHomeIsHidden) {
  Form& home = start();
  int bar_shown = 0;
  SetSearchBarOpener([&] { ++bar_shown; });  // a stand-in for the floating bar
  for (bool home_visible : {true, false}) {
    home.window().set_visible(home_visible);
    OpenInBrowserWindow("http://127.0.0.1/");
    home["时钟2"].set_timer_period(0);
    click(browser()["关闭"]);
    EXPECT_FALSE(app().is_open(BrowserWindowDef()));
    EXPECT_EQ(home["时钟2"].timer_period(), 300);
    EXPECT_EQ(bar_shown, home_visible ? 0 : 1);
  }
  SetSearchBarOpener([] { MainWindow().window().set_visible(true); });
}

TEST_F(BrowserWindow, WithoutTheFloatingBarClosingBringsTheHomeWindowBack) {
  Form& home = start();
  home.window().set_visible(false);
  OpenInBrowserWindow("http://127.0.0.1/");
  click(browser()["关闭"]);
  EXPECT_TRUE(home.visible());
}

}  // namespace
}  // namespace velk
