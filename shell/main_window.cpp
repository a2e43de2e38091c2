#include "shell/main_window.h"

#include <string>

#include "art/main_window.h"
#include "art/skins.h"
#include "platform/endpoints.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "search/home_search.h"
#include "shell/address_bar.h"
#include "shell/engine_popup.h"
#include "shell/shared_state.h"
#include "shell/tiles.h"
#include "shell/skin_pictures.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

namespace {

constexpr Pointer Hand = Pointer::Hand;
constexpr Pointer IBeam = Pointer::IBeam;
constexpr Pointer Arrow = Pointer::Arrow;

// ------------------------------------------------------------------ helpers

Form& W() { return MainWindow(); }

bool stands_at(Control& c, int left, int top) { return c.left() == left && c.top() == top; }

Text file_in_run_directory(const char* relative) { return run_directory() + relative; }

// The placeholder hint over an empty box: at the box's left + 5 with its text.
void restore_hint_if_empty(const char* box, const char* hint, const char* text) {
  if (!W()[box].text().empty()) return;
  W()[hint].set_left(W()[box].left() + 5);
  W()[hint].set_caption(text);
}

// ------------------------------------------------------------------ start-up

void on_created(EventArgs&) {
  Form& w = W();
  // 1. A non-client mouse move to itself, as the designed window does.
  app().post_message(w.window(), msg::kNcMouseMove, 170, 0);
  // 2, 3. The scrapers' patterns.
  CompileLinkRegex(Patterns);
  CompileAttributePatterns(Patterns);
  // 4. The skin setting.
  SkinName = read_ini(file_in_run_directory("\\velkEc.ec"), "Marun", "皮肤");
  // 5. The vendor's version page. This download blocks the window, so it is
  // bounded to a few seconds.
  VersionText = bytes_to_text(download_url(endpoint("vendor") + "/marun.html", kGuiThreadLimits));
  w["编辑框3"].set_text(VersionText);
  // 6. The version probe.
  w["时钟更新"].set_timer_period(10000);
  // 7. The tile area draws no background of its own.
  // 8. Tile titles and addresses.
  ReadTiles(read_file(file_in_run_directory("\\velkZui.t")));
  // 9. The current engine: Baidu.
  w["搜索引擎"].set_picture(Bytes(art_mw::engine_baidu_small));
  // 10. The engine popup off-screen.
  w["引擎"].move(-130, -130);
  // 11.
  SuggestionPicking = 0;
  // 12.
  w["左箭头"].set_visible(false);
  // 13, 14, 15. The highlight above the tiles; menu and highlight hidden by size.
  w["外形框2"].raise_to_top();
  w["菜单"].move(0, 0, 0, 0);
  w["外形框2"].move(0, 0, 0, 0);
  // 16. Tile faces.
  for (int n = 1; n <= 12; ++n) {
    const std::string number = std::to_string(n);
    w["标签" + number].set_background_picture(
        read_file(file_in_run_directory("\\icon\\标签") + number + ".gif"));
  }
  // 17. The skin, when it names one of the five.
  std::string_view skin = SkinPictureFor(SkinName);
  if (!skin.empty()) w.window().set_background_picture(Bytes(skin));
  // 18, 19. The hints.
  restore_hint_if_empty("编辑框2", "透明标签2", kSearchHint);
  restore_hint_if_empty("编辑框1", "透明标签3", kAddressHint);
  // 20. The promotion slots show once their pictures arrive.
  w["推广1"].set_visible(false);
  w["推广2"].set_visible(false);
}

// ------------------------------------------------------------------ frame

void hide_suggestion_frame(EventArgs&) {
  W()["关键"].set_visible(false);
  W()["列表框2"].set_visible(false);
}

// Over the window background or the frame: highlight and menu go.
void on_background_mouse_moved(EventArgs&) {
  W()["外形框2"].move(0, 0, 0, 0);
  W()["菜单"].move(0, 0, 0, 0);
  W()["关键"].set_visible(false);
}

void on_window_left_pressed(EventArgs&) { CollapseSearchPopups(); }

void on_图片框1_left_pressed(EventArgs&) {
  CollapseSearchPopups();
  app().send_message(W().window(), msg::kNcLeftButtonDown, msg::kHtCaption, 0);
}

void on_图形按钮15_clicked(EventArgs&) { app().exit_program(0); }

// The floating search bar and the skin chooser come with their windows;
// until then these buttons only fold the search popups away, and the bar
// button never hides the home window without a way back.
void on_图形按钮16_clicked(EventArgs&) { CollapseSearchPopups(); }

void on_图形按钮17_clicked(EventArgs&) { CollapseSearchPopups(); }

void on_图形按钮18_clicked(EventArgs&) {
  CollapseSearchPopups();
  W()["菜单"].move(730, 40, 100, 88);
}

void close_menu() { W()["菜单"].move(0, 0, 0, 0); }

void on_意见反馈_clicked(EventArgs&) {
  close_menu();
  run_program(file_in_run_directory("\\EcVelk\\VelkFeedback.exe"));  // failure is silent
}

void on_关于Velk_clicked(EventArgs&) { close_menu(); }

void on_检测新版_clicked(EventArgs&) { close_menu(); }

// The carousel: a panel is shown exactly when it stands at its place.
void on_右箭头_clicked(EventArgs&) {
  Form& w = W();
  CollapseSearchPopups();
  if (stands_at(w["风云时讯"], 140, 215)) {
    w["风云时讯"].set_left(-620);
    w["网购精选"].move(140, 215);
    w["右箭头"].set_visible(false);
  }
  if (stands_at(w["外形框1"], 200, 225)) {
    w["外形框1"].set_left(-500);
    w["风云时讯"].move(140, 215);
    w["左箭头"].set_visible(true);
  }
}

void on_左箭头_clicked(EventArgs&) {
  Form& w = W();
  CollapseSearchPopups();
  if (stands_at(w["风云时讯"], 140, 215)) {
    w["风云时讯"].set_left(-620);
    w["外形框1"].move(200, 225);
    w["左箭头"].set_visible(false);
    w["右箭头"].set_visible(true);
  }
  if (stands_at(w["网购精选"], 140, 215)) {
    w["网购精选"].set_left(-800);
    w["风云时讯"].move(140, 215);
    w["左箭头"].set_visible(true);
    w["右箭头"].set_visible(true);
  }
}

// The first press lands on the hint, since both boxes are disabled as designed.
void open_box_under_hint(const char* box, const char* hint, const char* text) {
  Form& w = W();
  w[box].set_disabled(false);
  if (w[box].text().empty()) w[hint].set_caption(text);
  w[box].set_focus();
}

void on_透明标签3_left_pressed(EventArgs&) { open_box_under_hint("编辑框1", "透明标签3", kAddressHint); }

void on_透明标签2_left_pressed(EventArgs&) { open_box_under_hint("编辑框2", "透明标签2", kSearchHint); }

// One-shot: fires 1000 ms after start-up and 300 ms after a secondary window
// re-arms it.
void on_时钟2_fired(EventArgs& e) {
  e.control.set_timer_period(0);
  restore_hint_if_empty("编辑框2", "透明标签2", kSearchHint);
  restore_hint_if_empty("编辑框1", "透明标签3", kAddressHint);
}

// ------------------------------------------------------------------ design

TextStyle hint_style() {
  TextStyle s;
  s.color = 0x8A9099;
  s.font_px = 14;
  return s;
}

// The hovered tile's title on the dark highlight bar.
TextStyle tile_title_style() {
  TextStyle s;
  s.color = 0xFFFFFF;
  s.font_px = 12;
  return s;
}

FormDef make_main_window() {
  FormDef def{
      "MainWindow",
      {50, 50, 900, 600},
      {
          // Top-level controls, top of the z-order first.
          {"网购精选", Kind::ShapeBox, -800, 215, 620, 345},
          {"风云时讯", Kind::ShapeBox, -800, 215, 620, 340},
          {"透明标签3", Kind::TransparentLabel, 100, 8, 468, 26, "", IBeam, 0, " 透明标签"},
          {"透明标签2", Kind::TransparentLabel, 272, 90, 387, 26, "", IBeam, 0, " 透明标签"},
          {"图片框4", Kind::PictureBox, 9, 0, 40, 40},
          {"编辑框3", Kind::EditBox, 0, 0, 0, 0},
          {"菜单", Kind::PictureBox, 730, 40, 100, 88},
          {"关键", Kind::PictureBox, 275, 116, 423, 100},
          {"引擎", Kind::PictureBox, 203, 113, 50, 107},
          {"编辑框2", Kind::EditBox, 275, 90, 397, 26, "", Arrow, kDisabled},
          {"图形按钮6", Kind::PictureButton, 244, 90, 24, 26, "", Hand},
          {"搜索引擎", Kind::PictureBox, 203, 90, 71, 26},
          {"右箭头", Kind::PictureButton, 859, 333, 40, 75, "", Hand},
          {"左箭头", Kind::PictureButton, 1, 333, 40, 75, "", Hand},
          {"图形按钮18", Kind::PictureButton, 730, 1, 42, 40, "", Hand},
          {"图形按钮17", Kind::PictureButton, 772, 1, 43, 51, "", Hand},
          {"图形按钮16", Kind::PictureButton, 815, 1, 45, 51, "", Hand},
          {"图形按钮15", Kind::PictureButton, 857, 1, 48, 46, "", Hand},
          {"图片框1", Kind::PictureBox, 1, 1, 898, 40},
          {"搜索", Kind::PictureButton, 672, 90, 26, 26, "", Hand},
          {"图形按钮5", Kind::PictureButton, 200, 87, 500, 32, "", Arrow, kDisabled},
          {"外形框1", Kind::ShapeBox, 200, 225, 500, 320},
          {"边框", Kind::PictureButton, 0, 0, 900, 600},
          // Children of the title strip.
          {"回车", Kind::PictureButton, 563, 7, 30, 26, "图片框1", Hand},
          {"编辑框1", Kind::EditBox, 99, 7, 468, 26, "图片框1", Arrow, kDisabled},
          {"图形按钮2", Kind::PictureButton, 96, 4, 500, 32, "图片框1"},
          // The menu's entries.
          {"检测新版", Kind::PictureButton, 2, 53, 96, 20, "菜单"},
          {"关于Velk", Kind::PictureButton, 2, 32, 96, 20, "菜单"},
          {"意见反馈", Kind::PictureButton, 2, 11, 96, 20, "菜单"},
          // The suggestion list in its frame.
          {"列表框2", Kind::ListBox, 2, 3, 418, 90, "关键", Arrow, kHidden},
          // The tile area: promotion slots, highlight bar, tiles.
          {"推广1", Kind::PictureBox, 0, 239, 247, 80, "外形框1", Hand},
          {"推广2", Kind::PictureBox, 253, 240, 247, 80, "外形框1", Hand},
          {"外形框2", Kind::ShapeBox, 0, 53, 120, 20, "外形框1"},
          {"图片框3", Kind::PictureBox, 97, 0, 20, 20, "外形框2"},
          {"透明标签1", Kind::TransparentLabel, 2, 0, 62, 20, "外形框2", Hand},
          {"标签1", Kind::Label, 0, 0, 120, 73, "外形框1", Hand},
          {"标签2", Kind::Label, 127, 0, 120, 73, "外形框1", Hand},
          {"标签3", Kind::Label, 253, 0, 120, 73, "外形框1", Hand},
          {"标签4", Kind::Label, 380, 0, 120, 73, "外形框1", Hand},
          {"标签5", Kind::Label, 0, 80, 120, 73, "外形框1", Hand},
          {"标签6", Kind::Label, 127, 80, 120, 73, "外形框1", Hand},
          {"标签7", Kind::Label, 253, 80, 120, 73, "外形框1", Hand},
          {"标签8", Kind::Label, 380, 80, 120, 73, "外形框1", Hand},
          {"标签9", Kind::Label, 0, 161, 120, 73, "外形框1", Hand},
          {"标签10", Kind::Label, 127, 161, 120, 73, "外形框1", Hand},
          {"标签11", Kind::Label, 253, 161, 120, 73, "外形框1", Hand},
          {"标签12", Kind::Label, 380, 161, 120, 73, "外形框1", Hand},
          // Timers.
          {"时钟1", Kind::Timer, 0, 0, 0, 0, "", Arrow, 0, {}, 1000},
          {"时钟2", Kind::Timer, 0, 0, 0, 0, "", Arrow, 0, {}, 1000},
          {"时钟3", Kind::Timer, 0, 0, 0, 0, "", Arrow, 0, {}, 300},
          {"时钟4", Kind::Timer, 0, 0, 0, 0, "", Arrow, 0, {}, 3000},
          {"热播焦点时钟1", Kind::Timer, 0, 0, 0, 0, "", Arrow, 0, {}, 300},
          {"时钟更新", Kind::Timer, 0, 0, 0, 0, "", Arrow, 0, {}, 0},
      },
      {
          {"", Event::Created, on_created},
          {"", Event::LeftPressed, on_window_left_pressed},
          {"", Event::GotFocus, hide_suggestion_frame},
          {"", Event::LostFocus, hide_suggestion_frame},
          {"", Event::MouseMoved, on_background_mouse_moved},
          {"边框", Event::MouseMoved, on_background_mouse_moved},
          {"图片框1", Event::LeftPressed, on_图片框1_left_pressed},
          {"图形按钮15", Event::Clicked, on_图形按钮15_clicked},
          {"图形按钮16", Event::Clicked, on_图形按钮16_clicked},
          {"图形按钮17", Event::Clicked, on_图形按钮17_clicked},
          {"图形按钮18", Event::Clicked, on_图形按钮18_clicked},
          {"意见反馈", Event::Clicked, on_意见反馈_clicked},
          {"关于Velk", Event::Clicked, on_关于Velk_clicked},
          {"检测新版", Event::Clicked, on_检测新版_clicked},
          {"右箭头", Event::Clicked, on_右箭头_clicked},
          {"左箭头", Event::Clicked, on_左箭头_clicked},
          {"透明标签3", Event::LeftPressed, on_透明标签3_left_pressed},
          {"透明标签2", Event::LeftPressed, on_透明标签2_left_pressed},
          {"时钟2", Event::TimerFired, on_时钟2_fired},
          // Tiles.
          {"外形框1", Event::MouseMoved, on_外形框1_mouse_moved},
          {"图片框3", Event::LeftPressed, on_图片框3_left_pressed},
          {"时钟1", Event::TimerFired, on_时钟1_fired},
          // The address bar.
          {"编辑框1", Event::LeftPressed, on_编辑框1_left_pressed},
          {"编辑框1", Event::TextChanged, on_编辑框1_text_changed},
          {"编辑框1", Event::KeyPressed, on_编辑框1_key_pressed},
          {"回车", Event::Clicked, on_回车_clicked},
          // The search row and its suggestions.
          {"图形按钮6", Event::Clicked, home_search::on_图形按钮6_clicked},
          {"搜索引擎", Event::LeftPressed, home_search::on_搜索引擎_left_pressed},
          {"百度", Event::Clicked, home_search::on_百度_clicked},
          {"搜狗", Event::Clicked, home_search::on_搜狗_clicked},
          {"淘宝", Event::Clicked, home_search::on_淘宝_clicked},
          {"收回", Event::Clicked, home_search::on_收回_clicked},
          {"搜索", Event::Clicked, home_search::on_搜索_clicked},
          {"编辑框2", Event::LeftPressed, home_search::on_编辑框2_left_pressed},
          {"编辑框2", Event::TextChanged, home_search::on_编辑框2_text_changed},
          {"编辑框2", Event::KeyPressed, home_search::on_编辑框2_key_pressed},
          {"列表框2", Event::ItemSelected, home_search::on_列表框2_item_selected},
      },
      "Velk",
  };
  for (int n = 1; n <= 12; ++n) {
    const std::string tile = "标签" + std::to_string(n);
    def.bindings.push_back({tile, Event::MouseMoved, on_tile_mouse_moved});
    def.bindings.push_back({tile, Event::LeftPressed, on_tile_left_pressed});
  }
  def.looks = {
      {"", {}, {}, art::skins::skin4},  // the designed background
      {"图片框4", art_mw::logo},
      {"菜单", art_mw::menu_box},
      {"图形按钮6", art_mw::engine_drop_normal, art_mw::engine_drop_hover},
      {"右箭头", art_mw::arrow_right_normal, art_mw::arrow_right_hover},
      {"左箭头", art_mw::arrow_left_normal, art_mw::arrow_left_hover},
      {"图形按钮18", art_mw::menu_normal, art_mw::menu_hover},
      {"图形按钮17", art_mw::skin_normal, art_mw::skin_hover},
      {"图形按钮16", art_mw::float_normal, art_mw::float_hover},
      {"图形按钮15", art_mw::close_normal, art_mw::close_hover},
      {"图片框1", art_mw::title_strip},
      {"搜索", art_mw::search_normal, art_mw::search_hover},
      {"图形按钮5", art_mw::search_frame},
      {"边框", art_mw::window_frame},
      {"回车", art_mw::go_normal, art_mw::go_hover},
      {"图形按钮2", art_mw::address_frame},
      {"检测新版", art_mw::menu_update_normal, art_mw::menu_update_hover},
      {"关于Velk", art_mw::menu_about_normal, art_mw::menu_about_hover},
      {"意见反馈", art_mw::menu_feedback_normal, art_mw::menu_feedback_hover},
      {"外形框2", {}, {}, art_mw::tile_bar},
      {"图片框3", art_mw::tile_pick},
      {"透明标签1", {}, {}, {}, tile_title_style()},
      {"透明标签3", {}, {}, {}, hint_style()},
      {"透明标签2", {}, {}, {}, hint_style()},
  };
  AddEnginePopupContents(def);
  return def;
}

}  // namespace

const FormDef& MainWindowDef() {
  static const FormDef def = make_main_window();
  return def;
}

Form& MainWindow() {
  Form* f = app().find(MainWindowDef());
  if (!f) throw std::logic_error("the home window is not open");
  return *f;
}

void CollapseSearchPopups() {
  Form& w = W();
  w["图形按钮6"].set_visible(true);
  w["引擎"].move(-203, -113);
  w["列表框2"].set_visible(false);
}

}  // namespace velk
