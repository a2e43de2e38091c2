#include "shell/tiles.h"

#include <string>

#include "art/main_window.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "shell/browser_window.h"
#include "shell/shared_state.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

namespace {

// The highlight covers the bottom of the tile: row tops 54, 135 and 216.
constexpr int kRowHighlightTop[3] = {54, 135, 216};
bool last_read_was_empty = false;
// The version of the tiles file the tiles hold now: an unchanged file is not
// read again.
std::optional<FileStamp> taken_stamp;

// The tile of a control named "标签N", or 0.
int tile_number(const Control& tile) {
  const std::string prefix = "标签";
  const std::string& name = tile.name();
  if (name.compare(0, prefix.size(), prefix) != 0) return 0;
  int n = std::atoi(name.c_str() + prefix.size());
  return n >= 1 && n <= 12 ? n : 0;
}

// Where the highlight bar stands over tile N (1..12).
Point highlight_place(Form& w, int n) {
  Control& tile = w["标签" + std::to_string(n)];
  return {tile.left(), kRowHighlightTop[(n - 1) / 4]};
}

// Titles and addresses of all twelve tiles, with one parse.
void read_tiles(const Bytes& content) {
  const IniSnapshot tiles(content);
  for (int n = 1; n <= 12; ++n) {
    const Text section = "标签" + std::to_string(n);
    TileTitle[n] = tiles.value(section, "标题");
    TileAddress[n] = tiles.value(section, "地址");
  }
}

// The reload: reads titles and addresses of all twelve tiles with one parse
// of the tiles file, when the file is another than the one read last. A file
// caught while another program rewrites it in place is left for the next
// reload, and so is a file that turned empty since the last reload until it
// is seen empty twice (a rewrite truncates it first). A file far larger than
// any tiles file leaves the tiles as they are.
void reload_tiles() {
  const Text path = run_directory() + "\\velkZui.t";
  const std::optional<FileStamp> stamp = file_stamp(path);
  if (stamp && stamp == taken_stamp) return;
  if (stamp && static_cast<std::size_t>(stamp->size) > kMaxSettingsFileBytes) {
    taken_stamp = stamp;  // refused; looked at again once it changes
    return;
  }
  std::optional<Bytes> content = read_file_settled(path, kMaxSettingsFileBytes);
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
  read_tiles(*content);
  taken_stamp = stamp;
}

void on_tile_mouse_moved(EventArgs& e) {
  const int n = tile_number(e.control);
  Form& w = e.form;
  w["透明标签1"].set_caption(TileTitle[n]);
  const Point at = highlight_place(w, n);
  w["外形框2"].move(at.x, at.y, 120, 20);
}

void on_tile_left_pressed(EventArgs& e) { OpenInBrowserWindow(TileAddress[tile_number(e.control)]); }

void on_外形框1_mouse_moved(EventArgs& e) { e.form["外形框2"].move(0, 0, 0, 0); }

// The site picker comes with its window.
void on_图片框3_left_pressed(EventArgs&) {}

void on_时钟1_fired(EventArgs& e) {
  e.control.set_timer_period(0);  // stopped while it works
  reload_tiles();
  e.control.set_timer_period(1000);
}

// The hovered tile's title on the dark highlight bar.
TextStyle tile_title_style() {
  TextStyle s;
  s.color = 0xFFFFFF;
  s.font_px = 12;
  return s;
}

}  // namespace

void ReadTilesFile() {
  const Text path = run_directory() + "\\velkZui.t";
  taken_stamp = file_stamp(path);
  last_read_was_empty = false;
  read_tiles(read_file(path, kMaxSettingsFileBytes));
}

FormPart TilesPart() {
  constexpr Pointer Hand = Pointer::Hand;
  FormPart part{
      "tiles",
      {
          {"外形框1", Kind::ShapeBox, 200, 225, 500, 320},
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
          TimerRow("时钟1", 1000),
      },
      {
          {"外形框2", {}, {}, art_mw::tile_bar},
          {"图片框3", art_mw::tile_pick},
          {"透明标签1", {}, {}, {}, tile_title_style()},
      },
      {
          {"外形框1", Event::MouseMoved, on_外形框1_mouse_moved},
          {"图片框3", Event::LeftPressed, on_图片框3_left_pressed},
          {"时钟1", Event::TimerFired, on_时钟1_fired},
      },
  };
  for (int n = 1; n <= 12; ++n) {
    const std::string tile = "标签" + std::to_string(n);
    part.bindings.push_back({tile, Event::MouseMoved, on_tile_mouse_moved});
    part.bindings.push_back({tile, Event::LeftPressed, on_tile_left_pressed});
  }
  return part;
}

}  // namespace velk
