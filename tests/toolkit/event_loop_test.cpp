// Windows, timers, nested waits, modal dialogs, queued closes and window
// messages, in virtual time.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/toolkit/headless_fixture.h"

namespace velk::tk {
namespace {

using test::HeadlessTest;

const FormDef& timer_form() {
  static const FormDef def{
      "TimerForm",
      {0, 0, 200, 100},
      {
          {"按钮", Kind::PictureButton, 0, 0, 50, 20},
          {"时钟1", Kind::Timer, 0, 0, 0, 0, "", Pointer::Arrow, 0, {}, 100},
          {"时钟2", Kind::Timer, 0, 0, 0, 0, "", Pointer::Arrow, 0, {}, 0},
      },
  };
  return def;
}

const FormDef& dialog_form() {
  static const FormDef def{"Dialog", {10, 10, 100, 100}, {{"关闭", Kind::PictureButton, 0, 0, 20, 20},
                                                          {"时钟", Kind::Timer, 0, 0, 0, 0}}};
  return def;
}

class EventLoop : public HeadlessTest {};

TEST_F(EventLoop, CreatedRunsFirstAndOnlyOnce) {
  Form* created_on = nullptr;
  bool visible_in_created = true;
  int created = 0;
  static FormDef def{"Once", {0, 0, 10, 10}, {}, {}};
  def.bindings = {{"", Event::Created, [&](EventArgs& a) {
                     ++created;
                     created_on = &a.form;
                     visible_in_created = a.form.visible();
                   }}};
  Form& f = app().show(def);
  Form& again = app().show(def);
  EXPECT_EQ(&f, &again);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(created_on, &f);
  EXPECT_FALSE(visible_in_created) << "shown only after the created event";
  EXPECT_TRUE(f.visible());
  f.window().set_visible(false);
  app().show(def);
  EXPECT_TRUE(f.visible()) << "showing an open hidden window shows it";
  EXPECT_EQ(created, 1);
}

TEST_F(EventLoop, TimersFireInVirtualTime) {
  Form& f = app().show(timer_form());
  int fired1 = 0, fired2 = 0;
  f.bind("时钟1", Event::TimerFired, [&](EventArgs&) { ++fired1; });
  f.bind("时钟2", Event::TimerFired, [&](EventArgs&) { ++fired2; });
  app().wait_ms(1000);
  EXPECT_EQ(fired1, 10);
  EXPECT_EQ(fired2, 0) << "period 0 never fires";

  // Writing the period restarts the count, even with the same value.
  app().wait_ms(50);
  f["时钟1"].set_timer_period(100);
  app().wait_ms(99);
  EXPECT_EQ(fired1, 10);
  app().wait_ms(1);
  EXPECT_EQ(fired1, 11);
  f["时钟1"].set_timer_period(0);
  app().wait_ms(30000);
  EXPECT_EQ(fired1, 11);
  EXPECT_GE(app().now_ms(), 31150);
}

TEST_F(EventLoop, OneShotTimerStopsItselfAndCanBeRearmed) {
  Form& f = app().show(timer_form());
  std::vector<int64_t> fired_at;
  f.bind("时钟2", Event::TimerFired, [&](EventArgs& a) {
    a.control.set_timer_period(0);
    fired_at.push_back(app().now_ms());
  });
  f["时钟2"].set_timer_period(1000);
  app().wait_ms(5000);
  f["时钟2"].set_timer_period(300);
  app().wait_ms(5000);
  EXPECT_EQ(fired_at, (std::vector<int64_t>{1000, 5300}));
}

TEST_F(EventLoop, NestedWaitKeepsOtherTimersRunning) {
  Form& f = app().show(timer_form());
  int ticks = 0, ticks_during_wait = -1;
  f.bind("时钟1", Event::TimerFired, [&](EventArgs&) { ++ticks; });
  f.bind("按钮", Event::Clicked, [&](EventArgs&) {
    int before = ticks;
    app().wait_ms(3000);
    ticks_during_wait = ticks - before;
  });
  click(f["按钮"]);
  EXPECT_EQ(ticks_during_wait, 30);
  app().wait_ms(0);  // returns at once
  EXPECT_EQ(app().now_ms(), 3000);
}

TEST_F(EventLoop, ATimerWaitingInsideItsHandlerIsNotReentered) {
  Form& f = app().show(timer_form());
  int depth = 0, max_depth = 0, fired = 0;
  f.bind("时钟1", Event::TimerFired, [&](EventArgs&) {
    ++fired;
    max_depth = std::max(max_depth, ++depth);
    if (fired == 1) app().wait_ms(1000);
    --depth;
  });
  app().wait_ms(2000);
  EXPECT_EQ(max_depth, 1);
  EXPECT_GE(fired, 2);
}

TEST_F(EventLoop, SleepBlocksWithoutHandlingEvents) {
  Form& f = app().show(timer_form());
  int ticks = 0;
  f.bind("时钟1", Event::TimerFired, [&](EventArgs&) { ++ticks; });
  app().sleep_ms(1000);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(app().now_ms(), 1000);
  app().process_pending();
  EXPECT_EQ(ticks, 1) << "a late tick fires once, not caught up";
}

TEST_F(EventLoop, CloseWaitsForTheRunningHandler) {
  Form& f = app().show(timer_form());
  bool open_inside = false, destroyed = false;
  int ticks = 0;
  f.bind("时钟1", Event::TimerFired, [&](EventArgs&) { ++ticks; });
  f.bind("", Event::Destroyed, [&](EventArgs&) { destroyed = true; });
  f.bind("按钮", Event::Clicked, [&](EventArgs& a) {
    app().close(a.form);
    open_inside = app().is_open(timer_form());
    a.form["按钮"].set_caption("still here");  // the controls are still usable
  });
  click(f["按钮"]);
  EXPECT_TRUE(open_inside);
  EXPECT_FALSE(app().is_open(timer_form()));
  EXPECT_TRUE(destroyed);
  app().wait_ms(1000);
  EXPECT_EQ(ticks, 0) << "its timers stopped with it";

  // Shown again, it is created afresh with its design state.
  Form& fresh = app().show(timer_form());
  EXPECT_EQ(fresh["按钮"].caption(), "");
}

TEST_F(EventLoop, CloseInsideANestedWaitWaitsForTheOuterHandler) {
  Form& f = app().show(timer_form());
  bool open_after_wait = false;
  f.bind("按钮", Event::Clicked, [&](EventArgs& a) {
    app().close(a.form);
    app().wait_ms(500);
    open_after_wait = a.form.is_open();
  });
  click(f["按钮"]);
  EXPECT_TRUE(open_after_wait);
  EXPECT_FALSE(app().is_open(timer_form()));
}

TEST_F(EventLoop, ModalDialogReturnsWhenItClosesAndBlocksOtherWindows) {
  Form& main = app().show(timer_form());
  int main_clicks = 0;
  main.bind("按钮", Event::Clicked, [&](EventArgs&) { ++main_clicks; });
  static FormDef& dialog = const_cast<FormDef&>(dialog_form());
  dialog.bindings = {
      {"", Event::Created, [](EventArgs& a) { a.form["时钟"].set_timer_period(2000); }},
      {"时钟", Event::TimerFired,
       [&](EventArgs& a) {
         // While the dialog is up, the main window takes no input.
         click(main["按钮"]);
         app().close(a.form);
       }},
  };
  app().show_modal(dialog);
  EXPECT_FALSE(app().is_open(dialog));
  EXPECT_EQ(app().now_ms(), 2000);
  EXPECT_EQ(main_clicks, 0);
  EXPECT_EQ(app().modal(), nullptr);
  click(main["按钮"]);
  EXPECT_EQ(main_clicks, 1);
}

TEST_F(EventLoop, PostedMessagesWaitForTheLoopAndSentOnesDoNot) {
  Form& f = app().show(timer_form());
  std::vector<std::pair<intptr_t, intptr_t>> feedback;
  f.bind("按钮", Event::Feedback, [&](EventArgs& a) { feedback.push_back({a.wparam, a.lparam}); });
  app().post_message(f["按钮"], msg::kLabelFeedback, 1, 2);
  EXPECT_TRUE(feedback.empty());
  app().send_message(f["按钮"], msg::kLabelFeedback, 3, 4);
  EXPECT_EQ(feedback.size(), 1u);
  app().process_pending();
  EXPECT_EQ(feedback, (std::vector<std::pair<intptr_t, intptr_t>>{{3, 4}, {1, 2}}));
}

TEST_F(EventLoop, ExitProgramRunsTheExitRoutineThenEnds) {
  EXPECT_EXIT(
      {
        app().set_exit_routine([] { std::fputs("cleaned up\n", stderr); });
        app().exit_program(7);
      },
      ::testing::ExitedWithCode(7), "cleaned up");
}

TEST_F(EventLoop, ClosingTheMainWindowEndsTheProgram) {
  static const FormDef main_window{"Main", {0, 0, 10, 10}, {}};
  EXPECT_EXIT(
      {
        app().set_main_window(main_window);
        Form& f = app().show(main_window);
        app().window_close_requested(f);
        app().process_pending();
        std::fputs("still running\n", stderr);
        std::_Exit(3);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace velk::tk
