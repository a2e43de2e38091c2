#include "shell/address_bar.h"

#include "shell/browser_window.h"
#include "shell/main_window.h"

namespace velk {

using namespace tk;

void GoToTypedAddress() {
  CollapseSearchPopups();
  Form& w = MainWindow();
  // The text goes to the web view as typed: no scheme added, nothing trimmed.
  const Text text = w["编辑框1"].text();
  if (!text.empty() && text != kAddressHint) OpenInBrowserWindow(text);
  // Seen only while the box is empty: otherwise the hint is parked.
  w["透明标签3"].set_caption(kAddressRetryHint);
}

void on_编辑框1_left_pressed(EventArgs&) { CollapseSearchPopups(); }

void on_编辑框1_text_changed(EventArgs& e) {
  CollapseSearchPopups();
  Form& w = e.form;
  if (w["编辑框1"].text().empty()) {
    w["透明标签3"].set_left(w["编辑框1"].left() + 5);
    w["透明标签3"].set_caption(kAddressHint);
  } else {
    w["透明标签3"].set_left(-588);
  }
}

void on_编辑框1_key_pressed(EventArgs& e) {
  if (e.key == key::kEnter) GoToTypedAddress();  // the key still reaches the box
}

void on_回车_clicked(EventArgs&) { GoToTypedAddress(); }

}  // namespace velk
