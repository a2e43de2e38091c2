#include "toolkit/gtk/velk_box.h"

struct _VelkBox {
  GtkFixed parent_instance;
  gboolean fill_child;
  int width;
  int height;
};

G_DEFINE_TYPE(VelkBox, velk_box, GTK_TYPE_FIXED)

namespace {

void preferred_width_cb(GtkWidget* widget, gint* minimum, gint* natural) {
  *minimum = *natural = VELK_BOX(widget)->width;
}

void preferred_height_cb(GtkWidget* widget, gint* minimum, gint* natural) {
  *minimum = *natural = VELK_BOX(widget)->height;
}

void size_allocate_cb(GtkWidget* widget, GtkAllocation* allocation) {
  GTK_WIDGET_CLASS(velk_box_parent_class)->size_allocate(widget, allocation);
  VelkBox* box = VELK_BOX(widget);
  if (!box->fill_child) return;
  GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
  for (GList* l = children; l; l = l->next) {
    GtkWidget* child = GTK_WIDGET(l->data);
    int ignored_min, ignored_nat;
    // GTK wants a measure before an allocation.
    gtk_widget_get_preferred_width(child, &ignored_min, &ignored_nat);
    gtk_widget_get_preferred_height(child, &ignored_min, &ignored_nat);
    GtkAllocation all = {0, 0, allocation->width, allocation->height};
    gtk_widget_size_allocate(child, &all);
  }
  g_list_free(children);
}

}  // namespace

static void velk_box_class_init(VelkBoxClass* klass) {
  GtkWidgetClass* widget_class = GTK_WIDGET_CLASS(klass);
  widget_class->get_preferred_width = preferred_width_cb;
  widget_class->get_preferred_height = preferred_height_cb;
  widget_class->size_allocate = size_allocate_cb;
}

static void velk_box_init(VelkBox* box) {
  gtk_widget_set_has_window(GTK_WIDGET(box), TRUE);
  gtk_widget_add_events(GTK_WIDGET(box), GDK_POINTER_MOTION_MASK | GDK_BUTTON_PRESS_MASK |
                                             GDK_BUTTON_RELEASE_MASK | GDK_LEAVE_NOTIFY_MASK |
                                             GDK_ENTER_NOTIFY_MASK);
}

GtkWidget* velk_box_new(gboolean fill_child) {
  auto* box = VELK_BOX(g_object_new(VELK_TYPE_BOX, nullptr));
  box->fill_child = fill_child;
  return GTK_WIDGET(box);
}

void velk_box_set_size(VelkBox* box, int width, int height) {
  if (box->width == width && box->height == height) return;
  box->width = width;
  box->height = height;
  gtk_widget_queue_resize(GTK_WIDGET(box));
}
