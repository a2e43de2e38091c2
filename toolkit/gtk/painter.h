#pragma once
// Draws the control model with cairo. Every drawn control has a GDK window of
// its own, so to look see-through it paints, within its own area, everything
// of the model that lies beneath it (parents, lower siblings and their
// children) before its own content: a transparent label over a skin shows the
// skin, a button's transparent corners show what is under them.
#include <cairo.h>

#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "toolkit/control.h"

namespace velk::tk {

class PictureCache {
 public:
  ~PictureCache();
  enum Slot { kPicture, kBackground, kHover, kPressed, kDisabled, kSlotCount };
  // A picture ready to draw and where it goes in its control.
  struct Placed {
    cairo_surface_t* surface = nullptr;
    Rect place;
  };
  // The picture of a control's slot as drawn: at its own size from the top
  // left, or, as the background of a `box`-sized control, placed by the
  // background rule (a larger picture scaled to cover the box). Only
  // the drawn form is kept: a JPEG is decoded at the smallest scale that
  // still covers the box, scaled once, and its full-size pixels let go.
  // Empty when the bytes do not decode.
  // `screen`: the surface being painted. A picture drawn onto the screen is
  // kept there (on the display server) from its first paint on, so that
  // every later paint is a copy on the server rather than an upload.
  // `box`: the control's size. A picture drawn at its own size is decoded
  // only as far as the box shows it.
  Placed get(const Control& c, Slot slot, const Bytes& bytes, Size box, bool as_background,
             cairo_surface_t* screen = nullptr);
  void forget(const Control& c);

 private:
  struct Entry {
    Placed placed;
    Size box;  // the box it was made for
    bool as_background = false;
  };
  std::map<std::pair<const Control*, int>, Entry> entries_;
};

class Painter {
 public:
  explicit Painter(PictureCache& cache) : cache_(cache) {}
  // `cr` is in the control's own coordinates (a GTK draw handler's).
  void paint_control_area(cairo_t* cr, const Control& c);
  // The whole window as the model has it (tests, shapes).
  void paint_window(cairo_t* cr, const Control& window);

 private:
  void paint_subtree(cairo_t* cr, const Control& c);
  void paint_own(cairo_t* cr, const Control& c);
  void paint_picture(cairo_t* cr, const Control& c, PictureCache::Slot slot, const Bytes& bytes,
                     bool as_background);
  void paint_caption(cairo_t* cr, const Control& c, uint32_t color, bool underline);

  PictureCache& cache_;
};

}  // namespace velk::tk
