#pragma once
// The home window: a fixed 900x600 skinned window with its chrome, menu,
// panel carousel and placeholder hints. Its created event runs the start-up
// sequence.
#include "toolkit/app.h"

namespace velk {

const tk::FormDef& MainWindowDef();
// The open home window (it lives until the program ends).
tk::Form& MainWindow();

// Shows the engine drop-down button, parks the engine popup and hides the
// suggestion list: most handlers of the home window start with it.
void CollapseSearchPopups();

// The hint texts over the two edit boxes.
inline constexpr const char* kAddressHint = "嗨！请输入网址";
inline constexpr const char* kSearchHint = "你想找什么？";

}  // namespace velk
