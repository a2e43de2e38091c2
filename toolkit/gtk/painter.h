#pragma once
// Draws the control model with cairo. Every drawn control has a GDK window of
// its own, so to look see-through it paints, within its own area, everything
// of the model that lies beneath it (parents, lower siblings and their
// children) before its own content: a transparent label over a skin shows the
// skin, a button's transparent corners show what is under them.
#include <cairo.h>

#include <map>
#include <memory>
#include <utility>

#include "toolkit/control.h"

namespace velk::tk {

class PictureCache {
 public:
  ~PictureCache();
  enum Slot { kPicture, kBackground, kHover, kPressed, kDisabled, kSlotCount };
  // The decoded picture for a control's slot (nullptr when it does not
  // decode), optionally pre-scaled to `scaled` size.
  cairo_surface_t* get(const Control& c, Slot slot, const Bytes& bytes, Size scaled = {});
  void forget(const Control& c);

 private:
  struct Entry {
    cairo_surface_t* original = nullptr;
    cairo_surface_t* scaled = nullptr;
    Size scaled_size;
    bool decoded = false;
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
