#include "toolkit/form.h"

#include <stdexcept>

#include "toolkit/app.h"

namespace velk::tk {

namespace {
void take_rows(std::vector<ControlSpec>& into, std::vector<ControlSpec>& rows, const std::string& part) {
  for (ControlSpec& row : rows) {
    if (row.part.empty()) row.part = part;
    into.push_back(std::move(row));
  }
}
template <class T>
void take_all(std::vector<T>& into, std::vector<T>& from) {
  for (T& item : from) into.push_back(std::move(item));
}
}  // namespace

FormPart& FormPart::add(FormPart inner) {
  take_rows(controls, inner.controls, inner.name);
  take_all(looks, inner.looks);
  take_all(bindings, inner.bindings);
  return *this;
}

FormDef& FormDef::add(FormPart part) {
  take_rows(controls, part.controls, part.name);
  take_all(looks, part.looks);
  take_all(bindings, part.bindings);
  return *this;
}

namespace {
std::string row_origin(const ControlSpec& spec) {
  return spec.part.empty() ? "the window's own rows" : "part " + spec.part;
}
}  // namespace

Form::Form(App& app, const FormDef& def, WindowId id) : app_(app), def_(def), id_(id) {
  auto window = std::make_unique<Control>(*this, def.name, Kind::Window);
  window->backend_set_rect(def.design);
  window->set_caption(def.caption);
  window_ = window.get();
  controls_.push_back(std::move(window));

  for (const ControlSpec& spec : def.controls) {
    if (spec.name.empty()) throw std::logic_error("empty control name in window " + def.name);
    if (by_name_.count(spec.name)) {
      throw std::logic_error("control " + spec.name + " of " + row_origin(spec) +
                             " clashes with a control of the same name in window " + def.name);
    }
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
  attach_in_stacking_order();
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

void Form::attach_in_stacking_order() {
  // Rows run from the top of the z-order down; children are kept bottom to
  // top, so attach in reverse. The stacking list, when given, orders the
  // drawn top-level controls instead of their rows (timers and balloon tips
  // are never drawn: their rows' order stays).
  auto stacked = [&](const ControlSpec& spec) {
    return !def_.stacking.empty() && spec.parent.empty() && spec.kind != Kind::Timer &&
           spec.kind != Kind::BalloonTip;
  };
  std::vector<size_t> top_level;  // row indices, top of the z-order first
  if (!def_.stacking.empty()) {
    std::map<std::string_view, size_t> row_of;
    for (size_t i = 0; i < def_.controls.size(); ++i)
      if (stacked(def_.controls[i])) row_of.emplace(def_.controls[i].name, i);
    for (const std::string& name : def_.stacking) {
      auto it = row_of.find(name);
      if (it == row_of.end())
        throw std::logic_error("the stacking of window " + def_.name + " names " + name +
                               ", which is no drawn top-level control or is named twice");
      top_level.push_back(it->second);
      row_of.erase(it);
    }
    if (!row_of.empty())
      throw std::logic_error("the stacking of window " + def_.name + " leaves out " +
                             std::string(row_of.begin()->first));
  }
  for (size_t i = def_.controls.size(); i-- > 0;) {
    const ControlSpec& spec = def_.controls[i];
    if (stacked(spec)) continue;
    Control* parent = spec.parent.empty() ? window_ : find(spec.parent);
    if (!parent) throw std::logic_error("unknown parent " + spec.parent + " in window " + def_.name);
    parent->attach_child(*controls_[i + 1]);
  }
  for (auto it = top_level.rbegin(); it != top_level.rend(); ++it) window_->attach_child(*controls_[*it + 1]);
}

Control* Form::find(std::string_view name) const {
  if (!on_gui_thread()) fail_off_gui_thread(def_.name + "." + std::string(name));
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
