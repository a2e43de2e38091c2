#pragma once
// One control of a window, with the properties the handlers read and write.
//
// The model holds exactly what was written: a 0x0 control at (0, 0) stays so,
// negative places stay negative and `picture` reads back the very bytes that
// were set. Backends draw from these values and never keep state of their own
// that handlers read. A setter that does not change the value does nothing,
// except where writing has an effect of its own (timer period, web address).
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/gui_thread.h"
#include "toolkit/types.h"

namespace velk::tk {

// What changed, so that a backend redraws only what it must.
enum class Prop {
  Geometry,
  Visible,
  Disabled,
  Caption,
  Picture,
  BackgroundPicture,
  ButtonPictures,
  Items,
  Selection,
  LinkAddress,
  ZOrder,
  Look,        // pointed-at or pressed state of a picture button
  TabPage,
  Tooltip,
  WindowState, // minimised, restored, shape
};

// How a caption is drawn (labels, hyperlinks, picture buttons).
struct TextStyle {
  uint32_t color = 0x000000;  // 0xRRGGBB
  int font_px = 12;
  bool bold = false;
  enum class Align { Left, Center, Right } align = Align::Left;
  bool vcenter = true;
};

class Control {
 public:
  Control(Form& form, std::string name, Kind kind);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Identity and tree.
  const std::string& name() const { return name_; }
  Kind kind() const { return kind_; }
  Form& form() const { return form_; }
  Control* parent() const { guard(); return parent_; }
  // Children from the bottom of the z-order to the top.
  const std::vector<Control*>& children() const { guard(); return children_; }
  bool is_window() const { return kind_ == Kind::Window; }

  // Geometry, relative to the parent's client area (a window's to the screen).
  int left() const { guard(); return rect_.left; }
  int top() const { guard(); return rect_.top; }
  int width() const { guard(); return rect_.width; }
  int height() const { guard(); return rect_.height; }
  Rect rect() const { guard(); return rect_; }
  void set_left(int v) { move(v, std::nullopt, std::nullopt, std::nullopt); }
  void set_top(int v) { move(std::nullopt, v, std::nullopt, std::nullopt); }
  void set_width(int v);
  void set_height(int v);
  // A given value is applied; an omitted one, and a width or height of -1,
  // keeps the current value. Moving to (0, 0, 0, 0) hides by size.
  void move(std::optional<int> left, std::optional<int> top = std::nullopt,
            std::optional<int> width = std::nullopt, std::optional<int> height = std::nullopt);
  // Raise to the top of the z-order among its siblings.
  void raise_to_top();

  bool visible() const { guard(); return visible_; }
  void set_visible(bool v);
  bool disabled() const { guard(); return disabled_; }
  void set_disabled(bool v);
  // Visible itself and along its parents, and on the current page of a tab
  // control: whether anything of it can be seen or hit.
  bool shown() const;

  Pointer pointer() const { guard(); return pointer_; }
  void set_pointer(Pointer p) { guard(); pointer_ = p; }

  // `caption` and `text` are the same property.
  const Text& caption() const { guard(); return caption_; }
  const Text& text() const { guard(); return caption_; }
  void set_caption(const Text& v);
  void set_text(const Text& v) { set_caption(v); }
  TextStyle& style() { guard(); return style_; }
  const TextStyle& style() const { guard(); return style_; }
  bool multiline() const { guard(); return multiline_; }
  void set_multiline(bool v) { guard(); multiline_ = v; }

  // Raw picture bytes (GIF, JPEG or BMP), read back exactly as written.
  const Bytes& picture() const { guard(); return picture_; }
  void set_picture(const Bytes& v);
  const Bytes& background_picture() const { guard(); return background_picture_; }
  void set_background_picture(const Bytes& v);
  // Picture buttons: `picture` is the normal look; these are the others.
  const Bytes& hover_picture() const { guard(); return hover_picture_; }
  const Bytes& pressed_picture() const { guard(); return pressed_picture_; }
  const Bytes& disabled_picture() const { guard(); return disabled_picture_; }
  void set_button_pictures(const Bytes& normal, const Bytes& hover, const Bytes& pressed,
                           const Bytes& disabled);
  // The picture a picture button shows now, from its state.
  const Bytes& current_button_picture() const;

  // Timers: fires every `timer_period` ms; 0 stops; writing restarts the count.
  int timer_period() const { guard(); return timer_period_; }
  void set_timer_period(int ms);

  // List boxes.
  void add_item(const Text& item);
  // All items at once, in one update; nothing is selected.
  void set_items(std::vector<Text> items);
  void clear_items();
  int item_count() const { guard(); return static_cast<int>(items_.size()); }
  Text item_text(int index) const;  // empty for no item
  const std::vector<Text>& items() const { guard(); return items_; }
  int selection() const { guard(); return selection_; }
  // Past the last item selects the last; -1 or less selects nothing.
  void select(int index);

  // Hyperlink boxes.
  const Text& link_address() const { guard(); return link_address_; }
  void set_link_address(const Text& v);

  // Tab controls: which page shows; children carry the page they belong to.
  int current_page() const { guard(); return current_page_; }
  void set_current_page(int page);
  int page() const { guard(); return page_; }
  void set_page(int page) { guard(); page_ = page; }

  // Balloon tips: registers `text` as the tooltip of `target`.
  void register_tip(Control& target, const Text& text);
  const Text& tooltip() const { guard(); return tooltip_; }

  // Web views: writing `address` navigates; `status text` and `title` are
  // the engine's and read only for handlers.
  const Text& address() const { guard(); return address_; }
  void set_address(const Text& url);
  const Text& status_text() const { guard(); return status_text_; }
  const Text& title() const { guard(); return title_; }
  void go_back();
  void go_forward();

  // Windows: `position` 2 minimises, 3 maximises, 0 and 1 restore.
  int position() const { guard(); return position_; }
  void set_position(int v);

  // Keyboard focus.
  void set_focus();
  bool has_focus() const;

  // Place of this control's origin in its window's client area.
  Point origin_in_window() const;
  // The form-relative rectangle (window client coordinates).
  Rect rect_in_window() const;

  // Pointed-at and pressed states, kept by the input handling.
  bool hovered() const { guard(); return hovered_; }
  bool pressed() const { guard(); return pressed_; }

  // ---- used by the toolkit and its backends only ----
  void attach_child(Control& child);  // on top of the existing children
  // Values reported by the backend (the user moved the window, the engine
  // changed its status text); they do not echo back to the backend.
  void backend_set_rect(Rect r) { guard(); rect_ = r; }
  void backend_set_text(const Text& v);  // the user typed: raises TextChanged
  void backend_set_status_text(const Text& v) { guard(); status_text_ = v; }
  void backend_set_title(const Text& v) { guard(); title_ = v; }
  void backend_set_address(const Text& v) { guard(); address_ = v; }
  void set_look(bool hovered, bool pressed);
  // Timer bookkeeping of the event loop.
  int64_t timer_due_ms = 0;
  bool timer_firing = false;

 private:
  void changed(Prop what);
  // Every accessor but the identity ones starts here.
  void guard() const {
    if (!on_gui_thread()) fail_off_gui_thread(name_);
  }

  Form& form_;
  std::string name_;
  Kind kind_;
  Control* parent_ = nullptr;
  std::vector<Control*> children_;

  Rect rect_;
  bool visible_ = true;
  bool disabled_ = false;
  bool multiline_ = false;
  bool hovered_ = false;
  bool pressed_ = false;
  Pointer pointer_ = Pointer::Arrow;
  Text caption_;
  TextStyle style_;
  Bytes picture_, background_picture_;
  Bytes hover_picture_, pressed_picture_, disabled_picture_;
  int timer_period_ = 0;
  std::vector<Text> items_;
  int selection_ = -1;
  Text link_address_;
  int current_page_ = 0;
  int page_ = -1;
  Text tooltip_;
  Text address_, status_text_, title_;
  int position_ = 0;
};

}  // namespace velk::tk
