#pragma once
// The browser window: spreads over the screen width and the work area's
// height, with a 50-pixel strip skinned like the home window, back and
// forward, its own address box and a search row; the page fills the rest.
// There is one at a time.
#include <functional>

#include "toolkit/app.h"

namespace velk {

const tk::FormDef& BrowserWindowDef();

// Shows the browser window, creating it on first use, without loading a page.
tk::Form& ShowBrowserWindow();

// The one way to open a page: shows the browser window (creating it on
// first use) and navigates its web view to `url`, unchanged.
void OpenInBrowserWindow(const Text& url);

// The primary screen's height minus the bottom of the desktop work area: the
// height of a taskbar at the bottom, 0 when there is none there.
int TaskbarHeight();

// What the close button shows when the home window is hidden (floating search
// bar mode). Until the floating bar exists, it brings the home window back,
// so closing the browser never leaves the program without a window.
void SetSearchBarOpener(std::function<void()> open);

}  // namespace velk
