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
#include "shell/address_bar.h"
#include "shell/carousel.h"
#include "shell/home_search.h"
#include "shell/shared_state.h"
#include "shell/skin_pictures.h"
#include "shell/tiles.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

namespace {

constexpr Pointer Hand = Pointer::Hand;

Text file_in_run_directory(const char* relative) { return run_directory() + relative; }

// ------------------------------------------------------------------ start-up

void on_created(EventArgs& e) {
  Form& w = e.form;
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
  ReadTilesFile();
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
  RestoreHintIfEmpty(w, "编辑框2", "透明标签2", kSearchHint);
  RestoreHintIfEmpty(w, "编辑框1", "透明标签3", kAddressHint);
  // 20. The promotion slots show once their pictures arrive.
  w["推广1"].set_visible(false);
  w["推广2"].set_visible(false);
}

// ------------------------------------------------------------------ frame

void hide_suggestion_frame(EventArgs& e) {
  e.form["关键"].set_visible(false);
  e.form["列表框2"].set_visible(false);
}

// Over the window background or the frame: highlight and menu go.
void on_background_mouse_moved(EventArgs& e) {
  Form& w = e.form;
  w["外形框2"].move(0, 0, 0, 0);
  w["菜单"].move(0, 0, 0, 0);
  w["关键"].set_visible(false);
}

void on_window_left_pressed(EventArgs& e) { CollapseSearchPopups(e.form); }

void on_图片框1_left_pressed(EventArgs& e) {
  CollapseSearchPopups(e.form);
  app().send_message(e.form.window(), msg::kNcLeftButtonDown, msg::kHtCaption, 0);
}

void on_图形按钮15_clicked(EventArgs&) { app().exit_program(0); }

// The floating search bar and the skin chooser come with their windows;
// until then these buttons only fold the search popups away, and the bar
// button never hides the home window without a way back.
void on_图形按钮16_clicked(EventArgs& e) { CollapseSearchPopups(e.form); }

void on_图形按钮17_clicked(EventArgs& e) { CollapseSearchPopups(e.form); }

void on_图形按钮18_clicked(EventArgs& e) {
  CollapseSearchPopups(e.form);
  e.form["菜单"].move(730, 40, 100, 88);
}

void close_menu(Form& w) { w["菜单"].move(0, 0, 0, 0); }

void on_意见反馈_clicked(EventArgs& e) {
  close_menu(e.form);
  run_program(file_in_run_directory("\\EcVelk\\VelkFeedback.exe"));  // failure is silent
}

void on_关于Velk_clicked(EventArgs& e) { close_menu(e.form); }

void on_检测新版_clicked(EventArgs& e) { close_menu(e.form); }

// One-shot: fires 1000 ms after start-up and 300 ms after a secondary window
// re-arms it.
void on_时钟2_fired(EventArgs& e) {
  e.control.set_timer_period(0);
  RestoreHintIfEmpty(e.form, "编辑框2", "透明标签2", kSearchHint);
  RestoreHintIfEmpty(e.form, "编辑框1", "透明标签3", kAddressHint);
}

// ------------------------------------------------------------------ design

FormDef make_main_window() {
  FormDef def{
      "MainWindow",
      {50, 50, 900, 600},
      {
          {"图片框4", Kind::PictureBox, 9, 0, 40, 40},
          {"编辑框3", Kind::EditBox, 0, 0, 0, 0},
          {"菜单", Kind::PictureBox, 730, 40, 100, 88},
          {"图形按钮18", Kind::PictureButton, 730, 1, 42, 40, "", Hand},
          {"图形按钮17", Kind::PictureButton, 772, 1, 43, 51, "", Hand},
          {"图形按钮16", Kind::PictureButton, 815, 1, 45, 51, "", Hand},
          {"图形按钮15", Kind::PictureButton, 857, 1, 48, 46, "", Hand},
          {"图片框1", Kind::PictureBox, 1, 1, 898, 40},
          {"边框", Kind::PictureButton, 0, 0, 900, 600},
          // The menu's entries.
          {"检测新版", Kind::PictureButton, 2, 53, 96, 20, "菜单"},
          {"关于Velk", Kind::PictureButton, 2, 32, 96, 20, "菜单"},
          {"意见反馈", Kind::PictureButton, 2, 11, 96, 20, "菜单"},
          TimerRow("时钟2", 1000),
          TimerRow("时钟3", 300),
          TimerRow("时钟4", 3000),
          TimerRow("热播焦点时钟1", 300),
          TimerRow("时钟更新", 0),
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
          {"时钟2", Event::TimerFired, on_时钟2_fired},
      },
      "Velk",
  };
  def.looks = {
      {"", {}, {}, art::skins::skin4},  // the designed background
      {"图片框4", art_mw::logo},
      {"菜单", art_mw::menu_box},
      {"图形按钮18", art_mw::menu_normal, art_mw::menu_hover},
      {"图形按钮17", art_mw::skin_normal, art_mw::skin_hover},
      {"图形按钮16", art_mw::float_normal, art_mw::float_hover},
      {"图形按钮15", art_mw::close_normal, art_mw::close_hover},
      {"图片框1", art_mw::title_strip},
      {"边框", art_mw::window_frame},
      {"检测新版", art_mw::menu_update_normal, art_mw::menu_update_hover},
      {"关于Velk", art_mw::menu_about_normal, art_mw::menu_about_hover},
      {"意见反馈", art_mw::menu_feedback_normal, art_mw::menu_feedback_hover},
  };
  // The parts; a new panel is one more line here.
  def.add(CarouselPart());
  def.add(AddressBarPart());
  def.add(HomeSearchRowPart());
  def.add(TilesPart());
  // The drawn top-level controls, top of the z-order first.
  def.stacking = {
      "网购精选", "风云时讯", "透明标签3", "透明标签2", "图片框4", "编辑框3",
      "菜单", "关键", "引擎", "编辑框2", "图形按钮6", "搜索引擎",
      "右箭头", "左箭头", "图形按钮18", "图形按钮17", "图形按钮16", "图形按钮15",
      "图片框1", "搜索", "图形按钮5", "外形框1", "边框",
  };
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

void CollapseSearchPopups(Form& w) {
  w["图形按钮6"].set_visible(true);
  w["引擎"].move(-203, -113);
  w["列表框2"].set_visible(false);
}

void RestoreHintIfEmpty(Form& w, const char* box, const char* hint, const char* text) {
  if (!w[box].text().empty()) return;
  w[hint].set_left(w[box].left() + 5);
  w[hint].set_caption(text);
}

void OpenBoxUnderHint(Form& w, const char* box, const char* hint, const char* text) {
  w[box].set_disabled(false);
  if (w[box].text().empty()) w[hint].set_caption(text);
  w[box].set_focus();
}

TextStyle HintStyle() {
  TextStyle s;
  s.color = 0x8A9099;
  s.font_px = 14;
  return s;
}

}  // namespace velk

