#include "shell/carousel.h"

#include "art/main_window.h"
#include "shell/main_window.h"

namespace velk {

using namespace tk;
namespace art_mw = art::main_window;

namespace {

bool stands_at(Control& c, int left, int top) { return c.left() == left && c.top() == top; }

void on_右箭头_clicked(EventArgs& e) {
  Form& w = e.form;
  CollapseSearchPopups(w);
  if (stands_at(w["风云时讯"], 140, 215)) {
    w["风云时讯"].set_left(-620);
    w["网购精选"].move(140, 215);
    w["右箭头"].set_visible(false);
  }
  if (stands_at(w["外形框1"], 200, 225)) {
    w["外形框1"].set_left(-500);
    w["风云时讯"].move(140, 215);
    w["左箭头"].set_visible(true);
  }
}

void on_左箭头_clicked(EventArgs& e) {
  Form& w = e.form;
  CollapseSearchPopups(w);
  if (stands_at(w["风云时讯"], 140, 215)) {
    w["风云时讯"].set_left(-620);
    w["外形框1"].move(200, 225);
    w["左箭头"].set_visible(false);
    w["右箭头"].set_visible(true);
  }
  if (stands_at(w["网购精选"], 140, 215)) {
    w["网购精选"].set_left(-800);
    w["风云时讯"].move(140, 215);
    w["左箭头"].set_visible(true);
    w["右箭头"].set_visible(true);
  }
}

}  // namespace

FormPart CarouselPart() {
  constexpr Pointer Hand = Pointer::Hand;
  return {
      "carousel",
      {
          // The two panels, parked off-screen as designed.
          {"网购精选", Kind::ShapeBox, -800, 215, 620, 345},
          {"风云时讯", Kind::ShapeBox, -800, 215, 620, 340},
          {"右箭头", Kind::PictureButton, 859, 333, 40, 75, "", Hand},
          {"左箭头", Kind::PictureButton, 1, 333, 40, 75, "", Hand},
      },
      {
          {"右箭头", art_mw::arrow_right_normal, art_mw::arrow_right_hover},
          {"左箭头", art_mw::arrow_left_normal, art_mw::arrow_left_hover},
      },
      {
          {"右箭头", Event::Clicked, on_右箭头_clicked},
          {"左箭头", Event::Clicked, on_左箭头_clicked},
      },
  };
}

}  // namespace velk
