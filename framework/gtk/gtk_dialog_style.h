// The look of a dialog window: one style sheet per dialog, scoped to its own
// window, giving its client area and caption bar the template's font, the
// compact Windows-sized buttons and the mark of the default button.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "framework/dialog_template.h"
#include "framework/gtk/gobject_ptr.h"

namespace fw::gtk {

// The parts carry the style classes fw-frame, fw-caption, fw-client and,
// on the push button Enter presses, fw-default.
//
// Applies the style of dialog `dialogTemplate`, drawn in `fontFamily`, to
// `window` (a toplevel). The sheet stays installed on the screen for as long
// as the returned provider is; RemoveDialogStyle takes it off.
GObjectPtr<GtkCssProvider> ApplyDialogStyle(GtkWidget* window, const DialogTemplate& dialogTemplate,
                                            const std::string& fontFamily);
void RemoveDialogStyle(GObjectPtr<GtkCssProvider>& provider);

}  // namespace fw::gtk
