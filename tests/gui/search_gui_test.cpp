// Searching with the real Velk program under Xvfb: a suggestion service and
// the Baidu engine on loopback. Typing asks for suggestions of the box's
// text, the list shows under the box, a click on a suggestion searches it in
// the browser window, and Enter searches the typed text untouched.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/gui/velk_program.h"
#include "tests/search/slow_http_server.h"
#include "tests/toolkit/test_pictures.h"
#include "toolkit/app.h"

namespace velk {
namespace {

constexpr char kTail[] =
    "&p=3&sid=1431_4261_4894_4759_4882_4677&cb=jQuery1102035240670733542295_1389250433500&_="
    "1389250433504";

class Searching : public VelkProgram {
 protected:
  Searching() {
    vendor_.on("/marun.html", HttpReply::ok("2.0", "text/plain"));
    // Three completions of whatever was asked.
    suggest_.on("/su", [](const test::RecordedRequest& request) {
      const std::string q = test::decoded_query(request.target);
      return HttpReply::ok(test::suggestion_reply({q + "1", q + "2", q + "3"}), "text/javascript");
    });
    engine_.on("/s", HttpReply::ok("<html><body style='background:#3060c0'>results</body></html>"));
  }

  void start_velk() {
    start(vendor_.base_url(), "suggest=" + suggest_.base_url() + "\r\nbaidu=" + engine_.base_url() + "\r\n");
  }

  bool saw(const test::LoopbackHttpServer& server, const std::string& target) {
    return wait_until(
        [&] {
          auto r = server.requests();
          return std::any_of(r.begin(), r.end(), [&](auto& q) { return q.target == target; });
        },
        10s);
  }

  test::LoopbackHttpServer suggest_;
  test::LoopbackHttpServer engine_;
};

// The list's place in the home window: the frame at (275, 116), the list
// at (2, 3) inside it.
constexpr tk::Point kFirstItem{277 + 60, 119 + 8};

TEST_F(Searching, TypedTextAsksForSuggestionsAndAClickSearchesOne) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  tk::App reader(std::make_unique<GtkBackend>());
  start_velk();
  ASSERT_TRUE(wait_for_window(10s));
  const uint32_t before = screen(kFirstItem.x, kFirstItem.y);

  click(400, 103);  // the hint over the search box opens it
  ASSERT_TRUE(run("xdotool type --delay 120 abc"));
  EXPECT_TRUE(saw(suggest_, std::string("/su?wd=%61%62%63") + kTail));
  EXPECT_TRUE(wait_until([&] { return !test::near_colour(screen(kFirstItem.x, kFirstItem.y), before, 30); }, 5s))
      << "the list shows under the box";
  std::this_thread::sleep_for(300ms);
  GtkBackend::save_screenshot("velk_suggestions.png");

  click(kFirstItem.x, kFirstItem.y);
  EXPECT_TRUE(saw(engine_, "/s?wd=abc1")) << "the first suggestion, searched on Baidu";
}

TEST_F(Searching, EnterSearchesTheTextAsTyped) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  start_velk();
  ASSERT_TRUE(wait_for_window(10s));
  click(400, 103);
  ASSERT_TRUE(run("xdotool type --delay 60 'a&b c'"));
  ASSERT_TRUE(run("xdotool key Return"));
  // a, ampersand, b, blank, c: a URI carries the blank as %20, nothing else
  // is touched.
  EXPECT_TRUE(saw(engine_, "/s?wd=a&b%20c"));
  for (auto& r : engine_.requests()) std::printf("engine saw %s\n", r.target.c_str());
}

// A reply of 30 000 suggestions (what fits under the download's size cap)
// fills the list at once, and the window answers the next keys.
TEST_F(Searching, AReplyOf30000SuggestionsShowsAtOnceAndTheWindowStaysLive) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  tk::App reader(std::make_unique<GtkBackend>());
  suggest_.on("/su", [](const test::RecordedRequest& request) {
    const std::string q = test::decoded_query(request.target);
    std::vector<std::string> items;
    for (int i = 0; i < 30000; ++i) items.push_back(q + std::to_string(i % 100));
    return HttpReply::ok(test::suggestion_reply(items), "text/javascript");
  });
  start_velk();
  ASSERT_TRUE(wait_for_window(10s));
  const uint32_t before = screen(kFirstItem.x, kFirstItem.y);
  click(400, 103);
  ASSERT_TRUE(run("xdotool type z"));
  EXPECT_TRUE(saw(suggest_, std::string("/su?wd=%7A") + kTail));
  EXPECT_TRUE(wait_until([&] { return !test::near_colour(screen(kFirstItem.x, kFirstItem.y), before, 30); }, 10s))
      << "the list never showed";
  // The second suggestion by the arrow keys (they stay with the box), then
  // searched with Enter.
  ASSERT_TRUE(run("xdotool key Down Down"));
  ASSERT_TRUE(run("xdotool key Return"));
  EXPECT_TRUE(saw(engine_, "/s?wd=z1")) << "the window did not answer the keys";
  GtkBackend::save_screenshot("velk_30000_suggestions.png");
}

}  // namespace
}  // namespace velk
