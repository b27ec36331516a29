#include "framework/gtk/gtk_display.h"

#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

namespace fw::gtk {

bool IsX11(GtkWidget* widget) {
#ifdef GDK_WINDOWING_X11
  return GDK_IS_X11_DISPLAY(gtk_widget_get_display(widget));
#else
  (void)widget;
  return false;
#endif
}

}  // namespace fw::gtk
