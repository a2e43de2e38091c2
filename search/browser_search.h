#pragma once
// The browser window's search row: its own engine (Baidu when the window is
// created), the engine popup and the search button. Its box has no
// suggestions and no keys. Bound in the browser window's table.
#include "search/engines.h"

namespace velk {

const SearchBox& BrowserSearchBox();

namespace browser_search {

void on_created(tk::EventArgs& e);
void on_百度_clicked(tk::EventArgs& e);
void on_搜狗_clicked(tk::EventArgs& e);
void on_淘宝_clicked(tk::EventArgs& e);
void on_收回_clicked(tk::EventArgs& e);
void on_搜索_clicked(tk::EventArgs& e);

}  // namespace browser_search
}  // namespace velk
