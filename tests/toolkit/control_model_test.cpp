// Property semantics of the control model and how input finds its control.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/toolkit/headless_fixture.h"

namespace velk::tk {
namespace {

using test::HeadlessTest;

// Top of the z-order first, as the design tables list them.
const FormDef& panel_form() {
  static const FormDef def{
      "PanelForm",
      {50, 50, 400, 300},
      {
          {"上层", Kind::PictureBox, 10, 10, 100, 100, "", Pointer::Hand},
          {"禁用", Kind::PictureButton, 150, 10, 80, 40, "", Pointer::Arrow, kDisabled},
          {"隐藏", Kind::Label, 250, 10, 50, 50, "", Pointer::Arrow, kHidden},
          {"框", Kind::ShapeBox, 0, 150, 200, 100},
          {"下层", Kind::Label, 10, 10, 120, 120},
          {"底下", Kind::Label, 150, 10, 80, 40},
          {"子", Kind::Label, 150, 50, 100, 70, "框"},
          {"编辑框", Kind::EditBox, 20, 10, 100, 26, "框"},
          {"列表", Kind::ListBox, 250, 100, 100, 90},
          {"选择夹", Kind::TabControl, 250, 200, 140, 90},
          {"页0", Kind::Label, 0, 0, 20, 20, "选择夹", Pointer::Arrow, 0, {}, 0, 0},
          {"页1", Kind::Label, 0, 0, 20, 20, "选择夹", Pointer::Arrow, 0, {}, 0, 1},
      },
  };
  return def;
}

class ControlModel : public HeadlessTest {
 protected:
  Form& form() { return app().show(panel_form()); }
};

TEST_F(ControlModel, MoveKeepsOmittedValuesAndMinusOneSizes) {
  struct Case {
    const char* what;
    std::optional<int> l, t, w, h;
    Rect expected;
  };
  const Case cases[] = {
      {"all given", 1, 2, 3, 4, {1, 2, 3, 4}},
      {"only left", 7, std::nullopt, std::nullopt, std::nullopt, {7, 10, 200, 200}},
      {"minus one keeps the size", 5, 6, -1, -1, {5, 6, 200, 200}},
      {"minus one is a place", -1, -1, 30, 40, {-1, -1, 30, 40}},
      {"zero is a value", 0, 0, 0, 0, {0, 0, 0, 0}},
      {"negative places stay", -800, -130, std::nullopt, std::nullopt, {-800, -130, 200, 200}},
  };
  for (const Case& c : cases) {
    Control& lower = form()["下层"];
    lower.move(10, 10, 200, 200);
    lower.move(c.l, c.t, c.w, c.h);
    EXPECT_EQ(lower.rect(), c.expected) << c.what;
  }
}

TEST_F(ControlModel, PicturesReadBackTheExactBytes) {
  Control& box = form()["上层"];
  const Bytes odd("GIF89a\0\xff\x80zero\0bytes", 18);
  box.set_picture(odd);
  box.set_background_picture("not a picture at all");
  EXPECT_EQ(box.picture(), odd);
  EXPECT_EQ(box.picture().size(), 18u);
  EXPECT_EQ(box.background_picture(), "not a picture at all");
  box.set_picture(Bytes());
  EXPECT_TRUE(box.picture().empty());
}

TEST_F(ControlModel, RaiseToTopReordersOnlyAmongSiblings) {
  Form& f = form();
  const auto& top_level = f.window().children();
  ASSERT_EQ(top_level.back(), &f["上层"]);  // first row is the topmost
  f["下层"].raise_to_top();
  EXPECT_EQ(f.window().children().back(), &f["下层"]);
  f["子"].raise_to_top();
  EXPECT_EQ(f["框"].children().back(), &f["子"]);
  EXPECT_EQ(f.window().children().back(), &f["下层"]);
}

TEST_F(ControlModel, ListSelectionClamps) {
  Control& list = form()["列表"];
  list.select(0);
  EXPECT_EQ(list.selection(), -1) << "an empty list selects nothing";
  for (const char* item : {"abc", "abd", "abe"}) list.add_item(item);
  struct Case {
    int requested, selected;
  };
  for (Case c : {Case{0, 0}, Case{2, 2}, Case{7, 2}, Case{-1, -1}, Case{-5, -1}, Case{1, 1}}) {
    list.select(c.requested);
    EXPECT_EQ(list.selection(), c.selected) << "requested " << c.requested;
  }
  EXPECT_EQ(list.item_text(1), "abd");
  EXPECT_EQ(list.item_text(3), "");
  EXPECT_EQ(list.item_text(-1), "");
  list.clear_items();
  EXPECT_EQ(list.item_count(), 0);
  EXPECT_EQ(list.selection(), -1);
}

TEST_F(ControlModel, EditBoxTextChangesRaiseTheEventOncePerChange) {
  Form& f = form();
  std::vector<Text> seen;
  f.bind("编辑框", Event::TextChanged, [&](EventArgs& a) { seen.push_back(a.control.text()); });
  f["编辑框"].set_text("你好");
  f["编辑框"].set_text("你好");  // unchanged: no event
  app().user_edited(f["编辑框"], "你好a");
  f["编辑框"].set_text("");
  EXPECT_EQ(seen, (std::vector<Text>{"你好", "你好a", ""}));
}

TEST_F(ControlModel, HitTestFindsTheTopmostControlThatTakesInput) {
  Form& f = form();
  struct Case {
    Point at;
    const char* expected;  // nullptr: the window itself
  };
  const Case cases[] = {
      {{50, 50}, "上层"},      // above 下层
      {{120, 120}, "下层"},    // only 下层 there
      {{160, 20}, "底下"},     // the disabled button lets the point through
      {{260, 20}, nullptr},    // hidden label: nothing there but the window
      {{30, 170}, "编辑框"},   // a child inside its parent
      {{5, 240}, "框"},        // the frame outside its children
      {{390, 290}, nullptr},   // window background
      {{255, 205}, "页0"},     // page 0 of the tab control shows
  };
  for (const Case& c : cases) {
    Control* hit = app().hit_test(f, c.at);
    EXPECT_EQ(hit ? hit->name() : std::string("(window)"), c.expected ? c.expected : "(window)")
        << "at " << c.at.x << "," << c.at.y;
  }
  // A child is clipped by its parent: 子 reaches below 框's bottom edge.
  EXPECT_EQ(app().hit_test(f, {160, 245})->name(), "子");
  EXPECT_EQ(app().hit_test(f, {160, 255}), nullptr) << "outside 框, so not 子";
  // A 0x0 control takes nothing.
  f["上层"].move(0, 0, 0, 0);
  EXPECT_EQ(app().hit_test(f, {50, 50})->name(), "下层");
  f["选择夹"].set_current_page(1);
  EXPECT_EQ(app().hit_test(f, {255, 205})->name(), "页1");
}

TEST_F(ControlModel, ClickNeedsPressAndReleaseOnTheSameControl) {
  Form& f = form();
  int clicks = 0, presses = 0, window_presses = 0;
  f.bind("上层", Event::Clicked, [&](EventArgs&) { ++clicks; });
  f.bind("上层", Event::LeftPressed, [&](EventArgs& a) {
    ++presses;
    EXPECT_EQ(a.x, 40);  // in the control's own coordinates
    EXPECT_EQ(a.y, 40);
  });
  f.bind("", Event::LeftPressed, [&](EventArgs&) { ++window_presses; });
  app().left_pressed(f, {50, 50});
  app().left_released(f, {50, 50});
  app().left_pressed(f, {50, 50});
  app().left_released(f, {150, 150});  // released elsewhere
  app().left_pressed(f, {390, 290});
  EXPECT_EQ(presses, 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(window_presses, 1);
}

TEST_F(ControlModel, DisabledControlsTakeNoInput) {
  Form& f = form();
  int events = 0;
  for (Event e : {Event::Clicked, Event::LeftPressed, Event::MouseMoved})
    f.bind("禁用", e, [&](EventArgs&) { ++events; });
  f.bind("编辑框", Event::TextChanged, [&](EventArgs&) { ++events; });
  click(f["禁用"]);
  hover(f["禁用"]);
  f["编辑框"].set_disabled(true);
  app().user_edited(f["编辑框"], "typed");
  EXPECT_EQ(events, 0);
  EXPECT_EQ(f["编辑框"].text(), "");
  f["禁用"].set_disabled(false);
  click(f["禁用"]);
  EXPECT_EQ(events, 2);  // pressed, clicked
}

TEST_F(ControlModel, PictureButtonsShowTheirLookForPointerAndPress) {
  Form& f = form();
  Control& button = f["禁用"];
  button.set_disabled(false);
  button.set_button_pictures("normal", "hover", "pressed", "disabled");
  EXPECT_EQ(button.current_button_picture(), "normal");
  hover(button);
  EXPECT_EQ(button.current_button_picture(), "hover");
  press(button);
  EXPECT_EQ(button.current_button_picture(), "pressed");
  app().left_released(f, centre(button));
  EXPECT_EQ(button.current_button_picture(), "hover");
  app().mouse_moved(f, {390, 290});
  EXPECT_EQ(button.current_button_picture(), "normal");
  button.set_disabled(true);
  EXPECT_EQ(button.current_button_picture(), "disabled");
}

TEST_F(ControlModel, KeysGoToTheFocusedControl) {
  Form& f = form();
  std::vector<std::pair<std::string, int>> keys;
  auto record = [&](EventArgs& a) { keys.push_back({a.control.is_window() ? "" : a.control.name(), a.key}); };
  f.bind("编辑框", Event::KeyPressed, record);
  f.bind("", Event::KeyPressed, record);
  app().key_pressed(f, key::kEnter);
  f["编辑框"].set_focus();
  EXPECT_TRUE(f["编辑框"].has_focus());
  app().key_pressed(f, key::kDown);
  app().key_pressed(f, key::kUp);
  EXPECT_EQ(keys, (std::vector<std::pair<std::string, int>>{{"", 13}, {"编辑框", 40}, {"编辑框", 38}}));
}

TEST_F(ControlModel, UserPickOfAListItemRaisesItemSelected) {
  Form& f = form();
  Control& list = f["列表"];
  for (const char* item : {"一", "二"}) list.add_item(item);
  int picked = -2;
  f.bind("列表", Event::ItemSelected, [&](EventArgs& a) { picked = a.index; });
  list.select(0);  // the program's own selection raises nothing
  EXPECT_EQ(picked, -2);
  app().user_selected(list, 1);
  EXPECT_EQ(picked, 1);
  EXPECT_EQ(list.selection(), 1);
}

TEST_F(ControlModel, HyperlinksTipsAndWindowMessagesToTheWindowSystem) {
  Form& f = form();
  f["下层"].set_link_address("http://example.com/");
  EXPECT_EQ(f["下层"].link_address(), "http://example.com/");
  f["底下"].register_tip(f["上层"], "单击切换引擎");
  EXPECT_EQ(f["上层"].tooltip(), "单击切换引擎");

  app().send_message(f.window(), msg::kNcLeftButtonDown, msg::kHtCaption, 0);
  app().send_message(f.window(), msg::kNcLeftButtonDown, 1, 0);  // not the caption
  app().post_message(f.window(), msg::kNcMouseMove, 170, 0);     // accepted, no effect
  app().process_pending();
  EXPECT_EQ(backend().drags, std::vector<std::string>{"PanelForm"});
  f.window().set_position(2);
  EXPECT_EQ(backend().minimised, std::vector<std::string>{"PanelForm"});
}

// ---- windows made of parts

FormPart overlay_part() {
  return {"overlay",
          {{"盖", Kind::PictureBox, 0, 0, 60, 60},
           {"盖内", Kind::Label, 0, 0, 30, 30, "盖"},
           {"夹", Kind::TabControl, 100, 100, 80, 80},
           OnPage(0, {"第一页上", Kind::Label, 0, 0, 20, 20, "夹"}),
           OnPage(1, {"第二页上", Kind::Label, 0, 0, 20, 20, "夹"})},
          {},
          {{"盖内", Event::Clicked, [](EventArgs& e) { e.form["底"].set_caption("点了"); }}}};
}

TEST_F(ControlModel, PartsAddRowsAndBindingsAndTheStackingOrdersTheTopLevel) {
  static const FormDef def = [] {
    FormDef d{"Composed", {0, 0, 200, 200}, {{"底", Kind::Label, 0, 0, 100, 100}, TimerRow("时钟", 500)}};
    d.add(overlay_part());
    d.stacking = {"盖", "夹", "底"};  // the part's box above the window's own label
    return d;
  }();
  Form& f = app().show(def);
  EXPECT_EQ(f["时钟"].timer_period(), 500);
  EXPECT_EQ(app().hit_test(f, {10, 10}), &f["盖内"]) << "the part's rows stand above as stacked";
  EXPECT_EQ(app().hit_test(f, {50, 50}), &f["盖"]);
  EXPECT_EQ(app().hit_test(f, {80, 80}), &f["底"]);
  click(f["盖内"]);
  EXPECT_EQ(f["底"].caption(), "点了") << "the part's binding runs";
  // Rows made with OnPage show with their page only.
  EXPECT_TRUE(f["第一页上"].shown());
  EXPECT_FALSE(f["第二页上"].shown());
  f["夹"].set_current_page(1);
  EXPECT_FALSE(f["第一页上"].shown());
  EXPECT_TRUE(f["第二页上"].shown());
}

TEST_F(ControlModel, AWindowWhoseRowsCannotFitIsRefusedWhenItOpens) {
  struct Case {
    const char* what;
    std::vector<ControlSpec> own;
    std::vector<std::string> stacking;
    const char* message;  // part of the refusal
  };
  const std::vector<Case> cases = {
      {"a part's name clashes with the window's", {{"盖", Kind::Label, 0, 0, 10, 10}}, {}, "part overlay"},
      {"the stacking leaves a control out", {{"底", Kind::Label, 0, 0, 10, 10}}, {"盖", "夹"}, "leaves out 底"},
      {"the stacking names a child", {{"底", Kind::Label, 0, 0, 10, 10}}, {"盖", "夹", "底", "盖内"}, "盖内"},
      {"the stacking names one twice", {{"底", Kind::Label, 0, 0, 10, 10}}, {"盖", "夹", "底", "盖"}, "named twice"},
  };
  std::vector<std::unique_ptr<FormDef>> defs;  // a window keeps its definition
  for (const Case& c : cases) {
    defs.push_back(std::make_unique<FormDef>("Refused", Rect{0, 0, 100, 100}, c.own));
    defs.back()->add(overlay_part());
    defs.back()->stacking = c.stacking;
    try {
      app().show(*defs.back());
      ADD_FAILURE() << c.what << ": opened";
    } catch (const std::logic_error& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.what << ": " << e.what();
    }
    EXPECT_FALSE(app().is_open(*defs.back())) << c.what;
  }
}

}  // namespace
}  // namespace velk::tk
