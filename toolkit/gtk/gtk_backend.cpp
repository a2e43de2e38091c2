// The GTK backend's own part: making and dropping a window's widgets, and
// passing each change of the model on to them. The widgets and their signals
// are in native_widgets.cpp, the loop and clock in gtk_loop.cpp, the desktop
// in desktop.cpp.
#include "toolkit/gtk/gtk_backend.h"

#include <gtk/gtk.h>

#include "platform/codepage.h"
#include "toolkit/app.h"
#include "toolkit/gtk/native_widgets.h"

namespace velk::tk {

GtkBackend::GtkBackend() {
  if (!gtk_init_check(nullptr, nullptr)) {
    g_printerr("velk: cannot open the display\n");
    std::exit(1);
  }
  widgets_ = std::make_unique<NativeWidgets>();
}

GtkBackend::~GtkBackend() = default;

void GtkBackend::form_created(Form& form) {
  auto fv = std::make_shared<FormView>();
  fv->form = &form;
  form.backend_data = fv;
  widgets_->build_window(*fv);
}

void GtkBackend::form_destroyed(Form& form) {
  FormView* fv = form_view(form);
  if (!fv) return;
  for (auto& [c, v] : fv->views) {
    widgets_->pictures.forget(*c);
    v->web.reset();  // quiet before the widgets go; ends the page's web process
  }
  if (fv->window) gtk_widget_destroy(fv->window);
  fv->window = nullptr;
  fv->views.clear();
}

void GtkBackend::control_changed(Control& c, Prop what) {
  FormView* fv = form_view(c.form());
  if (!fv || !fv->window) return;
  ControlView* v = fv->view(c);
  switch (what) {
    case Prop::Geometry:
      if (v) widgets_->sync_geometry(*fv, *v);
      break;
    case Prop::Visible:
      if (c.is_window()) {
        if (c.visible()) {
          gtk_window_move(GTK_WINDOW(fv->window), c.left(), c.top());
          gtk_widget_show(fv->window);
          widgets_->apply_shape(*fv);
        } else {
          gtk_widget_hide(fv->window);
        }
      } else if (v) {
        widgets_->sync_visibility(*v);
      }
      break;
    case Prop::Disabled:
      if (v && v->native) gtk_widget_set_sensitive(v->native, !c.disabled());
      break;
    case Prop::Caption:
      if (c.is_window()) gtk_window_set_title(GTK_WINDOW(fv->window), gbk_to_utf8(c.caption()).c_str());
      if (v) widgets_->sync_text(*v);
      break;
    case Prop::Picture:
    case Prop::BackgroundPicture:
    case Prop::ButtonPictures:
      widgets_->pictures.forget(c);
      if (c.is_window()) widgets_->apply_shape(*fv);
      break;
    case Prop::Items:
      if (v) widgets_->sync_items(*v);
      break;
    case Prop::Selection:
      if (v) widgets_->sync_selection(*v);
      break;
    case Prop::ZOrder:
      widgets_->restack(*fv, c);
      break;
    case Prop::TabPage:
      for (Control* child : c.children())
        if (ControlView* cv = fv->view(*child)) widgets_->sync_visibility(*cv);
      break;
    case Prop::Tooltip:
      if (v) gtk_widget_set_tooltip_text(v->native ? v->native : v->outer, gbk_to_utf8(c.tooltip()).c_str());
      break;
    case Prop::WindowState:
      if (c.is_window()) {
        if (c.position() == 2) gtk_window_iconify(GTK_WINDOW(fv->window));
        else if (c.position() == 3) gtk_window_maximize(GTK_WINDOW(fv->window));
        else gtk_window_deiconify(GTK_WINDOW(fv->window));
        widgets_->apply_shape(*fv);
      }
      break;
    case Prop::LinkAddress:
    case Prop::Look:
      break;
  }
  // What a control shows may show through the controls above it: redraw the
  // whole window (cheap at these sizes, and never stale).
  gtk_widget_queue_draw(fv->window);
}

void GtkBackend::focus_changed(Form& form, Control* c) {
  FormView* fv = form_view(form);
  if (!fv || !c) return;
  if (ControlView* v = fv->view(*c)) gtk_widget_grab_focus(v->native ? v->native : v->outer);
}

void GtkBackend::begin_move_drag(Form& form) {
  FormView* fv = form_view(form);
  if (!fv || !widgets_->press_button) return;
  gtk_window_begin_move_drag(GTK_WINDOW(fv->window), static_cast<gint>(widgets_->press_button),
                             widgets_->press_x_root, widgets_->press_y_root, widgets_->press_time);
}

namespace {
WebView* web_view_of(Control& c) {
  FormView* fv = form_view(c.form());
  ControlView* v = fv && fv->window ? fv->view(c) : nullptr;
  return v ? v->web.get() : nullptr;
}
}  // namespace

void GtkBackend::navigate(Control& c, const Text& url) {
  if (WebView* web = web_view_of(c)) web->navigate(url);
}

void GtkBackend::go_back(Control& c) {
  if (WebView* web = web_view_of(c)) web->go_back();
}

void GtkBackend::go_forward(Control& c) {
  if (WebView* web = web_view_of(c)) web->go_forward();
}

}  // namespace velk::tk
