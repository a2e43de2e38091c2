#pragma once
// The browser window's search row: its own engine (Baidu when the window is
// created), the engine popup and the search button. Its box has no
// suggestions and no keys.
#include "toolkit/form.h"

namespace velk {

tk::FormPart BrowserSearchRowPart();

}  // namespace velk
