// Routing the user's input (fed by the backends and by tests) to controls:
// hit testing, hover and pressed looks, clicks, keys, edits and picks.
#include <algorithm>

#include "toolkit/app.h"

namespace velk::tk {

bool App::takes_input(const Form& form) const {
  if (!form.is_open()) return false;
  Form* top = modal();
  return !top || top == &form;
}

namespace {
bool is_drawn_control(Kind k) { return k != Kind::Timer && k != Kind::BalloonTip; }

// The topmost child of `c` under `p` (in c's client coordinates) that takes
// input; a hidden or disabled control lets the point through to what lies
// beneath it.
Control* hit_in(const Control& c, Point p) {
  const auto& kids = c.children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    Control* child = *it;
    if (!is_drawn_control(child->kind()) || !child->shown() || child->disabled()) continue;
    if (!child->rect().contains(p)) continue;
    Control* deeper = hit_in(*child, {p.x - child->left(), p.y - child->top()});
    return deeper ? deeper : child;
  }
  return nullptr;
}

Point local_point(const Control& c, Point window_point) {
  Point o = c.origin_in_window();
  return {window_point.x - o.x, window_point.y - o.y};
}
}  // namespace

Control* App::hit_test(Form& form, Point p) const {
  return hit_in(form.window(), p);
}

void App::update_hover(Form& form, Control* now) {
  Control* before = form.hover();
  if (before == now) return;
  form.set_hover_control(now);
  if (before) before->set_look(false, before->pressed());
  if (now) now->set_look(true, now->pressed());
}

void App::mouse_moved(Form& form, Point p) {
  if (!takes_input(form)) return;
  Control* hit = hit_test(form, p);
  Control& target = hit ? *hit : form.window();
  update_hover(form, hit);
  Point local = hit ? local_point(*hit, p) : p;
  EventArgs args{form, target, Event::MouseMoved, local.x, local.y};
  dispatch(args);
}

void App::mouse_left(Form& form) {
  if (form.is_open()) update_hover(form, nullptr);
}

void App::left_pressed(Form& form, Point p) {
  if (!takes_input(form)) return;
  Control* hit = hit_test(form, p);
  Control& target = hit ? *hit : form.window();
  if (Control* old = form.pressed()) old->set_look(old->hovered(), false);
  form.set_pressed_control(&target);
  update_hover(form, hit);
  target.set_look(target.hovered(), true);
  Point local = hit ? local_point(*hit, p) : p;
  EventArgs args{form, target, Event::LeftPressed, local.x, local.y};
  dispatch(args);
}

void App::left_released(Form& form, Point p) {
  if (!form.is_open()) return;
  Control* pressed = form.pressed();
  form.set_pressed_control(nullptr);
  if (!pressed) return;
  pressed->set_look(pressed->hovered(), false);
  if (!takes_input(form)) return;
  Control* hit = hit_test(form, p);
  Control& target = hit ? *hit : form.window();
  if (&target != pressed) return;
  Point local = hit ? local_point(*hit, p) : p;
  EventArgs args{form, target, Event::Clicked, local.x, local.y};
  dispatch(args);
}

void App::key_pressed(Form& form, int virtual_key) {
  if (!takes_input(form)) return;
  Control* focus = form.focus();
  Control& target = focus && focus->shown() && !focus->disabled() ? *focus : form.window();
  EventArgs args{form, target, Event::KeyPressed};
  args.key = virtual_key;
  dispatch(args);
}

void App::user_edited(Control& edit_box, const Text& text) {
  if (!takes_input(edit_box.form()) || edit_box.disabled()) return;
  edit_box.backend_set_text(text);
}

void App::user_selected(Control& list_box, int index) {
  if (!takes_input(list_box.form()) || list_box.disabled()) return;
  list_box.select(index);
  EventArgs args{list_box.form(), list_box, Event::ItemSelected};
  args.index = list_box.selection();
  dispatch(args);
}

void App::window_focus(Form& form, bool gained) {
  if (!form.is_open()) return;
  raise_event(form.window(), gained ? Event::GotFocus : Event::LostFocus);
}

void App::window_moved(Form& form, Point screen_place) {
  if (!form.is_open()) return;
  Rect r = form.window().rect();
  r.left = screen_place.x;
  r.top = screen_place.y;
  form.window().backend_set_rect(r);
}

void App::window_close_requested(Form& form) { close(form); }

}  // namespace velk::tk
