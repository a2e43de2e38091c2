#pragma once
// The GTK widget behind every drawn control: a GtkFixed with a window of its
// own (so it clips its children and stacks like a control), exactly the size
// the model gives it however large its children are, and optionally handing
// its whole area to a single native child (an entry, a list, a web view)
// whatever that child's own minimum size.
#include <gtk/gtk.h>

G_BEGIN_DECLS

#define VELK_TYPE_BOX (velk_box_get_type())
G_DECLARE_FINAL_TYPE(VelkBox, velk_box, VELK, BOX, GtkFixed)

GtkWidget* velk_box_new(gboolean fill_child);
void velk_box_set_size(VelkBox* box, int width, int height);

G_END_DECLS
