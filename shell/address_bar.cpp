#include "shell/address_bar.h"

#include "art/main_window.h"
#include "shell/browser_window.h"
#include "shell/main_window.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

namespace {

// Opens the typed address unless the box is empty or holds the hint itself.
void go_to_typed_address(Form& w) {
  CollapseSearchPopups(w);
  // The text goes to the web view as typed: no scheme added, nothing trimmed.
  const Text text = w["编辑框1"].text();
  if (!text.empty() && text != kAddressHint) OpenInBrowserWindow(text);
  // Seen only while the box is empty: otherwise the hint is parked.
  w["透明标签3"].set_caption(kAddressRetryHint);
}

void on_透明标签3_left_pressed(EventArgs& e) { OpenBoxUnderHint(e.form, "编辑框1", "透明标签3", kAddressHint); }

void on_编辑框1_left_pressed(EventArgs& e) { CollapseSearchPopups(e.form); }

void on_编辑框1_text_changed(EventArgs& e) {
  Form& w = e.form;
  CollapseSearchPopups(w);
  if (w["编辑框1"].text().empty()) {
    w["透明标签3"].set_left(w["编辑框1"].left() + 5);
    w["透明标签3"].set_caption(kAddressHint);
  } else {
    w["透明标签3"].set_left(-588);
  }
}

void on_编辑框1_key_pressed(EventArgs& e) {
  if (e.key == key::kEnter) go_to_typed_address(e.form);  // the key still reaches the box
}

void on_回车_clicked(EventArgs& e) { go_to_typed_address(e.form); }

}  // namespace

FormPart AddressBarPart() {
  return {
      "address bar",
      {
          {"透明标签3", Kind::TransparentLabel, 100, 8, 468, 26, "", Pointer::IBeam, 0, " 透明标签"},
          // In the title strip.
          {"回车", Kind::PictureButton, 563, 7, 30, 26, "图片框1", Pointer::Hand},
          {"编辑框1", Kind::EditBox, 99, 7, 468, 26, "图片框1", Pointer::Arrow, kDisabled},
          {"图形按钮2", Kind::PictureButton, 96, 4, 500, 32, "图片框1"},
      },
      {
          {"透明标签3", {}, {}, {}, HintStyle()},
          {"回车", art_mw::go_normal, art_mw::go_hover},
          {"图形按钮2", art_mw::address_frame},
      },
      {
          {"透明标签3", Event::LeftPressed, on_透明标签3_left_pressed},
          {"编辑框1", Event::LeftPressed, on_编辑框1_left_pressed},
          {"编辑框1", Event::TextChanged, on_编辑框1_text_changed},
          {"编辑框1", Event::KeyPressed, on_编辑框1_key_pressed},
          {"回车", Event::Clicked, on_回车_clicked},
      },
  };
}

}  // namespace velk
