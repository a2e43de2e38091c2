#pragma once
// The engine popup `引擎` is the same in every window that has a search box:
// a 50x107 picture box holding the three engine choices and the collapse
// button at fixed places. Each window's table places the popup itself; this
// adds what lies inside it.
#include "toolkit/form.h"

namespace velk {

// Appends the four buttons inside `引擎` to the window's rows, and their
// pictures and the popup's own to its designed looks.
void AddEnginePopupContents(tk::FormDef& def);

}  // namespace velk
