#include "toolkit/control.h"

#include <algorithm>
#include <stdexcept>

#include "toolkit/app.h"
#include "toolkit/form.h"

namespace velk::tk {

void fail_off_gui_thread(const std::string& control) {
  throw std::logic_error("control " + control + " touched off the GUI thread");
}

Control::Control(Form& form, std::string name, Kind kind)
    : form_(form), name_(std::move(name)), kind_(kind) {}

void Control::changed(Prop what) {
  if (form_.is_open()) form_.app().backend().control_changed(*this, what);
}

void Control::move(std::optional<int> left, std::optional<int> top, std::optional<int> width,
                   std::optional<int> height) {
  guard();
  Rect r = rect_;
  if (left) r.left = *left;
  if (top) r.top = *top;
  if (width && *width != -1) r.width = std::max(0, *width);
  if (height && *height != -1) r.height = std::max(0, *height);
  if (r == rect_) return;
  rect_ = r;
  changed(Prop::Geometry);
}

void Control::set_width(int v) { move(std::nullopt, std::nullopt, v, std::nullopt); }
void Control::set_height(int v) { move(std::nullopt, std::nullopt, std::nullopt, v); }

void Control::raise_to_top() {
  guard();
  if (!parent_) return;
  auto& siblings = parent_->children_;
  auto it = std::find(siblings.begin(), siblings.end(), this);
  if (it == siblings.end() || it + 1 == siblings.end()) return;
  siblings.erase(it);
  siblings.push_back(this);
  changed(Prop::ZOrder);
}

void Control::attach_child(Control& child) {
  guard();
  child.parent_ = this;
  children_.push_back(&child);
}

void Control::set_visible(bool v) {
  guard();
  if (visible_ == v) return;
  visible_ = v;
  changed(Prop::Visible);
}

void Control::set_disabled(bool v) {
  guard();
  if (disabled_ == v) return;
  disabled_ = v;
  changed(Prop::Disabled);
}

bool Control::shown() const {
  guard();
  for (const Control* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
    if (c->parent_ && c->parent_->kind_ == Kind::TabControl && c->page_ >= 0 &&
        c->page_ != c->parent_->current_page_)
      return false;
  }
  return true;
}

void Control::set_caption(const Text& v) {
  guard();
  if (caption_ == v) return;
  caption_ = v;
  changed(Prop::Caption);
  if (kind_ == Kind::EditBox && form_.is_open()) form_.app().raise_event(*this, Event::TextChanged);
}

void Control::backend_set_text(const Text& v) {
  guard();
  if (caption_ == v) return;
  caption_ = v;
  form_.app().raise_event(*this, Event::TextChanged);
}

void Control::set_picture(const Bytes& v) {
  guard();
  if (picture_ == v) return;
  picture_ = v;
  changed(Prop::Picture);
}

void Control::set_background_picture(const Bytes& v) {
  guard();
  if (background_picture_ == v) return;
  background_picture_ = v;
  changed(Prop::BackgroundPicture);
}

void Control::set_button_pictures(const Bytes& normal, const Bytes& hover, const Bytes& pressed,
                                  const Bytes& disabled) {
  guard();
  picture_ = normal;
  hover_picture_ = hover;
  pressed_picture_ = pressed;
  disabled_picture_ = disabled;
  changed(Prop::ButtonPictures);
}

const Bytes& Control::current_button_picture() const {
  guard();
  if (disabled_ && !disabled_picture_.empty()) return disabled_picture_;
  if (pressed_ && hovered_ && !pressed_picture_.empty()) return pressed_picture_;
  if ((hovered_ || pressed_) && !hover_picture_.empty()) return hover_picture_;
  return picture_;
}

void Control::set_look(bool hovered, bool pressed) {
  guard();
  if (hovered_ == hovered && pressed_ == pressed) return;
  hovered_ = hovered;
  pressed_ = pressed;
  changed(Prop::Look);
}

void Control::set_timer_period(int ms) {
  guard();
  timer_period_ = std::max(0, ms);
  form_.app().timer_period_written(*this);
}

void Control::add_item(const Text& item) {
  guard();
  items_.push_back(item);
  changed(Prop::Items);
}

void Control::set_items(std::vector<Text> items) {
  guard();
  if (items == items_ && selection_ == -1) return;
  items_ = std::move(items);
  selection_ = -1;
  changed(Prop::Items);
}

void Control::clear_items() {
  guard();
  if (items_.empty() && selection_ == -1) return;
  items_.clear();
  selection_ = -1;
  changed(Prop::Items);
}

Text Control::item_text(int index) const {
  guard();
  if (index < 0 || index >= item_count()) return Text();
  return items_[static_cast<size_t>(index)];
}

void Control::select(int index) {
  guard();
  int wanted = index <= -1 ? -1 : std::min(index, item_count() - 1);
  if (wanted == selection_) return;
  selection_ = wanted;
  changed(Prop::Selection);
}

void Control::set_link_address(const Text& v) {
  guard();
  if (link_address_ == v) return;
  link_address_ = v;
  changed(Prop::LinkAddress);
}

void Control::set_current_page(int page) {
  guard();
  if (current_page_ == page) return;
  current_page_ = page;
  changed(Prop::TabPage);
}

void Control::register_tip(Control& target, const Text& text) {
  guard();
  target.tooltip_ = text;
  target.changed(Prop::Tooltip);
}

void Control::set_address(const Text& url) {
  guard();
  // Writing the address navigates, even to the same address again.
  address_ = url;
  if (form_.is_open()) form_.app().backend().navigate(*this, url);
}

void Control::go_back() {
  guard();
  if (form_.is_open()) form_.app().backend().go_back(*this);
}

void Control::go_forward() {
  guard();
  if (form_.is_open()) form_.app().backend().go_forward(*this);
}

void Control::set_position(int v) {
  guard();
  position_ = v;
  changed(Prop::WindowState);
}

void Control::set_focus() {
  guard();
  Form& f = form_;
  Control* old = f.focus();
  if (old == this) return;
  f.set_focus_control(this);
  if (f.is_open()) {
    f.app().backend().focus_changed(f, this);
    if (old) f.app().raise_event(*old, Event::LostFocus);
    f.app().raise_event(*this, Event::GotFocus);
  }
}

bool Control::has_focus() const {
  guard();
  return form_.focus() == this;
}

Point Control::origin_in_window() const {
  guard();
  Point p;
  for (const Control* c = this; c && !c->is_window(); c = c->parent_) {
    p.x += c->rect_.left;
    p.y += c->rect_.top;
  }
  return p;
}

Rect Control::rect_in_window() const {
  guard();
  if (is_window()) return {0, 0, rect_.width, rect_.height};
  Point o = origin_in_window();
  return {o.x, o.y, rect_.width, rect_.height};
}

}  // namespace velk::tk
