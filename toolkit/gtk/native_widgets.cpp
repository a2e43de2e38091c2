#include "toolkit/gtk/native_widgets.h"

#include <algorithm>

#include "platform/codepage.h"
#include "toolkit/app.h"
#include "toolkit/gtk/velk_box.h"
#include "toolkit/gtk/window_shape.h"
#include "toolkit/picture.h"

namespace velk::tk {

namespace {

const char* kCss = R"css(
entry.velk, textview.velk, textview.velk text {
  min-height: 0; padding: 0 4px; margin: 0; border: none; border-radius: 0;
  box-shadow: none; background: #ffffff; color: #202020;
  font-family: "Noto Sans CJK SC"; font-size: 14px;
}
entry.velk:disabled { background: #ffffff; color: #909090; }
treeview.velk { background: #ffffff; color: #202020; font-family: "Noto Sans CJK SC"; font-size: 13px; }
treeview.velk:selected { background: #2b7be4; color: #ffffff; }
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

NativeWidgets::NativeWidgets() {
  css_ = gtk_css_provider_new();
  gtk_css_provider_load_from_data(css_, kCss, -1, nullptr);
  gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css_),
                                            GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

NativeWidgets::~NativeWidgets() {
  if (css_) g_object_unref(css_);
}

// ---------------------------------------------------------------- signals

Point NativeWidgets::window_point(const Control& c, double x, double y) {
  Point o = c.origin_in_window();
  return {o.x + static_cast<int>(x), o.y + static_cast<int>(y)};
}

gboolean NativeWidgets::draw_cb(GtkWidget*, cairo_t* cr, ControlView* v) {
  v->owner->painter.paint_control_area(cr, *v->control);
  return FALSE;  // children draw next
}

gboolean NativeWidgets::motion_cb(GtkWidget*, GdkEventMotion* e, ControlView* v) {
  Control& c = *v->control;
  c.form().app().mouse_moved(c.form(), window_point(c, e->x, e->y));
  return !v->native;
}

gboolean NativeWidgets::press_cb(GtkWidget*, GdkEventButton* e, ControlView* v) {
  if (e->type != GDK_BUTTON_PRESS || e->button != 1) return !v->native;
  Control& c = *v->control;
  NativeWidgets& widgets = *v->owner;
  widgets.press_button = e->button;
  widgets.press_x_root = static_cast<gint>(e->x_root);
  widgets.press_y_root = static_cast<gint>(e->y_root);
  widgets.press_time = e->time;
  bool native = v->native != nullptr;
  c.form().app().left_pressed(c.form(), window_point(c, e->x, e->y));
  return !native;  // native widgets also handle the press themselves
}

gboolean NativeWidgets::release_cb(GtkWidget*, GdkEventButton* e, ControlView* v) {
  if (e->button != 1) return !v->native;
  Control& c = *v->control;
  bool native = v->native != nullptr;
  c.form().app().left_released(c.form(), window_point(c, e->x, e->y));
  return !native;
}

// A pointer that jumps onto a control may bring only a crossing event, no
// motion: entering counts as a move to that place.
gboolean NativeWidgets::enter_cb(GtkWidget*, GdkEventCrossing* e, ControlView* v) {
  Control& c = *v->control;
  c.form().app().mouse_moved(c.form(), window_point(c, e->x, e->y));
  return FALSE;
}

gboolean NativeWidgets::leave_cb(GtkWidget*, GdkEventCrossing* e, ControlView* v) {
  if (e->detail != GDK_NOTIFY_INFERIOR && v->control->is_window())
    v->control->form().app().mouse_left(v->control->form());
  return FALSE;
}

void NativeWidgets::realize_cb(GtkWidget* w, ControlView* v) {
  GdkWindow* win = gtk_widget_get_window(w);
  if (!win || v->native) return;
  GdkCursor* cursor =
      gdk_cursor_new_from_name(gtk_widget_get_display(w), cursor_name(v->control->pointer()));
  gdk_window_set_cursor(win, cursor);
  if (cursor) g_object_unref(cursor);
}

void NativeWidgets::entry_changed_cb(GtkEditable* e, ControlView* v) {
  if (v->updating) return;
  Control& c = *v->control;
  c.form().app().user_edited(c, utf8_to_gbk(gtk_entry_get_text(GTK_ENTRY(e))));
}

void NativeWidgets::text_buffer_changed_cb(GtkTextBuffer* b, ControlView* v) {
  if (v->updating) return;
  GtkTextIter start, end;
  gtk_text_buffer_get_bounds(b, &start, &end);
  gchar* text = gtk_text_buffer_get_text(b, &start, &end, FALSE);
  Control& c = *v->control;
  c.form().app().user_edited(c, utf8_to_gbk(text));
  g_free(text);
}

gboolean NativeWidgets::key_cb(GtkWidget* widget, GdkEventKey* e, ControlView* v) {
  Control& c = *v->control;
  if (c.form().focus() != &c) c.form().set_focus_control(&c);
  const int vk = virtual_key(e->keyval);
  if (vk) c.form().app().key_pressed(c.form(), vk);
  // Up and down mean nothing to a one-line box but GTK's move to the next
  // widget, which would take the keys that follow away from the box (the
  // suggestion keys walk the list from the box). Every other key reaches it.
  return GTK_IS_ENTRY(widget) && (vk == key::kUp || vk == key::kDown);
}

gboolean NativeWidgets::focus_in_cb(GtkWidget*, GdkEvent*, ControlView* v) {
  v->control->form().set_focus_control(v->control);
  return FALSE;
}

void NativeWidgets::row_selected_cb(GtkTreeSelection* selection, ControlView* v) {
  if (v->updating) return;
  GtkTreeModel* model = nullptr;
  GtkTreeIter row;
  if (!gtk_tree_selection_get_selected(selection, &model, &row)) return;
  GtkTreePath* path = gtk_tree_model_get_path(model, &row);
  const int index = gtk_tree_path_get_indices(path)[0];
  gtk_tree_path_free(path);
  Control& c = *v->control;
  c.form().app().user_selected(c, index);
}

gboolean NativeWidgets::window_delete_cb(GtkWidget*, GdkEvent*, FormView* fv) {
  fv->form->app().window_close_requested(*fv->form);
  return TRUE;  // the model closes it
}

gboolean NativeWidgets::window_focus_cb(GtkWidget*, GdkEventFocus* e, FormView* fv) {
  fv->form->app().window_focus(*fv->form, e->in);
  return FALSE;
}

gboolean NativeWidgets::window_configure_cb(GtkWidget*, GdkEventConfigure* e, FormView* fv) {
  Control& w = fv->form->window();
  if (e->x != w.left() || e->y != w.top()) fv->form->app().window_moved(*fv->form, {e->x, e->y});
  return FALSE;
}

// ---------------------------------------------------------------- building

void NativeWidgets::sync_visibility(ControlView& v) {
  Control& c = *v.control;
  if (c.is_window()) return;
  bool on_page = true;
  if (c.parent() && c.parent()->kind() == Kind::TabControl && c.page() >= 0)
    on_page = c.page() == c.parent()->current_page();
  gtk_widget_set_visible(v.outer, c.visible() && on_page && c.width() > 0 && c.height() > 0);
}

void NativeWidgets::sync_geometry(FormView& fv, ControlView& v) {
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

void NativeWidgets::sync_text(ControlView& v) {
  Control& c = *v.control;
  if (!v.native) return;
  ++v.updating;
  std::string text = gbk_to_utf8(c.caption());
  if (GTK_IS_ENTRY(v.native)) {
    if (text != gtk_entry_get_text(GTK_ENTRY(v.native)))
      gtk_entry_set_text(GTK_ENTRY(v.native), text.c_str());
  } else if (GTK_IS_TEXT_VIEW(v.native)) {
    gtk_text_buffer_set_text(gtk_text_view_get_buffer(GTK_TEXT_VIEW(v.native)), text.data(),
                             static_cast<int>(text.size()));
  }
  --v.updating;
}

// The items go into a fresh store, filled before the view sees it; the view
// has rows of one fixed height and draws only those in sight, so the cost
// of a list does not grow with the rows out of view.
void NativeWidgets::sync_items(ControlView& v) {
  Control& c = *v.control;
  if (!v.native || !GTK_IS_TREE_VIEW(v.native)) return;
  ++v.updating;
  GtkListStore* store = gtk_list_store_new(1, G_TYPE_STRING);
  for (const Text& item : c.items())
    gtk_list_store_insert_with_values(store, nullptr, -1, 0, gbk_to_utf8(item).c_str(), -1);
  gtk_tree_view_set_model(GTK_TREE_VIEW(v.native), GTK_TREE_MODEL(store));
  g_object_unref(store);
  sync_selection(v);
  --v.updating;
}

void NativeWidgets::sync_selection(ControlView& v) {
  Control& c = *v.control;
  if (!v.native || !GTK_IS_TREE_VIEW(v.native)) return;
  ++v.updating;
  GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(v.native));
  if (c.selection() >= 0) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(c.selection(), -1);
    gtk_tree_selection_select_path(selection, path);
    gtk_tree_view_scroll_to_cell(GTK_TREE_VIEW(v.native), path, nullptr, FALSE, 0, 0);
    gtk_tree_path_free(path);
  } else {
    gtk_tree_selection_unselect_all(selection);
  }
  --v.updating;
}

void NativeWidgets::connect_pointer_events(GtkWidget* w, ControlView* v) {
  g_signal_connect(w, "motion-notify-event", G_CALLBACK(motion_cb), v);
  g_signal_connect(w, "button-press-event", G_CALLBACK(press_cb), v);
  g_signal_connect(w, "button-release-event", G_CALLBACK(release_cb), v);
}

ControlView& NativeWidgets::new_view(FormView& fv, Control& c) {
  auto owned = std::make_unique<ControlView>();
  ControlView& v = *owned;
  v.owner = this;
  v.control = &c;
  fv.views[&c] = std::move(owned);
  return v;
}

void NativeWidgets::build_window(FormView& fv) {
  Control& w = fv.form->window();
  fv.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_decorated(GTK_WINDOW(fv.window), FALSE);
  gtk_window_set_resizable(GTK_WINDOW(fv.window), FALSE);
  gtk_window_set_title(GTK_WINDOW(fv.window), gbk_to_utf8(w.caption()).c_str());
  g_signal_connect(fv.window, "delete-event", G_CALLBACK(window_delete_cb), &fv);
  g_signal_connect(fv.window, "focus-in-event", G_CALLBACK(window_focus_cb), &fv);
  g_signal_connect(fv.window, "focus-out-event", G_CALLBACK(window_focus_cb), &fv);
  g_signal_connect(fv.window, "configure-event", G_CALLBACK(window_configure_cb), &fv);

  ControlView& root = new_view(fv, w);
  root.outer = velk_box_new(FALSE);
  g_signal_connect(root.outer, "draw", G_CALLBACK(draw_cb), &root);
  g_signal_connect(root.outer, "realize", G_CALLBACK(realize_cb), &root);
  g_signal_connect(root.outer, "leave-notify-event", G_CALLBACK(leave_cb), &root);
  connect_pointer_events(root.outer, &root);
  gtk_container_add(GTK_CONTAINER(fv.window), root.outer);
  velk_box_set_size(VELK_BOX(root.outer), w.width(), w.height());
  gtk_widget_show(root.outer);
  for (Control* child : w.children())
    if (child->kind() != Kind::Timer && child->kind() != Kind::BalloonTip) build(fv, *child, root.outer);
  gtk_window_set_default_size(GTK_WINDOW(fv.window), std::max(1, w.width()), std::max(1, w.height()));
  gtk_window_move(GTK_WINDOW(fv.window), w.left(), w.top());
}

ControlView& NativeWidgets::build(FormView& fv, Control& c, GtkWidget* parent_box) {
  ControlView& v = new_view(fv, c);
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
    v.native = gtk_tree_view_new();
    GtkTreeView* view = GTK_TREE_VIEW(v.native);
    gtk_tree_view_set_headers_visible(view, FALSE);
    gtk_tree_view_set_enable_search(view, FALSE);
    gtk_widget_set_can_focus(v.native, FALSE);  // the keys stay with the box that fills it
    GtkCellRenderer* text = gtk_cell_renderer_text_new();
    gtk_cell_renderer_set_fixed_size(text, -1, 23);
    gtk_cell_renderer_set_padding(text, 6, 0);
    GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes("", text, "text", 0, nullptr);
    gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_append_column(view, column);
    gtk_tree_view_set_fixed_height_mode(view, TRUE);
    gtk_style_context_add_class(gtk_widget_get_style_context(v.native), "velk");
    gtk_container_add(GTK_CONTAINER(scroll), v.native);
    gtk_container_add(GTK_CONTAINER(v.outer), scroll);
    g_signal_connect(gtk_tree_view_get_selection(view), "changed", G_CALLBACK(row_selected_cb), &v);
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
  if (!c.tooltip().empty()) gtk_widget_set_tooltip_text(v.outer, gbk_to_utf8(c.tooltip()).c_str());

  gtk_fixed_put(GTK_FIXED(parent_box), v.outer, c.left(), c.top());
  velk_box_set_size(VELK_BOX(v.outer), c.width(), c.height());
  if (v.native) gtk_widget_show_all(v.outer);
  sync_visibility(v);
  for (Control* child : c.children())
    if (child->kind() != Kind::Timer && child->kind() != Kind::BalloonTip)
      build(fv, *child, v.outer);
  return v;
}

void NativeWidgets::apply_shape(FormView& fv) {
  Form& f = *fv.form;
  if (!f.shape_colour()) {
    gtk_widget_shape_combine_region(fv.window, nullptr);
    return;
  }
  Control& w = f.window();
  auto img = decode_picture(w.background_picture());
  if (!img) return;
  cairo_region_t* region = cairo_region_create();
  for (const Rect& run : KeptShapeRuns(*img, {w.width(), w.height()}, *f.shape_colour())) {
    cairo_rectangle_int_t r{run.left, run.top, run.width, run.height};
    cairo_region_union_rectangle(region, &r);
  }
  gtk_widget_shape_combine_region(fv.window, region);
  gtk_widget_input_shape_combine_region(fv.window, region);
  cairo_region_destroy(region);
}

void NativeWidgets::restack(FormView& fv, Control& c) {
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

}  // namespace velk::tk
