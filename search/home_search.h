#pragma once
// The home window's search row: the engine popup, the search button, the
// search box with its hint, keys and suggestion list. Bound in the home
// window's table.
#include "search/engines.h"

namespace velk {

// The home window's search box, for its search and its suggestions.
const SearchBox& HomeSearchBox();

namespace home_search {

void on_图形按钮6_clicked(tk::EventArgs& e);
void on_搜索引擎_left_pressed(tk::EventArgs& e);
void on_百度_clicked(tk::EventArgs& e);
void on_搜狗_clicked(tk::EventArgs& e);
void on_淘宝_clicked(tk::EventArgs& e);
void on_收回_clicked(tk::EventArgs& e);
void on_搜索_clicked(tk::EventArgs& e);
void on_编辑框2_left_pressed(tk::EventArgs& e);
void on_编辑框2_text_changed(tk::EventArgs& e);
void on_编辑框2_key_pressed(tk::EventArgs& e);
void on_列表框2_item_selected(tk::EventArgs& e);

}  // namespace home_search
}  // namespace velk
