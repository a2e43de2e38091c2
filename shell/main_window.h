#pragma once
// The home window: a fixed 900x600 skinned window with its chrome, menu and
// placeholder hints. Its created event runs the start-up sequence. The rest
// of it comes in parts, each in a file of its own: the address bar, the
// search row with its engine popup, the tiles and the panel carousel.
#include "toolkit/app.h"

namespace velk {

const tk::FormDef& MainWindowDef();
// The open home window (it lives until the program ends).
tk::Form& MainWindow();

// Shows the engine drop-down button, parks the engine popup and hides the
// suggestion list: most handlers of the home window start with it.
void CollapseSearchPopups(tk::Form& home);

// The hint texts over the two edit boxes.
inline constexpr const char* kAddressHint = "嗨！请输入网址";
inline constexpr const char* kSearchHint = "你想找什么？";

// The placeholder hint over an empty box: at the box's left + 5 with `text`.
void RestoreHintIfEmpty(tk::Form& home, const char* box, const char* hint, const char* text);
// The first press on a box lands on its hint, since both boxes are disabled
// as designed: it enables the box and gives it the focus.
void OpenBoxUnderHint(tk::Form& home, const char* box, const char* hint, const char* text);
// How both hints are drawn.
tk::TextStyle HintStyle();

}  // namespace velk
