#pragma once
// The native side of the GTK backend: the widgets behind every control, all
// their signals connected in one place, and the syncing of a control's
// model values into its widgets. Every drawn control is a VelkBox (a GtkFixed
// with a window of its own); edit boxes, lists and web views put a native
// widget inside theirs. Input on any of them goes back into the model
// through the App.
#include <gtk/gtk.h>

#include <map>
#include <memory>
#include <string>

#include "toolkit/form.h"
#include "toolkit/gtk/painter.h"
#include "toolkit/gtk/web_view.h"

namespace velk::tk {

class NativeWidgets;

// The widgets of one control.
struct ControlView {
  NativeWidgets* owner = nullptr;
  Control* control = nullptr;
  GtkWidget* outer = nullptr;    // the VelkBox placed in the parent's box
  GtkWidget* native = nullptr;   // entry, text view, list box or web view inside it
  std::unique_ptr<WebView> web;  // the engine of a web view
  int updating = 0;              // >0 while the model writes into the native widget
};

// The widgets of one window, kept in the Form's backend data.
struct FormView {
  Form* form = nullptr;
  GtkWidget* window = nullptr;
  std::map<const Control*, std::unique_ptr<ControlView>> views;
  ControlView* view(const Control& c) {
    auto it = views.find(&c);
    return it == views.end() ? nullptr : it->second.get();
  }
};

inline FormView* form_view(Form& f) { return static_cast<FormView*>(f.backend_data.get()); }

class NativeWidgets {
 public:
  // Loads the style of the native widgets for the screen.
  NativeWidgets();
  ~NativeWidgets();
  NativeWidgets(const NativeWidgets&) = delete;
  NativeWidgets& operator=(const NativeWidgets&) = delete;

  // The top-level window of a form and the widgets of all its controls.
  void build_window(FormView& fv);
  // Model values into the widgets.
  void sync_visibility(ControlView& v);
  void sync_geometry(FormView& fv, ControlView& v);
  void sync_text(ControlView& v);
  void sync_items(ControlView& v);
  void sync_selection(ControlView& v);
  void apply_shape(FormView& fv);
  void restack(FormView& fv, Control& c);

  PictureCache pictures;
  Painter painter{pictures};
  // The press that a caption drag starts from.
  guint press_button = 0;
  gint press_x_root = 0, press_y_root = 0;
  guint32 press_time = 0;

 private:
  ControlView& build(FormView& fv, Control& c, GtkWidget* parent_box);
  ControlView& new_view(FormView& fv, Control& c);
  void connect_pointer_events(GtkWidget* w, ControlView* v);

  // Signal handlers.
  static Point window_point(const Control& c, double x, double y);
  static gboolean draw_cb(GtkWidget*, cairo_t* cr, ControlView* v);
  static gboolean motion_cb(GtkWidget*, GdkEventMotion* e, ControlView* v);
  static gboolean press_cb(GtkWidget*, GdkEventButton* e, ControlView* v);
  static gboolean release_cb(GtkWidget*, GdkEventButton* e, ControlView* v);
  static gboolean enter_cb(GtkWidget*, GdkEventCrossing* e, ControlView* v);
  static gboolean leave_cb(GtkWidget*, GdkEventCrossing* e, ControlView* v);
  static void realize_cb(GtkWidget* w, ControlView* v);
  static void entry_changed_cb(GtkEditable* e, ControlView* v);
  static void text_buffer_changed_cb(GtkTextBuffer* b, ControlView* v);
  static gboolean key_cb(GtkWidget* widget, GdkEventKey* e, ControlView* v);
  static gboolean focus_in_cb(GtkWidget*, GdkEvent*, ControlView* v);
  static void row_selected_cb(GtkTreeSelection* selection, ControlView* v);
  static gboolean window_delete_cb(GtkWidget*, GdkEvent*, FormView* fv);
  static gboolean window_focus_cb(GtkWidget*, GdkEventFocus* e, FormView* fv);
  static gboolean window_configure_cb(GtkWidget*, GdkEventConfigure* e, FormView* fv);

  GtkCssProvider* css_ = nullptr;
};

}  // namespace velk::tk
