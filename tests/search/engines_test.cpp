// The engine choice of the home and browser windows and the search of each.
#include "art/main_window.h"
#include "tests/search/search_fixture.h"

namespace velk {
namespace {

using namespace tk;
using test::kBaiduBase;
using test::kSogouBase;
using test::kTaobaoBase;

class Engines : public test::SearchTest {};

TEST_F(Engines, HomePopupOpensChoosesAfterAPauseAndFolds) {
  Form& w = start();
  const struct {
    const char* button;
    std::string_view logo;
  } cases[] = {
      {"搜狗", art::main_window::engine_sogou_small},
      {"淘宝", art::main_window::engine_taobao_small},
      {"百度", art::main_window::engine_baidu_small},
      {"收回", art::main_window::engine_baidu_small},  // no choice: the last one stays
  };
  for (const auto& c : cases) {
    click(w["图形按钮6"]);
    EXPECT_EQ(w["引擎"].rect(), (Rect{203, 113, 50, 107})) << c.button;
    EXPECT_FALSE(w["图形按钮6"].visible());
    w["列表框2"].set_visible(true);
    const int64_t before = app().now_ms();
    click(w[c.button]);
    EXPECT_EQ(app().now_ms() - before, 200) << c.button << ": the blocking pause";
    EXPECT_EQ(w["搜索引擎"].picture(), c.logo) << c.button;
    EXPECT_EQ(w["引擎"].rect(), (Rect{-203, -113, 50, 107})) << c.button;
    EXPECT_TRUE(w["图形按钮6"].visible());
    EXPECT_FALSE(w["列表框2"].visible()) << "folded by CollapseSearchPopups";
  }
}

TEST_F(Engines, PressOnTheHomeLogoOpensThePopup) {
  Form& w = start();
  ASSERT_EQ(w["引擎"].rect(), (Rect{-130, -130, 50, 107}));  // as start-up parks it
  press(w["搜索引擎"]);
  EXPECT_EQ(w["引擎"].rect(), (Rect{203, 113, 50, 107}));
  EXPECT_FALSE(w["图形按钮6"].visible());
}

TEST_F(Engines, HomeSearchOpensTheEngineQueryUrl) {
  Form& w = start_with_open_box();
  const struct {
    const char* button;
    Text query;
    Text expected;
  } cases[] = {
      {"百度", "a&b c", Text(kBaiduBase) + "/s?wd=a&b c"},
      {"搜狗", "中文 #%20", Text(kSogouBase) + "/sogou?query=中文 #%20"},
      {"淘宝", " x ", Text(kTaobaoBase) +
                         "/search?&stats_click=search_radio_all%253A1&js=1&initiative_id="
                         "staobaoz_20140824&q= x "},
  };
  for (const auto& c : cases) {
    click(w["图形按钮6"]);
    click(w[c.button]);
    w["编辑框2"].set_text(c.query);
    app().wait_for_workers();
    click(w["搜索"]);
    EXPECT_EQ(browser_address(), c.expected) << c.button;
    EXPECT_EQ(w["透明标签2"].caption(), "探索·发现·世界    输入点什么吧！");
  }
  EXPECT_EQ(backend().web_history.size(), 1u) << "every search in the one browser window";
}

TEST_F(Engines, EmptyQueryAndThePromptOpenNothing) {
  Form& w = start_with_open_box();
  click(w["搜索"]);
  EXPECT_FALSE(app().is_open(BrowserWindowDef()));
  EXPECT_EQ(w["透明标签2"].caption(), "探索·发现·世界    输入点什么吧！");
  EXPECT_EQ(w["透明标签2"].left(), w["编辑框2"].left() + 5) << "in place, so it shows";

  type(w, "你想知道什么？");
  EXPECT_EQ(w["透明标签2"].left(), -588);
  key(w, key::kEnter);
  EXPECT_FALSE(app().is_open(BrowserWindowDef()));
  EXPECT_EQ(w["透明标签2"].caption(), "探索·发现·世界    输入点什么吧！");
  EXPECT_EQ(w["透明标签2"].left(), -588) << "written while out of sight";
}

TEST_F(Engines, UnknownPictureShowsTheBrowserWithoutLoading) {
  Form& w = start_with_open_box();
  OpenInBrowserWindow("http://first.example/");
  app().find(BrowserWindowDef())->window().set_visible(false);
  w["搜索引擎"].set_picture(Bytes(art::main_window::engine_baidu_wide));  // not of the small set
  type(w, "abc");
  click(w["搜索"]);
  ASSERT_TRUE(app().is_open(BrowserWindowDef()));
  EXPECT_TRUE(app().find(BrowserWindowDef())->visible());
  EXPECT_EQ(browser_address(), "http://first.example/");
}

TEST_F(Engines, BrowserWindowStartsOnBaiduAndKeepsItsOwnChoice) {
  Form& w = start_with_open_box();
  OpenInBrowserWindow("about:blank");
  Form& b = *app().find(BrowserWindowDef());
  EXPECT_EQ(b["搜索引擎"].picture(), art::main_window::engine_baidu_small);

  click(w["图形按钮6"]);
  click(w["搜狗"]);  // on the home window only
  EXPECT_EQ(b["搜索引擎"].picture(), art::main_window::engine_baidu_small);
  b["编辑框2"].set_text("q r");
  click(b["搜索"]);
  EXPECT_EQ(browser_address(), Text(kBaiduBase) + "/s?wd=q r");
  EXPECT_EQ(w["搜索引擎"].picture(), art::main_window::engine_sogou_small);
}

TEST_F(Engines, BrowserPopupChoosesWithoutPause) {
  start();
  OpenInBrowserWindow("about:blank");
  Form& b = *app().find(BrowserWindowDef());
  EXPECT_EQ(b["引擎"].rect(), (Rect{-100, -39, 50, 107}));
  const struct {
    const char* button;
    Text expected_prefix;
  } cases[] = {{"淘宝", kTaobaoBase}, {"收回", kTaobaoBase}, {"搜狗", kSogouBase}, {"百度", kBaiduBase}};
  b["编辑框2"].set_text("z");
  for (const auto& c : cases) {
    click(b["图形按钮6"]);
    EXPECT_EQ(b["引擎"].rect(), (Rect{b["搜索引擎"].left(), 39, 50, 107}));
    const int64_t before = app().now_ms();
    click(b[c.button]);
    EXPECT_EQ(app().now_ms(), before) << c.button;
    EXPECT_EQ(b["引擎"].rect(), (Rect{-100, -39, 50, 107})) << c.button;
    EXPECT_TRUE(b["图形按钮6"].visible());
    click(b["搜索"]);
    EXPECT_EQ(browser_address().rfind(c.expected_prefix, 0), 0u) << c.button << ": " << browser_address();
  }
  // A new browser window is back on Baidu.
  click(b["图形按钮6"]);
  click(b["淘宝"]);
  app().close(b);
  app().process_pending();
  OpenInBrowserWindow("about:blank");
  EXPECT_EQ((*app().find(BrowserWindowDef()))["搜索引擎"].picture(), art::main_window::engine_baidu_small);
}

}  // namespace
}  // namespace velk
