#include "shell/home_search.h"

#include "art/main_window.h"
#include "search/suggestions.h"
#include "shell/browser_window.h"
#include "shell/engine_popup.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

namespace {

const SearchBox& home_search_box() {
  static const SearchBox box{
      .query = "编辑框2",
      .engine_picture = "搜索引擎",
      .logos = SmallEngineLogos,
      .show_results = [] { ShowBrowserWindow(); },
      .open_results = OpenInBrowserWindow,
      .before_search = CollapseSearchPopups,
      .hint_label = "透明标签2",
      .empty_hint = kSearchHint,
      .search_done_hint = kHomeSearchDoneHint,
      .picking = &SuggestionPicking,
      .hint_parked_left = -588,
      .frame = "关键",
      .list = "列表框2",
      .full_frame_height = 100,
      .full_list_height = 90,
  };
  return box;
}

void open_engine_popup(Form& w) {
  w["引擎"].move(203, 113);
  w["图形按钮6"].set_visible(false);
}

// The pause lets the pressed choice be seen before the popup folds.
void choose_engine(Form& w, Engine engine) {
  w["搜索引擎"].set_picture(Bytes(SmallEngineLogos().of(engine)));
  app().sleep_ms(200);
  CollapseSearchPopups(w);
}

void collapse_engine_popup(Form& w) {
  app().sleep_ms(200);
  CollapseSearchPopups(w);
}

void on_图形按钮6_clicked(EventArgs& e) { open_engine_popup(e.form); }

// The logo opens the popup as the drop-down arrow does.
void on_搜索引擎_left_pressed(EventArgs& e) { open_engine_popup(e.form); }

void on_搜索_clicked(EventArgs& e) { RunSearch(home_search_box(), e.form); }

void on_透明标签2_left_pressed(EventArgs& e) { OpenBoxUnderHint(e.form, "编辑框2", "透明标签2", kSearchHint); }

void on_编辑框2_left_pressed(EventArgs& e) { CollapseSearchPopups(e.form); }

void on_编辑框2_text_changed(EventArgs& e) { OnSearchTextChanged(home_search_box(), e.form); }

void on_编辑框2_key_pressed(EventArgs& e) { OnSearchKeyPressed(home_search_box(), e.form, e.key); }

void on_列表框2_item_selected(EventArgs& e) { OnSuggestionPicked(home_search_box(), e.form); }

}  // namespace

FormPart HomeSearchRowPart() {
  constexpr Pointer Hand = Pointer::Hand;
  constexpr Pointer IBeam = Pointer::IBeam;
  static const EnginePopupActions popup{choose_engine, collapse_engine_popup};
  FormPart part{
      "home search row",
      {
          {"透明标签2", Kind::TransparentLabel, 272, 90, 387, 26, "", IBeam, 0, " 透明标签"},
          {"关键", Kind::PictureBox, 275, 116, 423, 100},
          {"引擎", Kind::PictureBox, 203, 113, 50, 107},
          {"编辑框2", Kind::EditBox, 275, 90, 397, 26, "", Pointer::Arrow, kDisabled},
          {"图形按钮6", Kind::PictureButton, 244, 90, 24, 26, "", Hand},
          {"搜索引擎", Kind::PictureBox, 203, 90, 71, 26},
          {"搜索", Kind::PictureButton, 672, 90, 26, 26, "", Hand},
          {"图形按钮5", Kind::PictureButton, 200, 87, 500, 32, "", Pointer::Arrow, kDisabled},
          // The suggestion list in its frame.
          {"列表框2", Kind::ListBox, 2, 3, 418, 90, "关键", Pointer::Arrow, kHidden},
      },
      {
          {"透明标签2", {}, {}, {}, HintStyle()},
          {"图形按钮6", art_mw::engine_drop_normal, art_mw::engine_drop_hover},
          {"搜索", art_mw::search_normal, art_mw::search_hover},
          {"图形按钮5", art_mw::search_frame},
      },
      {
          {"图形按钮6", Event::Clicked, on_图形按钮6_clicked},
          {"搜索引擎", Event::LeftPressed, on_搜索引擎_left_pressed},
          {"搜索", Event::Clicked, on_搜索_clicked},
          {"透明标签2", Event::LeftPressed, on_透明标签2_left_pressed},
          {"编辑框2", Event::LeftPressed, on_编辑框2_left_pressed},
          {"编辑框2", Event::TextChanged, on_编辑框2_text_changed},
          {"编辑框2", Event::KeyPressed, on_编辑框2_key_pressed},
          {"列表框2", Event::ItemSelected, on_列表框2_item_selected},
      },
  };
  part.add(EnginePopupPart(popup));
  return part;
}

}  // namespace velk
