#include "framework/gtk/gtk_text_fit.h"

#include "framework/text_fit.h"

namespace fw::gtk {

void FitWidgetsToTexts(GtkFixed* fixed, const std::vector<PlacedWidget>& widgets, int& clientWidth,
                       int& clientHeight) {
  std::vector<FitControl> controls;
  for (const PlacedWidget& placed : widgets) {
    FitControl control{placed.rect, 0, 0, placed.isButton};
    if (placed.hasText) {
      // Never less than the size request: a text that fits needs no more.
      // (A hidden widget measures nothing; the dialog shows them all anyway.)
      gtk_widget_show(placed.widget);
      GtkRequisition natural;
      gtk_widget_get_preferred_size(placed.widget, nullptr, &natural);
      control.neededWidth = natural.width;
      control.neededHeight = natural.height;
    }
    controls.push_back(control);
  }
  const FittedDialog fitted = FitControlsToText(clientWidth, clientHeight, controls);
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    const CRect& rect = fitted.rects[i];
    if (!(rect == widgets[i].rect)) {
      gtk_fixed_move(fixed, widgets[i].widget, rect.left, rect.top);
      gtk_widget_set_size_request(widgets[i].widget, rect.Width(), rect.Height());
    }
  }
  clientWidth = fitted.clientWidth;
  clientHeight = fitted.clientHeight;
}

}  // namespace fw::gtk
