// Live suggestions of the home window against a suggestion service on
// loopback: the request, the list and its heights, the keys, the pick and
// the replies that come too late.
#include <algorithm>
#include <atomic>
#include <cstdio>

#include "tests/search/search_fixture.h"

namespace velk {
namespace {

using namespace tk;
using test::SlowReply;

constexpr char kTail[] =
    "&p=3&sid=1431_4261_4894_4759_4882_4677&cb=jQuery1102035240670733542295_1389250433500&_="
    "1389250433504";

class Suggestions : public test::SearchTest {};

TEST_F(Suggestions, TypingAsksForTheBoxTextAndFillsTheList) {
  answer_with({"abc", "abc中文", "abcd"});
  Form& w = start_with_open_box();
  type(w, "abc");
  ASSERT_EQ(suggest_.targets(), std::vector<std::string>{std::string("/su?wd=%61%62%63") + kTail});
  EXPECT_EQ(w["列表框2"].items(), (std::vector<Text>{"abc", "abc中文", "abcd"}));
  EXPECT_TRUE(w["关键"].visible());
  EXPECT_TRUE(w["列表框2"].visible());
  EXPECT_EQ(w["透明标签2"].left(), -588);

  type(w, "中");
  EXPECT_EQ(suggest_.targets().back(), std::string("/su?wd=%E4%B8%AD") + kTail);

  // Emptying the box still asks, and the hint comes back.
  type(w, "");
  EXPECT_EQ(suggest_.targets().back(), std::string("/su?wd=") + kTail);
  EXPECT_EQ(w["透明标签2"].left(), w["编辑框2"].left() + 5);
  EXPECT_EQ(w["透明标签2"].caption(), "你想找什么？");
}

TEST_F(Suggestions, ListAndFrameHeights) {
  const struct {
    int items;
    int list_height;
    int frame_height;  // the frame starts at 50 in each case
  } cases[] = {{1, 23, 50}, {3, 69, 50}, {9, 207, 50}, {10, 90, 100}, {14, 90, 100}};
  Form& w = start_with_open_box();
  for (const auto& c : cases) {
    std::vector<std::string> items;
    for (int i = 0; i < c.items; ++i) items.push_back("s" + std::to_string(i));
    answer_with(items);
    w["关键"].set_height(50);
    type(w, "n" + std::to_string(c.items));
    EXPECT_EQ(w["列表框2"].item_count(), c.items);
    EXPECT_EQ(w["列表框2"].height(), c.list_height) << c.items;
    EXPECT_EQ(w["关键"].height(), c.frame_height) << c.items;
  }
}

TEST_F(Suggestions, RepliesWithoutSuggestionsHideTheList) {
  const struct {
    const char* what;
    SlowReply reply;
  } cases[] = {
      {"server error page", {0, 500, "<html><body>500 s:[\"x\"]}) Internal Error</body></html>"}},
      {"page without markers", {0, 200, "<html>busy</html>"}},
      {"empty list", {0, 200, "window.baidu.sug({q:\"a\",p:false,s:[]});"}},
      {"cut at a zero byte", {0, 200, std::string("s:[\"a\0\"]})", 10)}},
  };
  Form& w = start_with_open_box();
  for (const auto& c : cases) {
    answer_with({"one", "two"});
    type(w, "a");
    ASSERT_TRUE(w["列表框2"].visible()) << c.what;
    answer([&](const std::string&) { return c.reply; });
    type(w, "ab");
    EXPECT_FALSE(w["关键"].visible()) << c.what;
    EXPECT_FALSE(w["列表框2"].visible()) << c.what;
    EXPECT_EQ(w["列表框2"].item_count(), 2) << "hiding keeps the last items";
    type(w, "");
  }
}

TEST_F(Suggestions, ArrowsWalkTheListWithoutAsking) {
  answer_with({"first", "second", "third"});
  Form& w = start_with_open_box();
  type(w, "f");
  const std::size_t asked = suggestion_requests();
  const struct {
    int key;
    Text box;
  } steps[] = {
      {key::kDown, "first"}, {key::kDown, "second"}, {key::kUp, "first"},
      {key::kDown, "second"}, {key::kDown, "third"}, {key::kDown, "third"},  // clamped at the last
      {key::kUp, "second"}, {key::kUp, "first"}, {key::kUp, ""},            // no selection: empty
      {key::kUp, ""}, {key::kDown, "first"},
  };
  for (const auto& s : steps) {
    key(w, s.key);
    EXPECT_EQ(w["编辑框2"].text(), s.box);
  }
  EXPECT_EQ(suggestion_requests(), asked) << "the program's own writes start no fetch";
  EXPECT_EQ(SuggestionPicking, 0);
}

TEST_F(Suggestions, DownWithoutSuggestionsEmptiesTheBoxAndLeavesTheHint) {
  Form& w = start_with_open_box();  // the service answers 404
  type(w, "x");
  ASSERT_EQ(w["列表框2"].item_count(), 0);
  const std::size_t asked = suggestion_requests();
  key(w, key::kDown);
  EXPECT_EQ(w["编辑框2"].text(), "");
  EXPECT_EQ(w["透明标签2"].left(), -588) << "where it was";
  EXPECT_EQ(suggestion_requests(), asked);
}

TEST_F(Suggestions, EnterSearchesTheBoxText) {
  answer_with({"abc", "abd"});
  Form& w = start_with_open_box();
  type(w, "ab");
  key(w, key::kDown);
  const std::size_t asked = suggestion_requests();
  key(w, key::kEnter);
  EXPECT_EQ(browser_address(), Text(test::kBaiduBase) + "/s?wd=abc");
  EXPECT_FALSE(w["关键"].visible());
  EXPECT_FALSE(w["列表框2"].visible());
  EXPECT_EQ(suggestion_requests(), asked);
}

TEST_F(Suggestions, ClickOnASuggestionSearchesIt) {
  answer_with({"abc", "ab c&d", "abe"});
  Form& w = start_with_open_box();
  type(w, "ab");
  const std::size_t asked = suggestion_requests();
  app().user_selected(w["列表框2"], 1);
  app().wait_for_workers();
  EXPECT_EQ(w["编辑框2"].text(), "ab c&d");
  EXPECT_FALSE(w["关键"].visible());
  EXPECT_FALSE(w["列表框2"].visible());
  EXPECT_EQ(browser_address(), Text(test::kBaiduBase) + "/s?wd=ab c&d");
  EXPECT_EQ(suggestion_requests(), asked) << "writing the pick starts no fetch";
  EXPECT_EQ(SuggestionPicking, 0);
}

// The reply for "a" comes after the one for "ab": the list keeps answering
// the text the box holds.
TEST_F(Suggestions, AReplyForAnOlderTextIsDropped) {
  std::atomic<int> asked_for_a{0};
  answer([&](const std::string& target) {
    const std::string q = test::decoded_query(target);
    if (q == "a") {
      ++asked_for_a;
      return SlowReply{400, 200, test::suggestion_reply({"old1", "old2"})};
    }
    return SlowReply{0, 200, test::suggestion_reply({q + "1", q + "2", q + "3"})};
  });
  Form& w = start_with_open_box();
  app().user_edited(w["编辑框2"], "a");
  // The first worker must have read "a" before the box changes again.
  ASSERT_TRUE(app().run_until([&] { return asked_for_a > 0; }, 5000));
  app().user_edited(w["编辑框2"], "ab");
  app().wait_for_workers();
  EXPECT_EQ(w["列表框2"].items(), (std::vector<Text>{"ab1", "ab2", "ab3"}));
  EXPECT_TRUE(w["列表框2"].visible());
}

// A service that never answers: the workers end by their time-out, and an
// answer that does come is applied.
TEST_F(Suggestions, SilentServiceWorkersEndAndDropNothingCurrent) {
  answer([](const std::string& target) {
    if (test::decoded_query(target) == "slow") return SlowReply{60000, 200, ""};
    return SlowReply{0, 200, test::suggestion_reply({"fast"})};
  });
  Form& w = start_with_open_box();
  app().user_edited(w["编辑框2"], "slow");
  app().wait_for_workers();  // within the download's total time-out
  EXPECT_FALSE(w["列表框2"].visible());
  type(w, "q");
  EXPECT_EQ(w["列表框2"].items(), std::vector<Text>{"fast"});
}

// Sixty quick keys against a service that never answers: each newer fetch
// ends the older one, so the workers alive stay few.
TEST_F(Suggestions, QuickKeysAgainstASilentServiceLeaveFewWorkersAlive) {
  answer([](const std::string&) { return SlowReply{60000, 200, ""}; });
  Form& w = start_with_open_box();
  const int before = test::threads_alive_besides_servers();
  int peak = 0;
  for (int i = 0; i < 60; ++i) {
    app().user_edited(w["编辑框2"], "k" + std::to_string(i));
    app().run_until([] { return false; }, 10);  // the next key 10 ms later
    peak = std::max(peak, test::threads_alive_besides_servers() - before);
  }
  std::printf("60 quick keys, silent service: %d threads alive at the peak besides the %d before\n", peak, before);
  EXPECT_LE(peak, 4) << "workers alive at the peak";
  EXPECT_GE(suggestion_requests(), 1u);
}

}  // namespace
}  // namespace velk
