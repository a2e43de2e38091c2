#include "shell/browser_window.h"

#include "art/browser_window.h"
#include "art/main_window.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "shell/browser_search.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"
#include "shell/skin_pictures.h"

namespace velk {

using namespace tk;
namespace art_bw = art::browser_window;
namespace art_mw = art::main_window;

namespace {

constexpr Pointer Hand = Pointer::Hand;
constexpr Pointer Arrow = Pointer::Arrow;

std::function<void()>& search_bar_opener() {
  static std::function<void()> open = [] { MainWindow().window().set_visible(true); };
  return open;
}

void on_created(EventArgs& e) {
  Form& b = e.form;
  const Size screen = app().screen_size();
  const int W = screen.width, H = screen.height;
  // 1. The engine popup parked.
  b["引擎"].move(-100, -39);
  // 2. The skin of the strip, read once per opening.
  BrowserSkinName = read_ini(run_directory() + "\\velkEc.ec", "Marun", "皮肤");
  // 3.
  app().post_message(b.window(), msg::kNcMouseMove, 170, 0);
  // 4-7. Over the screen width and the work area's height.
  b.window().move(std::nullopt, std::nullopt, W, H - TaskbarHeight());
  b["皮肤"].set_width(W);
  b["超文本浏览框1"].move(-1, 50, W + 1, H - TaskbarHeight() - 50);
  b.window().move(0, 0);
  // 8. The corner buttons at the right edge.
  b["关闭"].set_left(W - b["关闭"].width() - 2);
  b["最小化"].set_left(b["关闭"].left() - b["最小化"].width());
  // 9. The layout refresh.
  b["时钟1"].set_timer_period(1000);
  // 10. The strip shows the skin when the setting names one of the five.
  std::string_view skin = SkinPictureFor(BrowserSkinName);
  if (!skin.empty()) b["皮肤"].set_picture(Bytes(skin));
}

// Once a second: follows the work area's height.
void on_时钟1_fired(EventArgs& e) {
  Form& b = e.form;
  e.control.set_timer_period(0);
  const int H = app().screen_size().height;
  b.window().set_height(H - TaskbarHeight());
  b["超文本浏览框1"].move(std::nullopt, 49, app().screen_size().width, H - TaskbarHeight() - 50);
  e.control.set_timer_period(1000);
}

// The closing fallback: acts only if the window is still open a second later.
void on_时钟2_fired(EventArgs& e) {
  e.control.set_timer_period(0);
  if (app().is_open(BrowserWindowDef())) app().close(BrowserWindowDef());
}

void on_关闭_clicked(EventArgs& e) {
  Form& home = MainWindow();
  home["时钟2"].set_timer_period(300);  // the home window's hints
  if (!home.visible()) search_bar_opener()();
  e.form["时钟2"].set_timer_period(1000);
  app().close(e.form);
}

void on_最小化_clicked(EventArgs& e) { e.form.window().set_position(2); }

void on_图形按钮1_clicked(EventArgs& e) { e.form["超文本浏览框1"].go_back(); }

void on_图形按钮4_clicked(EventArgs& e) { e.form["超文本浏览框1"].go_forward(); }

void on_回车_clicked(EventArgs& e) {
  const Text text = e.form["编辑框1"].text();
  if (!text.empty() && text != kAddressHint) OpenInBrowserWindow(text);
}

// A link that asks for a new window opens here, at the address the status
// bar shows; the new window is refused. With nothing under the pointer (a
// script's window.open) the status bar is empty: the requested page opens
// instead of an error page for the empty address.
void on_超文本浏览框1_new_window(EventArgs& e) {
  Control& view = e.control;
  const Text& status = view.status_text();
  view.set_address(!status.empty() ? status : e.address);
  e.allow = false;
}

FormDef make_browser_window() {
  FormDef def{
      "BrowserWindow",
      {50, 50, 1108, 403},
      {
          {"最小化", Kind::PictureButton, 1001, 0, 42, 51, "", Hand},
          {"图形按钮4", Kind::PictureButton, 164, 13, 26, 26, "", Hand},
          {"图片框2", Kind::PictureBox, 10, 0, 50, 50},
          {"关闭", Kind::PictureButton, 1043, 0, 41, 40, "", Hand},
          {"皮肤", Kind::PictureBox, 0, 0, 1032, 50},
          TimerRow("时钟2", 0),
          TimerRow("时钟1", 0),
          {"超文本浏览框1", Kind::WebView, 24, 51, 752, 280},
          // Inside the strip.
          {"图形按钮1", Kind::PictureButton, 123, 13, 26, 26, "皮肤", Hand},
          {"回车", Kind::PictureButton, 587, 13, 30, 26, "皮肤", Hand},
          {"编辑框1", Kind::EditBox, 191, 13, 401, 26, "皮肤"},
          {"图形按钮2", Kind::PictureButton, 120, 10, 500, 32, "皮肤"},
          {"图片框1", Kind::PictureBox, 136, 13, 48, 26, "皮肤"},
      },
      {
          {"", Event::Created, on_created},
          {"时钟1", Event::TimerFired, on_时钟1_fired},
          {"时钟2", Event::TimerFired, on_时钟2_fired},
          {"关闭", Event::Clicked, on_关闭_clicked},
          {"最小化", Event::Clicked, on_最小化_clicked},
          {"图形按钮1", Event::Clicked, on_图形按钮1_clicked},
          {"图形按钮4", Event::Clicked, on_图形按钮4_clicked},
          {"回车", Event::Clicked, on_回车_clicked},
          {"超文本浏览框1", Event::NewWindow, on_超文本浏览框1_new_window},
      },
      "Velk",
  };
  def.looks = {
      {"最小化", art_bw::minimize_normal, art_bw::minimize_hover},
      {"关闭", art_bw::close_normal, art_bw::close_hover},
      {"图形按钮1", art_bw::back_normal, art_bw::back_hover},
      {"图形按钮4", art_bw::forward_normal, art_bw::forward_hover},
      {"图片框2", art_bw::logo},
      {"图片框1", art_bw::address_badge},
      {"回车", art_mw::go_normal, art_mw::go_hover},
      {"图形按钮2", art_mw::search_frame},  // the same field, its corners cut for a skin
  };
  def.add(BrowserSearchRowPart());
  // The drawn top-level controls, top of the z-order first.
  def.stacking = {"最小化", "引擎", "搜索", "编辑框2", "图形按钮6", "图形按钮4",
                  "图片框2", "关闭", "皮肤", "超文本浏览框1"};
  return def;
}

}  // namespace

const FormDef& BrowserWindowDef() {
  static const FormDef def = make_browser_window();
  return def;
}

int TaskbarHeight() {
  const Rect work = app().work_area();
  const int gap = app().screen_size().height - (work.top + work.height);
  return gap > 0 ? gap : 0;
}

Form& ShowBrowserWindow() {
  Form& b = app().show(BrowserWindowDef());
  b.window().set_visible(true);
  return b;
}

void OpenInBrowserWindow(const Text& url) { ShowBrowserWindow()["超文本浏览框1"].set_address(url); }

void SetSearchBarOpener(std::function<void()> open) { search_bar_opener() = std::move(open); }

}  // namespace velk
