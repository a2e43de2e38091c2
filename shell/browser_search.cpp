#include "shell/browser_search.h"

#include "art/browser_window.h"
#include "art/main_window.h"
#include "search/engines.h"
#include "shell/browser_window.h"
#include "shell/engine_popup.h"

namespace velk {

using namespace tk;
namespace art_bw = art::browser_window;
namespace art_mw = art::main_window;

namespace {

const SearchBox& browser_search_box() {
  static const SearchBox box{
      .query = "编辑框2",
      .engine_picture = "搜索引擎",
      .logos = SmallEngineLogos,
      .show_results = [] { ShowBrowserWindow(); },
      .open_results = OpenInBrowserWindow,
  };
  return box;
}

void collapse_engine_popup(Form& b) {
  b["引擎"].move(-100, -39);
  b["图形按钮6"].set_visible(true);
}

void choose_engine(Form& b, Engine engine) {
  b["搜索引擎"].set_picture(Bytes(SmallEngineLogos().of(engine)));
  collapse_engine_popup(b);
}

// Each new browser window starts on Baidu, so its search works before any
// choice.
void on_created(EventArgs& e) {
  e.form["搜索引擎"].set_picture(Bytes(SmallEngineLogos().of(Engine::Baidu)));
}

void on_图形按钮6_clicked(EventArgs& e) {
  Form& b = e.form;
  b["图形按钮6"].set_visible(false);
  b["引擎"].move(b["搜索引擎"].left(), 39);
}

void on_搜索_clicked(EventArgs& e) { RunSearch(browser_search_box(), e.form); }

}  // namespace

FormPart BrowserSearchRowPart() {
  constexpr Pointer Hand = Pointer::Hand;
  static const EnginePopupActions popup{choose_engine, collapse_engine_popup};
  FormPart part{
      "browser search row",
      {
          {"引擎", Kind::PictureBox, 672, 39, 50, 107},
          {"搜索", Kind::PictureButton, 940, 13, 26, 26, "", Hand},
          {"编辑框2", Kind::EditBox, 744, 13, 196, 26},
          {"图形按钮6", Kind::PictureButton, 715, 13, 24, 26, "", Hand},
          // Inside the strip.
          {"搜索引擎", Kind::PictureBox, 672, 13, 71, 26, "皮肤"},
          {"边框", Kind::PictureButton, 669, 10, 300, 32, "皮肤"},
      },
      {
          {"边框", art_bw::search_frame},
          {"搜索", art_mw::search_normal, art_mw::search_hover},
          {"图形按钮6", art_mw::engine_drop_normal, art_mw::engine_drop_hover},
      },
      {
          {"", Event::Created, on_created},
          {"图形按钮6", Event::Clicked, on_图形按钮6_clicked},
          {"搜索", Event::Clicked, on_搜索_clicked},
      },
  };
  part.add(EnginePopupPart(popup));
  return part;
}

}  // namespace velk
