#include "search/browser_search.h"

#include "shell/browser_window.h"

namespace velk {

using namespace tk;

const SearchBox& BrowserSearchBox() {
  static const SearchBox box{
      .window = BrowserWindowDef,
      .query = "编辑框2",
      .engine_picture = "搜索引擎",
      .logos = SmallEngineLogos,
  };
  return box;
}

namespace browser_search {

namespace {

void collapse_engine_popup(Form& b) {
  b["引擎"].move(-100, -39);
  b["图形按钮6"].set_visible(true);
}

void choose(Form& b, Engine engine) {
  b["搜索引擎"].set_picture(Bytes(SmallEngineLogos().of(engine)));
  collapse_engine_popup(b);
}

}  // namespace

// Each new browser window starts on Baidu, so its search works before any
// choice.
void on_created(EventArgs& e) {
  e.form["搜索引擎"].set_picture(Bytes(SmallEngineLogos().of(Engine::Baidu)));
}

void on_百度_clicked(EventArgs& e) { choose(e.form, Engine::Baidu); }
void on_搜狗_clicked(EventArgs& e) { choose(e.form, Engine::Sogou); }
void on_淘宝_clicked(EventArgs& e) { choose(e.form, Engine::Taobao); }
void on_收回_clicked(EventArgs& e) { collapse_engine_popup(e.form); }

void on_搜索_clicked(EventArgs&) { RunSearch(BrowserSearchBox()); }

}  // namespace browser_search
}  // namespace velk
