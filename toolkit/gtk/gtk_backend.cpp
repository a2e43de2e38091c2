#include "toolkit/gtk/gtk_backend.h"

#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/codepage.h"
#include "toolkit/app.h"
#include "toolkit/gtk/painter.h"
#include "toolkit/gtk/velk_box.h"
#include "toolkit/gtk/web_engine.h"
#include "toolkit/gtk/web_view.h"
#include "toolkit/picture.h"

namespace velk::tk {

namespace {

// The widgets of one control.
struct ControlView {
  Control* control = nullptr;
  GtkWidget* outer = nullptr;   // the VelkBox placed in the parent's box
  GtkWidget* native = nullptr;  // entry, text view, list box or web view inside it
  std::unique_ptr<WebView> web; // the engine of a web view
  int updating = 0;             // >0 while the model writes into the native widget
};

struct FormView {
  Form* form = nullptr;
  GtkWidget* window = nullptr;
  std::map<const Control*, std::unique_ptr<ControlView>> views;
  ControlView* view(const Control& c) {
    auto it = views.find(&c);
    return it == views.end() ? nullptr : it->second.get();
  }
};

FormView* form_view(Form& f) { return static_cast<FormView*>(f.backend_data.get()); }

const char* kCss = R"css(
entry.velk, textview.velk, textview.velk text {
  min-height: 0; padding: 0 4px; margin: 0; border: none; border-radius: 0;
  box-shadow: none; background: #ffffff; color: #202020;
  font-family: "Noto Sans CJK SC"; font-size: 14px;
}
entry.velk:disabled { background: #ffffff; color: #909090; }
list.velk { background: #ffffff; font-family: "Noto Sans CJK SC"; font-size: 13px; }
list.velk row { min-height: 23px; padding: 0 6px; }
list.velk row:selected { background: #2b7be4; color: #ffffff; }
)css";

int virtual_key(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter: return key::kEnter;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up: return key::kUp;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down: return key::kDown;
    case GDK_KEY_Left: return key::kLeft;
    case GDK_KEY_Right: return key::kRight;
    case GDK_KEY_BackSpace: return key::kBackspace;
    case GDK_KEY_Tab: return key::kTab;
    case GDK_KEY_Escape: return key::kEscape;
    case GDK_KEY_Delete: return key::kDelete;
    default: break;
  }
  guint32 ch = gdk_keyval_to_unicode(keyval);
  if (ch >= 'a' && ch <= 'z') return static_cast<int>(ch - 'a' + 'A');
  if ((ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == ' ') return static_cast<int>(ch);
  return 0;
}

const char* cursor_name(Pointer p) {
  switch (p) {
    case Pointer::Hand: return "pointer";
    case Pointer::IBeam: return "text";
    case Pointer::Arrow: return "default";
  }
  return "default";
}

bool native_kind(Kind k) { return k == Kind::EditBox || k == Kind::ListBox || k == Kind::WebView; }

}  // namespace

struct GtkBackend::Impl {
  PictureCache pictures;
  Painter painter{pictures};
  GtkCssProvider* css = nullptr;
  // The press that a caption drag starts from.
  guint press_button = 0;
  gint press_x_root = 0, press_y_root = 0;
  guint32 press_time = 0;

  // ------------------------------------------------------------ signals

  static Point window_point(const Control& c, double x, double y) {
    Point o = c.origin_in_window();
    return {o.x + static_cast<int>(x), o.y + static_cast<int>(y)};
  }

  static gboolean draw_cb(GtkWidget*, cairo_t* cr, ControlView* v) {
    auto* backend = static_cast<GtkBackend*>(&v->control->form().app().backend());
    backend->impl_->painter.paint_control_area(cr, *v->control);
    return FALSE;  // children draw next
  }

  static gboolean motion_cb(GtkWidget*, GdkEventMotion* e, ControlView* v) {
    Control& c = *v->control;
    c.form().app().mouse_moved(c.form(), window_point(c, e->x, e->y));
    return !v->native;
  }

  static gboolean press_cb(GtkWidget*, GdkEventButton* e, ControlView* v) {
    if (e->type != GDK_BUTTON_PRESS || e->button != 1) return !v->native;
    Control& c = *v->control;
    auto* backend = static_cast<GtkBackend*>(&c.form().app().backend());
    backend->impl_->press_button = e->button;
    backend->impl_->press_x_root = static_cast<gint>(e->x_root);
    backend->impl_->press_y_root = static_cast<gint>(e->y_root);
    backend->impl_->press_time = e->time;
    bool native = v->native != nullptr;
    c.form().app().left_pressed(c.form(), window_point(c, e->x, e->y));
    return !native;  // native widgets also handle the press themselves
  }

  static gboolean release_cb(GtkWidget*, GdkEventButton* e, ControlView* v) {
    if (e->button != 1) return !v->native;
    Control& c = *v->control;
    bool native = v->native != nullptr;
    c.form().app().left_released(c.form(), window_point(c, e->x, e->y));
    return !native;
  }

  // A pointer that jumps onto a control may bring only a crossing event, no
  // motion: entering counts as a move to that place.
  static gboolean enter_cb(GtkWidget*, GdkEventCrossing* e, ControlView* v) {
    Control& c = *v->control;
    c.form().app().mouse_moved(c.form(), window_point(c, e->x, e->y));
    return FALSE;
  }

  static gboolean leave_cb(GtkWidget*, GdkEventCrossing* e, ControlView* v) {
    if (e->detail != GDK_NOTIFY_INFERIOR && v->control->is_window())
      v->control->form().app().mouse_left(v->control->form());
    return FALSE;
  }

  static void realize_cb(GtkWidget* w, ControlView* v) {
    GdkWindow* win = gtk_widget_get_window(w);
    if (!win || v->native) return;
    GdkCursor* cursor =
        gdk_cursor_new_from_name(gtk_widget_get_display(w), cursor_name(v->control->pointer()));
    gdk_window_set_cursor(win, cursor);
    if (cursor) g_object_unref(cursor);
  }

  static void entry_changed_cb(GtkEditable* e, ControlView* v) {
    if (v->updating) return;
    Control& c = *v->control;
    c.form().app().user_edited(c, utf8_to_gbk(gtk_entry_get_text(GTK_ENTRY(e))));
  }

  static void text_buffer_changed_cb(GtkTextBuffer* b, ControlView* v) {
    if (v->updating) return;
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(b, &start, &end);
    gchar* text = gtk_text_buffer_get_text(b, &start, &end, FALSE);
    Control& c = *v->control;
    c.form().app().user_edited(c, utf8_to_gbk(text));
    g_free(text);
  }

  static gboolean key_cb(GtkWidget*, GdkEventKey* e, ControlView* v) {
    Control& c = *v->control;
    if (c.form().focus() != &c) c.form().set_focus_control(&c);
    if (int vk = virtual_key(e->keyval)) c.form().app().key_pressed(c.form(), vk);
    return FALSE;  // the key reaches the box in every case
  }

  static gboolean focus_in_cb(GtkWidget*, GdkEvent*, ControlView* v) {
    v->control->form().set_focus_control(v->control);
    return FALSE;
  }

  static void row_selected_cb(GtkListBox*, GtkListBoxRow* row, ControlView* v) {
    if (v->updating || !row) return;
    Control& c = *v->control;
    c.form().app().user_selected(c, gtk_list_box_row_get_index(row));
  }

  static gboolean window_delete_cb(GtkWidget*, GdkEvent*, FormView* fv) {
    fv->form->app().window_close_requested(*fv->form);
    return TRUE;  // the model closes it
  }

  static gboolean window_focus_cb(GtkWidget*, GdkEventFocus* e, FormView* fv) {
    fv->form->app().window_focus(*fv->form, e->in);
    return FALSE;
  }

  static gboolean window_configure_cb(GtkWidget*, GdkEventConfigure* e, FormView* fv) {
    Control& w = fv->form->window();
    if (e->x != w.left() || e->y != w.top()) fv->form->app().window_moved(*fv->form, {e->x, e->y});
    return FALSE;
  }

  // ------------------------------------------------------------ building

  static std::string utf8(const Text& t) { return gbk_to_utf8(t); }

  void sync_visibility(ControlView& v) {
    Control& c = *v.control;
    if (c.is_window()) return;
    bool on_page = true;
    if (c.parent() && c.parent()->kind() == Kind::TabControl && c.page() >= 0)
      on_page = c.page() == c.parent()->current_page();
    gtk_widget_set_visible(v.outer, c.visible() && on_page && c.width() > 0 && c.height() > 0);
  }

  void sync_geometry(FormView& fv, ControlView& v) {
    Control& c = *v.control;
    if (c.is_window()) {
      velk_box_set_size(VELK_BOX(v.outer), c.width(), c.height());
      gtk_window_resize(GTK_WINDOW(fv.window), std::max(1, c.width()), std::max(1, c.height()));
      gtk_window_move(GTK_WINDOW(fv.window), c.left(), c.top());
      apply_shape(fv);
      return;
    }
    velk_box_set_size(VELK_BOX(v.outer), c.width(), c.height());
    if (ControlView* pv = fv.view(*c.parent()))
      gtk_fixed_move(GTK_FIXED(pv->outer), v.outer, c.left(), c.top());
    sync_visibility(v);
  }

  void sync_text(ControlView& v) {
    Control& c = *v.control;
    if (!v.native) return;
    ++v.updating;
    std::string text = utf8(c.caption());
    if (GTK_IS_ENTRY(v.native)) {
      if (text != gtk_entry_get_text(GTK_ENTRY(v.native)))
        gtk_entry_set_text(GTK_ENTRY(v.native), text.c_str());
    } else if (GTK_IS_TEXT_VIEW(v.native)) {
      gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(v.native)), text.data(),
                               static_cast<int>(text.size()));
    }
    --v.updating;
  }

  void sync_items(ControlView& v) {
    Control& c = *v.control;
    if (!v.native || !GTK_IS_LIST_BOX(v.native)) return;
    ++v.updating;
    GList* rows = gtk_container_get_children(GTK_CONTAINER(v.native));
    for (GList* l = rows; l; l = l->next) gtk_widget_destroy(GTK_WIDGET(l->data));
    g_list_free(rows);
    for (const Text& item : c.items()) {
      GtkWidget* label = gtk_label_new(utf8(item).c_str());
      gtk_label_set_xalign(GTK_LABEL(label), 0);
      gtk_widget_show(label);
      gtk_list_box_insert(GTK_LIST_BOX(v.native), label, -1);
    }
    sync_selection(v);
    --v.updating;
  }

  void sync_selection(ControlView& v) {
    Control& c = *v.control;
    if (!v.native || !GTK_IS_LIST_BOX(v.native)) return;
    ++v.updating;
    GtkListBoxRow* row = c.selection() >= 0
                             ? gtk_list_box_get_row_at_index(GTK_LIST_BOX(v.native), c.selection())
                             : nullptr;
    if (row) gtk_list_box_select_row(GTK_LIST_BOX(v.native), row);
    else gtk_list_box_unselect_all(GTK_LIST_BOX(v.native));
    --v.updating;
  }

  void connect_pointer_events(GtkWidget* w, ControlView* v) {
    g_signal_connect(w, "motion-notify-event", G_CALLBACK(motion_cb), v);
    g_signal_connect(w, "button-press-event", G_CALLBACK(press_cb), v);
    g_signal_connect(w, "button-release-event", G_CALLBACK(release_cb), v);
  }

  ControlView& build(FormView& fv, Control& c, GtkWidget* parent_box) {
    auto owned = std::make_unique<ControlView>();
    ControlView& v = *owned;
    v.control = &c;
    fv.views[&c] = std::move(owned);
    v.outer = velk_box_new(native_kind(c.kind()));
    g_signal_connect(v.outer, "draw", G_CALLBACK(draw_cb), &v);
    g_signal_connect(v.outer, "realize", G_CALLBACK(realize_cb), &v);
    g_signal_connect(v.outer, "leave-notify-event", G_CALLBACK(leave_cb), &v);
    g_signal_connect(v.outer, "enter-notify-event", G_CALLBACK(enter_cb), &v);
    connect_pointer_events(v.outer, &v);

    if (c.kind() == Kind::EditBox) {
      if (c.multiline()) {
        GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_NEVER,
                                       GTK_POLICY_AUTOMATIC);
        v.native = gtk_text_view_new();
        gtk_text_view_set_wrap_mode(GTK_TEXT_VIEW(v.native), GTK_WRAP_WORD_CHAR);
        gtk_container_add(GTK_CONTAINER(scroll), v.native);
        gtk_container_add(GTK_CONTAINER(v.outer), scroll);
        g_signal_connect(gtk_text_view_get_buffer(GTK_TEXT_VIEW(v.native)), "changed",
                         G_CALLBACK(text_buffer_changed_cb), &v);
      } else {
        v.native = gtk_entry_new();
        gtk_entry_set_width_chars(GTK_ENTRY(v.native), 1);
        gtk_entry_set_has_frame(GTK_ENTRY(v.native), FALSE);
        gtk_container_add(GTK_CONTAINER(v.outer), v.native);
        g_signal_connect(v.native, "changed", G_CALLBACK(entry_changed_cb), &v);
      }
      gtk_style_context_add_class(gtk_widget_get_style_context(v.native), "velk");
      g_signal_connect(v.native, "key-press-event", G_CALLBACK(key_cb), &v);
      g_signal_connect(v.native, "focus-in-event", G_CALLBACK(focus_in_cb), &v);
      connect_pointer_events(v.native, &v);
      gtk_widget_set_sensitive(v.native, !c.disabled());
      sync_text(v);
    } else if (c.kind() == Kind::ListBox) {
      GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
      gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_NEVER,
                                     GTK_POLICY_AUTOMATIC);
      v.native = gtk_list_box_new();
      gtk_list_box_set_activate_on_single_click(GTK_LIST_BOX(v.native), TRUE);
      gtk_style_context_add_class(gtk_widget_get_style_context(v.native), "velk");
      gtk_container_add(GTK_CONTAINER(scroll), v.native);
      gtk_container_add(GTK_CONTAINER(v.outer), scroll);
      g_signal_connect(v.native, "row-selected", G_CALLBACK(row_selected_cb), &v);
      sync_items(v);
    } else if (c.kind() == Kind::WebView) {
      v.web = std::make_unique<WebView>(c, v.outer);
      v.native = v.web->widget();
      // The model hears the pointer and keys over the page too; the engine
      // still gets them all.
      connect_pointer_events(v.native, &v);
      g_signal_connect(v.native, "key-press-event", G_CALLBACK(key_cb), &v);
      g_signal_connect(v.native, "focus-in-event", G_CALLBACK(focus_in_cb), &v);
      gtk_widget_set_sensitive(v.native, !c.disabled());
    }
    if (!c.tooltip().empty()) gtk_widget_set_tooltip_text(v.outer, utf8(c.tooltip()).c_str());

    gtk_fixed_put(GTK_FIXED(parent_box), v.outer, c.left(), c.top());
    velk_box_set_size(VELK_BOX(v.outer), c.width(), c.height());
    if (v.native) gtk_widget_show_all(v.outer);
    sync_visibility(v);
    for (Control* child : c.children())
      if (child->kind() != Kind::Timer && child->kind() != Kind::BalloonTip)
        build(fv, *child, v.outer);
    return v;
  }

  void apply_shape(FormView& fv) {
    Form& f = *fv.form;
    if (!f.shape_colour()) {
      gtk_widget_shape_combine_region(fv.window, nullptr);
      return;
    }
    Control& w = f.window();
    auto img = decode_picture(w.background_picture());
    if (!img) return;
    Rect place = background_placement({img->width, img->height}, {w.width(), w.height()});
    if (place.width <= 0 || place.height <= 0) return;
    const uint32_t cut = *f.shape_colour() & 0xFFFFFF;
    cairo_region_t* region = cairo_region_create();
    for (int y = 0; y < w.height(); ++y) {
      int run_start = -1;
      for (int x = 0; x <= w.width(); ++x) {
        bool keep = false;
        if (x < w.width()) {
          int px = (x - place.left) * img->width / place.width;
          int py = (y - place.top) * img->height / place.height;
          bool inside = px >= 0 && py >= 0 && px < img->width && py < img->height;
          // The cut colour and transparent pixels are cut out.
          keep = !inside || ((img->at(px, py) >> 24) != 0 && (img->at(px, py) & 0xFFFFFF) != cut);
        }
        if (keep && run_start < 0) run_start = x;
        if (!keep && run_start >= 0) {
          cairo_rectangle_int_t r{run_start, y, x - run_start, 1};
          cairo_region_union_rectangle(region, &r);
          run_start = -1;
        }
      }
    }
    gtk_widget_shape_combine_region(fv.window, region);
    gtk_widget_input_shape_combine_region(fv.window, region);
    cairo_region_destroy(region);
  }

  void restack(FormView& fv, Control& c) {
    ControlView* v = fv.view(c);
    ControlView* pv = c.parent() ? fv.view(*c.parent()) : nullptr;
    if (!v || !pv) return;
    // GtkFixed cannot restack: taking the child out and putting it back makes
    // it the topmost (drawn last, its window stacked above).
    g_object_ref(v->outer);
    gtk_container_remove(GTK_CONTAINER(pv->outer), v->outer);
    gtk_fixed_put(GTK_FIXED(pv->outer), v->outer, c.left(), c.top());
    g_object_unref(v->outer);
    sync_visibility(*v);
  }
};

// ---------------------------------------------------------------- backend

GtkBackend::GtkBackend() : impl_(std::make_unique<Impl>()) {
  if (!gtk_init_check(nullptr, nullptr)) {
    g_printerr("velk: cannot open the display\n");
    std::exit(1);
  }
  impl_->css = gtk_css_provider_new();
  gtk_css_provider_load_from_data(impl_->css, kCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(),
                                            GTK_STYLE_PROVIDER(impl_->css),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

GtkBackend::~GtkBackend() {
  if (impl_->css) g_object_unref(impl_->css);
}

int64_t GtkBackend::now_ms() { return g_get_monotonic_time() / 1000; }

void GtkBackend::wait_until(int64_t deadline_ms) {
  if (deadline_ms == kNever) {
    g_main_context_iteration(nullptr, TRUE);
    return;
  }
  int64_t wait = deadline_ms - now_ms();
  if (wait <= 0) {
    g_main_context_iteration(nullptr, FALSE);
    return;
  }
  guint source = g_timeout_add(static_cast<guint>(std::min<int64_t>(wait, 1 << 30)),
                               [](gpointer) -> gboolean { return G_SOURCE_REMOVE; }, nullptr);
  g_main_context_iteration(nullptr, TRUE);
  if (GSource* s = g_main_context_find_source_by_id(nullptr, source)) g_source_destroy(s);
}

void GtkBackend::process_native_events() {
  // Bounded, so a stream of redraws cannot keep the loop here for good.
  for (int i = 0; i < 200 && g_main_context_iteration(nullptr, FALSE); ++i) {
  }
}

void GtkBackend::wake() { g_main_context_wakeup(nullptr); }

void GtkBackend::sleep_ms(int ms) { g_usleep(static_cast<gulong>(ms) * 1000); }

void GtkBackend::form_created(Form& form) {
  auto fv = std::make_shared<FormView>();
  fv->form = &form;
  form.backend_data = fv;
  Control& w = form.window();
  fv->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(fv->window), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(fv->window), FALSE);
  gtk_window_set_title(GTK_WINDOW(fv->window), Impl::utf8(w.caption()).c_str());
  g_signal_connect(fv->window, "delete-event", G_CALLBACK(Impl::window_delete_cb), fv.get());
  g_signal_connect(fv->window, "focus-in-event", G_CALLBACK(Impl::window_focus_cb), fv.get());
  g_signal_connect(fv->window, "focus-out-event", G_CALLBACK(Impl::window_focus_cb), fv.get());
  g_signal_connect(fv->window, "configure-event", G_CALLBACK(Impl::window_configure_cb), fv.get());

  auto root = std::make_unique<ControlView>();
  root->control = &w;
  root->outer = velk_box_new(FALSE);
  g_signal_connect(root->outer, "draw", G_CALLBACK(Impl::draw_cb), root.get());
  g_signal_connect(root->outer, "realize", G_CALLBACK(Impl::realize_cb), root.get());
  g_signal_connect(root->outer, "leave-notify-event", G_CALLBACK(Impl::leave_cb), root.get());
  impl_->connect_pointer_events(root->outer, root.get());
  gtk_container_add(GTK_CONTAINER(fv->window), root->outer);
  velk_box_set_size(VELK_BOX(root->outer), w.width(), w.height());
  gtk_widget_show(root->outer);
  GtkWidget* root_box = root->outer;
  fv->views[&w] = std::move(root);
  for (Control* child : w.children())
    if (child->kind() != Kind::Timer && child->kind() != Kind::BalloonTip)
      impl_->build(*fv, *child, root_box);
  gtk_window_set_default_size(GTK_WINDOW(fv->window), std::max(1, w.width()),
                              std::max(1, w.height()));
  gtk_window_move(GTK_WINDOW(fv->window), w.left(), w.top());
}

void GtkBackend::form_destroyed(Form& form) {
  FormView* fv = form_view(form);
  if (!fv) return;
  for (auto& [c, v] : fv->views) {
    impl_->pictures.forget(*c);
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
      if (v) impl_->sync_geometry(*fv, *v);
      break;
    case Prop::Visible:
      if (c.is_window()) {
        if (c.visible()) {
          gtk_window_move(GTK_WINDOW(fv->window), c.left(), c.top());
          gtk_widget_show(fv->window);
          impl_->apply_shape(*fv);
        } else {
          gtk_widget_hide(fv->window);
        }
      } else if (v) {
        impl_->sync_visibility(*v);
      }
      break;
    case Prop::Disabled:
      if (v && v->native) gtk_widget_set_sensitive(v->native, !c.disabled());
      break;
    case Prop::Caption:
      if (c.is_window()) gtk_window_set_title(GTK_WINDOW(fv->window), Impl::utf8(c.caption()).c_str());
      if (v) impl_->sync_text(*v);
      break;
    case Prop::Picture:
    case Prop::BackgroundPicture:
    case Prop::ButtonPictures:
      impl_->pictures.forget(c);
      if (c.is_window()) impl_->apply_shape(*fv);
      break;
    case Prop::Items:
      if (v) impl_->sync_items(*v);
      break;
    case Prop::Selection:
      if (v) impl_->sync_selection(*v);
      break;
    case Prop::ZOrder:
      impl_->restack(*fv, c);
      break;
    case Prop::TabPage:
      for (Control* child : c.children())
        if (ControlView* cv = fv->view(*child)) impl_->sync_visibility(*cv);
      break;
    case Prop::Tooltip:
      if (v) gtk_widget_set_tooltip_text(v->native ? v->native : v->outer, Impl::utf8(c.tooltip()).c_str());
      break;
    case Prop::WindowState:
      if (c.is_window()) {
        if (c.position() == 2) gtk_window_iconify(GTK_WINDOW(fv->window));
        else if (c.position() == 3) gtk_window_maximize(GTK_WINDOW(fv->window));
        else gtk_window_deiconify(GTK_WINDOW(fv->window));
        impl_->apply_shape(*fv);
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
  if (!fv || !impl_->press_button) return;
  gtk_window_begin_move_drag(GTK_WINDOW(fv->window), static_cast<gint>(impl_->press_button),
                             impl_->press_x_root, impl_->press_y_root, impl_->press_time);
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

namespace {
GdkMonitor* primary_monitor() {
  GdkDisplay* display = gdk_display_get_default();
  GdkMonitor* m = gdk_display_get_primary_monitor(display);
  return m ? m : gdk_display_get_monitor(display, 0);
}
}  // namespace

Size GtkBackend::screen_size() {
  GdkRectangle r{0, 0, 0, 0};
  if (GdkMonitor* m = primary_monitor()) gdk_monitor_get_geometry(m, &r);
  return {r.width, r.height};
}

Rect GtkBackend::work_area() {
  GdkRectangle r{0, 0, 0, 0};
  if (GdkMonitor* m = primary_monitor()) gdk_monitor_get_workarea(m, &r);
  return {r.x, r.y, r.width, r.height};
}

Point GtkBackend::mouse_position() {
  GdkDisplay* display = gdk_display_get_default();
  GdkSeat* seat = gdk_display_get_default_seat(display);
  int x = 0, y = 0;
  if (GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr)
    gdk_device_get_position(pointer, nullptr, &x, &y);
  return {x, y};
}

void GtkBackend::message_box(const Text& text, const Text& title) {
  GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER,
                                             GTK_BUTTONS_OK, "%s", Impl::utf8(text).c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), Impl::utf8(title).c_str());
  gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
}

bool GtkBackend::save_screenshot(const std::string& png_path) {
  GdkWindow* root = gdk_get_default_root_window();
  int w = gdk_window_get_width(root), h = gdk_window_get_height(root);
  GdkPixbuf* shot = gdk_pixbuf_get_from_window(root, 0, 0, w, h);
  if (!shot) return false;
  bool ok = gdk_pixbuf_save(shot, png_path.c_str(), "png", nullptr, nullptr);
  g_object_unref(shot);
  return ok;
}

std::optional<uint32_t> GtkBackend::screen_pixel(int x, int y) {
  GdkPixbuf* px = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), x, y, 1, 1);
  if (!px) return std::nullopt;
  const guchar* p = gdk_pixbuf_read_pixels(px);
  uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  g_object_unref(px);
  return rgb;
}

void GtkBackend::set_web_engine_module_for_tests(const std::string& path) { SetWebEngineModuleForTests(path); }

std::vector<uint32_t> GtkBackend::screen_area(Rect area) {
  std::vector<uint32_t> pixels;
  GdkPixbuf* shot =
      gdk_pixbuf_get_from_window(gdk_get_default_root_window(), area.left, area.top, area.width, area.height);
  if (!shot) return pixels;
  const int stride = gdk_pixbuf_get_rowstride(shot), channels = gdk_pixbuf_get_n_channels(shot);
  const guchar* data = gdk_pixbuf_read_pixels(shot);
  for (int y = 0; y < area.height; ++y)
    for (int x = 0; x < area.width; ++x) {
      const guchar* p = data + y * stride + x * channels;
      pixels.push_back((uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2]);
    }
  g_object_unref(shot);
  return pixels;
}

int GtkBackend::shown_toplevel_count() {
  GList* all = gtk_window_list_toplevels();
  int shown = 0;
  for (GList* l = all; l; l = l->next)
    if (gtk_widget_get_visible(GTK_WIDGET(l->data))) ++shown;
  g_list_free(all);
  return shown;
}

}  // namespace velk::tk
