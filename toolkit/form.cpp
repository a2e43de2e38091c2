#include "toolkit/form.h"

#include <stdexcept>

#include "toolkit/app.h"

namespace velk::tk {

Form::Form(App& app, const FormDef& def) : app_(app), def_(def) {
  auto window = std::make_unique<Control>(*this, def.name, Kind::Window);
  window->backend_set_rect(def.design);
  window->set_caption(def.caption);
  window_ = window.get();
  controls_.push_back(std::move(window));

  for (const ControlSpec& spec : def.controls) {
    if (by_name_.count(spec.name) || spec.name.empty())
      throw std::logic_error("duplicate or empty control name in window " + def.name);
    auto c = std::make_unique<Control>(*this, spec.name, spec.kind);
    c->backend_set_rect({spec.left, spec.top, spec.width, spec.height});
    c->set_pointer(spec.pointer);
    c->set_visible(!(spec.flags & kHidden));
    c->set_disabled(spec.flags & kDisabled);
    c->set_multiline(spec.flags & kMultiline);
    c->set_caption(spec.caption);
    c->set_page(spec.page);
    if (spec.kind == Kind::HyperlinkBox) c->style().color = 0x0033CC;  // links look like links
    by_name_.emplace(spec.name, c.get());
    controls_.push_back(std::move(c));
  }
  // Rows run from the top of the z-order down; children are kept bottom to
  // top, so attach in reverse.
  for (size_t i = def.controls.size(); i-- > 0;) {
    const ControlSpec& spec = def.controls[i];
    Control* parent = spec.parent.empty() ? window_ : find(spec.parent);
    if (!parent) throw std::logic_error("unknown parent " + spec.parent + " in window " + def.name);
    parent->attach_child(*controls_[i + 1]);
  }
  for (const DesignLook& look : def.looks) {
    Control& c = look.control.empty() ? *window_ : (*this)[look.control];
    if (c.kind() == Kind::PictureButton)
      c.set_button_pictures(Bytes(look.picture), Bytes(look.hover_picture), Bytes(), Bytes());
    else if (!look.picture.empty())
      c.set_picture(Bytes(look.picture));
    if (!look.background_picture.empty()) c.set_background_picture(Bytes(look.background_picture));
    if (look.style) c.style() = *look.style;
  }
  for (const Binding& b : def.bindings) bind(b.control, b.event, b.handler);
}

Control* Form::find(std::string_view name) const {
  auto it = by_name_.find(name);
  return it == by_name_.end() ? nullptr : it->second;
}

Control& Form::operator[](std::string_view name) const {
  if (Control* c = find(name)) return *c;
  throw std::out_of_range("no control " + std::string(name) + " in window " + def_.name);
}

void Form::bind(std::string_view control, Event event, Handler handler) {
  const Control* c = control.empty() ? window_ : &(*this)[control];
  handlers_.emplace(std::make_pair(c, event), std::move(handler));
}

bool Form::has_handler(const Control& c, Event e) const {
  return handlers_.count({&c, e}) > 0;
}

bool Form::dispatch(EventArgs& args) {
  auto [first, last] = handlers_.equal_range({&args.control, args.event});
  if (first == last) return false;
  // Copy first: a handler may bind more handlers while it runs.
  std::vector<Handler> todo;
  for (auto it = first; it != last; ++it) todo.push_back(it->second);
  for (auto& h : todo) h(args);
  return true;
}

void Form::set_shape_colour(std::optional<uint32_t> rgb) {
  shape_colour_ = rgb;
  if (is_open()) app_.backend().control_changed(*window_, Prop::WindowState);
}

}  // namespace velk::tk
