// Worker threads hand their control updates to the GUI thread. Run under
// ThreadSanitizer too.
#include <gmock/gmock.h>
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
  const WindowId window = f.id();
  const auto gui = std::this_thread::get_id();
  std::atomic<int> wrong_thread{0};
  for (int w = 0; w < 4; ++w) {
    app().start_worker([&, w](Worker& worker) {
      for (int i = 0; i < 250; ++i) {
        worker.update(window, [&, w, i](Form& form) {
          if (std::this_thread::get_id() != gui) ++wrong_thread;
          form["列表"].add_item(std::to_string(w) + ":" + std::to_string(i));
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
  app().start_worker([&, window = f.id()](Worker& worker) {
    for (int i = 0; i < 50; ++i) {
      Text caption = "标题" + std::to_string(i);
      Text link = "http://example.com/" + std::to_string(i);
      worker.send_message(window, "中转1", msg::kLabelFeedback, reinterpret_cast<intptr_t>(&caption),
                          reinterpret_cast<intptr_t>(&link));
      // After the send the GUI thread has applied both texts.
      std::optional<Text> applied =
          worker.call(window, [](Form& form) { return form["超级头条1"].link_address(); });
      seen_by_worker.push_back(applied.value_or("closed"));
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
  const WindowId window = f.id();
  app().close(f);
  app().process_pending();
  intptr_t result = -1;
  app().start_worker([&](Worker& worker) {
    result = worker.send_message(window, "中转1", msg::kLabelFeedback, 1, 2);
  });
  app().wait_for_workers();
  EXPECT_EQ(result, 0);
  EXPECT_EQ(handled, 0);
}

TEST_F(Workers, RunUntilWaitsInRealTimeForWorkersWhileTheClockStands) {
  Form& f = app().show(relay_form());
  app().start_worker([window = f.id()](Worker& worker) {
    worker.update(window, [](Form& form) { form["超级头条1"].set_caption("到了"); });
  });
  EXPECT_TRUE(app().run_until([&] { return f["超级头条1"].caption() == "到了"; }, 5000));
  app().wait_for_workers();
}

TEST_F(Workers, AWaitOnTheClockPassesInVirtualTimeWithTimersFiringOnTheWay) {
  static const FormDef def{"Clocked", {0, 0, 100, 100}, {TimerRow("时钟1", 1000)}};
  Form& f = app().show(def);
  int ticks = 0;
  f.bind("时钟1", Event::TimerFired, [&](EventArgs&) { ++ticks; });
  const int64_t start = app().now_ms();
  std::atomic<int64_t> woke_at{-1};
  const auto real_start = std::chrono::steady_clock::now();
  app().start_worker([&](Worker& worker) {
    worker.wait_ms(30000);
    woke_at = app().now_ms();
  });
  app().wait_for_workers();
  EXPECT_EQ(woke_at - start, 30000);
  EXPECT_EQ(ticks, 30) << "the window's timer kept its pace while the worker waited";
  EXPECT_LT(std::chrono::steady_clock::now() - real_start, std::chrono::seconds(5))
      << "30 s of virtual time took real seconds";
}

TEST_F(Workers, WaitsOfSeveralWorkersEndInTheOrderOfTheirTimes) {
  Form& f = app().show(relay_form());
  for (int ms : {3000, 1000, 2000}) {
    app().start_worker([ms, window = f.id()](Worker& worker) {
      worker.wait_ms(ms);
      worker.update(window, [ms](Form& form) { form["列表"].add_item(std::to_string(ms)); });
    });
  }
  app().wait_for_workers();
  EXPECT_EQ(f["列表"].items(), (std::vector<Text>{"1000", "2000", "3000"}));
}

TEST_F(Workers, AnUpdateForAClosedWindowIsDroppedEvenWhenItOpensAgain) {
  Form& first = app().show(relay_form());
  const WindowId closed = first.id();
  app().close(first);
  app().process_pending();
  Form& again = app().show(relay_form());
  EXPECT_NE(again.id(), closed);
  std::atomic<bool> read_something{false};
  app().start_worker([&](Worker& worker) {
    worker.update(closed, [](Form& form) { form["列表"].add_item("迟到"); });
    read_something = worker.call(closed, [](Form& form) { return form["列表"].item_count(); }).has_value();
  });
  app().wait_for_workers();
  EXPECT_EQ(again["列表"].item_count(), 0);
  EXPECT_FALSE(read_something);
}

TEST_F(Workers, AControlTouchedFromAWorkerFailsAtOnce) {
  Form& f = app().show(relay_form());
  Control& list = f["列表"];
  std::string read_error, write_error, lookup_error;
  app().start_worker([&](Worker&) {
    try {
      (void)list.caption();
    } catch (const std::logic_error& e) {
      read_error = e.what();
    }
    try {
      list.add_item("x");
    } catch (const std::logic_error& e) {
      write_error = e.what();
    }
    try {
      (void)f["超级头条1"];
    } catch (const std::logic_error& e) {
      lookup_error = e.what();
    }
  });
  app().wait_for_workers();
  EXPECT_THAT(read_error, ::testing::HasSubstr("列表"));
  EXPECT_THAT(write_error, ::testing::HasSubstr("GUI thread"));
  EXPECT_THAT(lookup_error, ::testing::HasSubstr("超级头条1"));
  EXPECT_EQ(list.item_count(), 0) << "the write from the worker did not happen";
}

}  // namespace
}  // namespace velk::tk
