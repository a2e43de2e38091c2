#pragma once
// The twelve navigation tiles of the home window: the hover highlight with the
// tile's title, the click that opens its address, and the reload of titles
// and addresses from the tiles file every second.
#include "toolkit/app.h"

namespace velk {

// The tile of a control named "标签N", or 0.
int TileNumber(const tk::Control& tile);

// Where the highlight bar stands over tile N (1..12).
tk::Point TileHighlightPlace(int n);

// Titles and addresses of all twelve tiles from the tiles file's content,
// with one parse (start-up).
void ReadTiles(const Bytes& content);

// The reload: reads titles and addresses of all twelve tiles with one parse
// of the tiles file. A file caught while another program rewrites it in place is left
// for the next reload, and so is a file that turned empty since the last
// reload until it is seen empty twice (a rewrite truncates it first).
void ReloadTiles();

// Handlers, bound in the home window's table.
void on_tile_mouse_moved(tk::EventArgs& e);    // 标签1 ... 标签12
void on_tile_left_pressed(tk::EventArgs& e);   // 标签1 ... 标签12
void on_外形框1_mouse_moved(tk::EventArgs& e);
void on_图片框3_left_pressed(tk::EventArgs& e);
void on_时钟1_fired(tk::EventArgs& e);

}  // namespace velk
