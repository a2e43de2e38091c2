#include "shell/tiles.h"

#include <string>

#include "platform/files.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "shell/browser_window.h"
#include "shell/main_window.h"
#include "shell/shared_state.h"

namespace velk {

using namespace tk;

namespace {
// The highlight covers the bottom of the tile: row tops 54, 135 and 216.
constexpr int kRowHighlightTop[3] = {54, 135, 216};
bool last_read_was_empty = false;
}  // namespace

int TileNumber(const Control& tile) {
  const std::string prefix = "标签";
  const std::string& name = tile.name();
  if (name.compare(0, prefix.size(), prefix) != 0) return 0;
  int n = std::atoi(name.c_str() + prefix.size());
  return n >= 1 && n <= 12 ? n : 0;
}

Point TileHighlightPlace(int n) {
  Control& tile = MainWindow()["标签" + std::to_string(n)];
  return {tile.left(), kRowHighlightTop[(n - 1) / 4]};
}

void ReadTiles(const Bytes& content) {
  const IniSnapshot tiles(content);
  for (int n = 1; n <= 12; ++n) {
    const Text section = "标签" + std::to_string(n);
    TileTitle[n] = tiles.value(section, "标题");
    TileAddress[n] = tiles.value(section, "地址");
  }
}

void ReloadTiles() {
  std::optional<Bytes> content = read_file_settled(run_directory() + "\\velkZui.t");
  if (!content) return;  // being written: the next reload reads it
  if (content->empty() && !last_read_was_empty) {
    bool any = false;
    for (int n = 1; n <= 12; ++n) any = any || !TileTitle[n].empty() || !TileAddress[n].empty();
    if (any) {
      last_read_was_empty = true;
      return;  // emptied, or truncated by a rewrite: seen once more before it counts
    }
  }
  last_read_was_empty = content->empty();
  ReadTiles(*content);
}

void on_tile_mouse_moved(EventArgs& e) {
  const int n = TileNumber(e.control);
  Form& w = e.form;
  w["透明标签1"].set_caption(TileTitle[n]);
  const Point at = TileHighlightPlace(n);
  w["外形框2"].move(at.x, at.y, 120, 20);
}

void on_tile_left_pressed(EventArgs& e) { OpenInBrowserWindow(TileAddress[TileNumber(e.control)]); }

void on_外形框1_mouse_moved(EventArgs& e) { e.form["外形框2"].move(0, 0, 0, 0); }

// The site picker comes with its window.
void on_图片框3_left_pressed(EventArgs&) {}

void on_时钟1_fired(EventArgs& e) {
  e.control.set_timer_period(0);  // stopped while it works
  ReloadTiles();
  e.control.set_timer_period(1000);
}

}  // namespace velk
