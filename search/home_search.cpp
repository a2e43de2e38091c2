#include "search/home_search.h"

#include "search/suggestions.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"

namespace velk {

using namespace tk;

const SearchBox& HomeSearchBox() {
  static const SearchBox box{
      .window = MainWindowDef,
      .query = "编辑框2",
      .engine_picture = "搜索引擎",
      .logos = SmallEngineLogos,
      .before_search = CollapseSearchPopups,
      .hint_label = "透明标签2",
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

namespace home_search {

namespace {

void open_engine_popup(Form& w) {
  w["引擎"].move(203, 113);
  w["图形按钮6"].set_visible(false);
}

// The pause lets the pressed choice be seen before the popup folds.
void choose(Form& w, Engine engine) {
  w["搜索引擎"].set_picture(Bytes(SmallEngineLogos().of(engine)));
  app().sleep_ms(200);
  CollapseSearchPopups();
}

}  // namespace

void on_图形按钮6_clicked(EventArgs& e) { open_engine_popup(e.form); }

// The logo opens the popup as the drop-down arrow does.
void on_搜索引擎_left_pressed(EventArgs& e) { open_engine_popup(e.form); }

void on_百度_clicked(EventArgs& e) { choose(e.form, Engine::Baidu); }
void on_搜狗_clicked(EventArgs& e) { choose(e.form, Engine::Sogou); }
void on_淘宝_clicked(EventArgs& e) { choose(e.form, Engine::Taobao); }

void on_收回_clicked(EventArgs&) {
  app().sleep_ms(200);
  CollapseSearchPopups();
}

void on_搜索_clicked(EventArgs&) { RunSearch(HomeSearchBox()); }

void on_编辑框2_left_pressed(EventArgs&) { CollapseSearchPopups(); }

void on_编辑框2_text_changed(EventArgs&) { OnSearchTextChanged(HomeSearchBox()); }

void on_编辑框2_key_pressed(EventArgs& e) { OnSearchKeyPressed(HomeSearchBox(), e.key); }

void on_列表框2_item_selected(EventArgs&) { OnSuggestionPicked(HomeSearchBox()); }

}  // namespace home_search
}  // namespace velk
