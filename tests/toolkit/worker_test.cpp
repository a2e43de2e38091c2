// Worker threads hand their control updates to the GUI thread. Run under
// ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/toolkit/headless_fixture.h"

namespace velk::tk {
namespace {

using test::HeadlessTest;

const FormDef& relay_form() {
  static const FormDef def{"RelayForm",
                           {0, 0, 300, 200},
                           {{"中转1", Kind::Label, 0, 0, 0, 0},
                            {"超级头条1", Kind::HyperlinkBox, 10, 10, 200, 24},
                            {"列表", Kind::ListBox, 10, 40, 200, 100}}};
  return def;
}

class Workers : public HeadlessTest {};

TEST_F(Workers, HandOverKeepsOrderAndTouchesControlsOnTheGuiThread) {
  Form& f = app().show(relay_form());
  const auto gui = std::this_thread::get_id();
  std::atomic<int> wrong_thread{0};
  for (int w = 0; w < 4; ++w) {
    app().start_worker([&, w] {
      for (int i = 0; i < 250; ++i) {
        app().post([&, w, i] {
          if (std::this_thread::get_id() != gui) ++wrong_thread;
          f["列表"].add_item(std::to_string(w) + ":" + std::to_string(i));
        });
      }
    });
  }
  app().wait_for_workers();
  EXPECT_EQ(wrong_thread, 0);
  ASSERT_EQ(f["列表"].item_count(), 1000);
  // Each worker's items arrive in the order it handed them over.
  std::vector<int> next(4, 0);
  for (const Text& item : f["列表"].items()) {
    int w = item[0] - '0';
    EXPECT_EQ(item.substr(2), std::to_string(next[w]++));
  }
}

TEST_F(Workers, ASentMessageReturnsOnlyAfterTheGuiThreadHandledIt) {
  Form& f = app().show(relay_form());
  // The relay pattern: the parameters point at the worker's own texts, which
  // stay valid only while the send lasts.
  f.bind("中转1", Event::Feedback, [&](EventArgs& a) {
    f["超级头条1"].set_caption(*reinterpret_cast<const Text*>(a.wparam));
    f["超级头条1"].set_link_address(*reinterpret_cast<const Text*>(a.lparam));
  });
  std::atomic<bool> done{false};
  std::vector<Text> seen_by_worker;
  app().start_worker([&] {
    for (int i = 0; i < 50; ++i) {
      Text caption = "标题" + std::to_string(i);
      Text link = "http://example.com/" + std::to_string(i);
      app().send_message(relay_form(), "中转1", msg::kLabelFeedback,
                         reinterpret_cast<intptr_t>(&caption), reinterpret_cast<intptr_t>(&link));
      // After the send the GUI thread has applied both texts.
      Text applied;
      app().run_on_gui([&] { applied = f["超级头条1"].link_address(); });
      seen_by_worker.push_back(applied);
    }
    done = true;
  });
  app().wait_for_workers();
  EXPECT_TRUE(done);
  ASSERT_EQ(seen_by_worker.size(), 50u);
  EXPECT_EQ(seen_by_worker[49], "http://example.com/49");
  EXPECT_EQ(f["超级头条1"].caption(), "标题49");
}

TEST_F(Workers, SendingToAClosedWindowReturnsAtOnce) {
  Form& f = app().show(relay_form());
  int handled = 0;
  f.bind("中转1", Event::Feedback, [&](EventArgs&) { ++handled; });
  app().close(f);
  app().process_pending();
  intptr_t result = -1;
  app().start_worker([&] {
    result = app().send_message(relay_form(), "中转1", msg::kLabelFeedback, 1, 2);
  });
  app().wait_for_workers();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handled, 0);
}

TEST_F(Workers, RunUntilWaitsInRealTimeForWorkersWhileTheClockStands) {
  Form& f = app().show(relay_form());
  app().start_worker([&] { app().post([&] { f["超级头条1"].set_caption("到了"); }); });
  EXPECT_TRUE(app().run_until([&] { return f["超级头条1"].caption() == "到了"; }, 5000));
  app().wait_for_workers();
}

}  // namespace
}  // namespace velk::tk
