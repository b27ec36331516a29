// The GTK backend's part in fitting a dialog to its texts: each label and
// button measured at its natural size in the dialog's style.
#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "framework/types.h"

namespace fw::gtk {

struct PlacedWidget {
  GtkWidget* widget;
  CRect rect;  // from the template, in client pixels
  bool isButton;
  bool hasText;
};

// Grows the widgets of `fixed` whose texts would not fit their rectangles,
// and the client size with them (framework/text_fit.h).
void FitWidgetsToTexts(GtkFixed* fixed, const std::vector<PlacedWidget>& widgets, int& clientWidth,
                       int& clientHeight);

}  // namespace fw::gtk
