// Which windowing system GDK opened. Kept apart because gdkx.h brings Xlib's
// macros (None, Bool, Status), which clash with the framework's names.
#pragma once

#include <gtk/gtk.h>

namespace fw::gtk {

// True when `widget`'s display is an X11 one (XWayland included).
bool IsX11(GtkWidget* widget);

}  // namespace fw::gtk
