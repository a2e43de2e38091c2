#include "toolkit/gtk/painter.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/codepage.h"
#include "toolkit/picture.h"

namespace velk::tk {

namespace {

void set_rgb(cairo_t* cr, uint32_t rgb) {
  cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0);
}

void fill_rect(cairo_t* cr, const Rect& r, uint32_t rgb) {
  set_rgb(cr, rgb);
  cairo_rectangle(cr, r.left, r.top, r.width, r.height);
  cairo_fill(cr);
}

bool is_drawn(const Control& c) {
  return c.kind() != Kind::Timer && c.kind() != Kind::BalloonTip;
}

cairo_surface_t* surface_from(const Image& img) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.width, img.height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < img.height; ++y)
    std::memcpy(data + static_cast<size_t>(y) * stride, &img.pixels[static_cast<size_t>(y) * img.width],
                static_cast<size_t>(img.width) * 4);
  cairo_surface_mark_dirty(s);
  return s;
}

}  // namespace

// ---------------------------------------------------------------- cache

PictureCache::~PictureCache() {
  for (auto& [key, e] : entries_)
    if (e.placed.surface) cairo_surface_destroy(e.placed.surface);
}

void PictureCache::forget(const Control& c) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->first.first == &c) {
      if (it->second.placed.surface) cairo_surface_destroy(it->second.placed.surface);
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
}

namespace {

// The same pixels on the surface's kind of the screen surface.
cairo_surface_t* moved_to(cairo_surface_t* image, cairo_surface_t* screen) {
  const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
  cairo_surface_t* moved = cairo_surface_create_similar(screen, CAIRO_CONTENT_COLOR_ALPHA, w, h);
  if (cairo_surface_status(moved) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(moved);
    return image;
  }
  cairo_t* cr = cairo_create(moved);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_destroy(image);
  return moved;
}

}  // namespace

PictureCache::Placed PictureCache::get(const Control& c, Slot slot, const Bytes& bytes, Size box,
                                       bool as_background, cairo_surface_t* screen) {
  if (bytes.empty() || box.width <= 0 || box.height <= 0) return {};
  auto [it, made] = entries_.try_emplace({&c, slot});
  Entry& e = it->second;
  if (!made && e.box == box && e.as_background == as_background) return e.placed;
  if (e.placed.surface) cairo_surface_destroy(e.placed.surface);
  e = Entry{{}, box, as_background};
  // A background larger than its box is decoded no larger than it must be;
  // a picture at its own size no further than the box shows it.
  auto img = as_background ? decode_picture(bytes, box) : decode_picture(bytes, {}, box);
  if (!img) return {};
  cairo_surface_t* decoded = surface_from(*img);
  const Size natural{img->width, img->height};
  img.reset();
  const Rect place = as_background ? background_placement(natural, box) : Rect{0, 0, natural.width, natural.height};
  if (place.width <= 0 || place.height <= 0) {
    cairo_surface_destroy(decoded);
    return {};
  }
  e.placed.place = place;
  if (place.width == natural.width && place.height == natural.height) {
    e.placed.surface = decoded;
  } else {
    e.placed.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, place.width, place.height);
    cairo_t* cr = cairo_create(e.placed.surface);
    cairo_scale(cr, static_cast<double>(place.width) / natural.width,
                static_cast<double>(place.height) / natural.height);
    cairo_set_source_surface(cr, decoded, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(decoded);
  }
  if (screen && cairo_surface_get_type(screen) != CAIRO_SURFACE_TYPE_IMAGE)
    e.placed.surface = moved_to(e.placed.surface, screen);
  return e.placed;
}

// ---------------------------------------------------------------- painting

void Painter::paint_picture(cairo_t* cr, const Control& c, PictureCache::Slot slot,
                            const Bytes& bytes, bool as_background) {
  const PictureCache::Placed p =
      cache_.get(c, slot, bytes, {c.width(), c.height()}, as_background, cairo_get_target(cr));
  if (!p.surface) return;
  cairo_set_source_surface(cr, p.surface, p.place.left, p.place.top);
  cairo_paint(cr);
}

void Painter::paint_caption(cairo_t* cr, const Control& c, uint32_t color, bool underline) {
  if (c.caption().empty() || c.width() <= 0 || c.height() <= 0) return;
  const TextStyle& st = c.style();
  std::string utf8 = gbk_to_utf8(c.caption());
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* font = pango_font_description_from_string("Noto Sans CJK SC");
  pango_font_description_set_absolute_size(font, st.font_px * PANGO_SCALE);
  if (st.bold) pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  pango_layout_set_width(layout, c.width() * PANGO_SCALE);
  if (c.multiline()) {
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  } else {
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_NONE);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
  }
  pango_layout_set_alignment(layout, st.align == TextStyle::Align::Center  ? PANGO_ALIGN_CENTER
                                     : st.align == TextStyle::Align::Right ? PANGO_ALIGN_RIGHT
                                                                           : PANGO_ALIGN_LEFT);
  if (underline) {
    PangoAttrList* attrs = pango_attr_list_new();
    pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_layout_set_attributes(layout, attrs);
    pango_attr_list_unref(attrs);
  }
  int text_w, text_h;
  pango_layout_get_pixel_size(layout, &text_w, &text_h);
  double y = st.vcenter ? (c.height() - text_h) / 2.0 : 0;
  cairo_save(cr);
  cairo_rectangle(cr, 0, 0, c.width(), c.height());
  cairo_clip(cr);
  set_rgb(cr, color);
  cairo_move_to(cr, 0, y);
  pango_cairo_show_layout(cr, layout);
  cairo_restore(cr);
  g_object_unref(layout);
}

// The control's own content, at its origin (cr already translated there).
void Painter::paint_own(cairo_t* cr, const Control& c) {
  const Rect own{0, 0, c.width(), c.height()};
  switch (c.kind()) {
    case Kind::Window:
      fill_rect(cr, own, 0xF0F0F0);
      paint_picture(cr, c, PictureCache::kBackground, c.background_picture(), true);
      break;
    case Kind::PictureBox:
    case Kind::ShapeBox:
      paint_picture(cr, c, PictureCache::kBackground, c.background_picture(), true);
      paint_picture(cr, c, PictureCache::kPicture, c.picture(), false);
      break;
    case Kind::Label:
      paint_picture(cr, c, PictureCache::kBackground, c.background_picture(), true);
      paint_caption(cr, c, c.style().color, false);
      break;
    case Kind::TransparentLabel:
      paint_caption(cr, c, c.style().color, false);
      break;
    case Kind::HyperlinkBox:
      paint_caption(cr, c, c.style().color, true);
      break;
    case Kind::PictureButton: {
      PictureCache::Slot slot = PictureCache::kPicture;
      const Bytes& now = c.current_button_picture();
      if (&now == &c.hover_picture()) slot = PictureCache::kHover;
      if (&now == &c.pressed_picture()) slot = PictureCache::kPressed;
      if (&now == &c.disabled_picture()) slot = PictureCache::kDisabled;
      paint_picture(cr, c, slot, now, false);
      paint_caption(cr, c, c.disabled() ? 0x808080 : c.style().color, false);
      break;
    }
    case Kind::EditBox:
    case Kind::ListBox:
    case Kind::WebView:
      // The native widget draws itself; beneath a control above it, this
      // stands in for it.
      fill_rect(cr, own, 0xFFFFFF);
      break;
    case Kind::ListView:
      fill_rect(cr, own, 0xFFFFFF);
      set_rgb(cr, 0xA0A0A0);
      cairo_rectangle(cr, 0.5, 0.5, c.width() - 1, c.height() - 1);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      break;
    case Kind::TabControl:
      fill_rect(cr, own, 0xF7F7F7);
      break;
    case Kind::Timer:
    case Kind::BalloonTip:
      break;
  }
}

void Painter::paint_subtree(cairo_t* cr, const Control& c) {
  if (!is_drawn(c) || !c.shown() || c.width() <= 0 || c.height() <= 0) return;
  cairo_save(cr);
  cairo_translate(cr, c.left(), c.top());
  cairo_rectangle(cr, 0, 0, c.width(), c.height());
  cairo_clip(cr);
  paint_own(cr, c);
  for (const Control* child : c.children()) paint_subtree(cr, *child);
  cairo_restore(cr);
}

void Painter::paint_window(cairo_t* cr, const Control& window) {
  cairo_save(cr);
  paint_own(cr, window);
  for (const Control* child : window.children()) paint_subtree(cr, *child);
  cairo_restore(cr);
}

void Painter::paint_control_area(cairo_t* cr, const Control& c) {
  // The chain from the window down to the control.
  std::vector<const Control*> chain;
  for (const Control* p = &c; p; p = p->parent()) chain.push_back(p);
  std::reverse(chain.begin(), chain.end());

  cairo_save(cr);
  Point o = c.origin_in_window();
  cairo_translate(cr, -o.x, -o.y);  // window coordinates from here on
  cairo_rectangle(cr, o.x, o.y, c.width(), c.height());
  cairo_clip(cr);
  for (size_t i = 0; i < chain.size(); ++i) {
    const Control& node = *chain[i];
    if (i > 0) {
      cairo_translate(cr, node.left(), node.top());
      cairo_rectangle(cr, 0, 0, node.width(), node.height());
      cairo_clip(cr);
    }
    paint_own(cr, node);
    if (i + 1 == chain.size()) break;
    // Siblings beneath the next control of the chain show through it.
    for (const Control* child : node.children()) {
      if (child == chain[i + 1]) break;
      paint_subtree(cr, *child);
    }
  }
  cairo_restore(cr);
}

}  // namespace velk::tk
