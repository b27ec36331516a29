#include "framework/gtk/gtk_display.h"

#include <cstring>

#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
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

void AnnounceOwnFrame(GtkWidget* window) {
#ifdef GDK_WINDOWING_WAYLAND
  // After GTK's own handler, which asks for the compositor's frame.
  g_signal_connect_after(window, "realize", G_CALLBACK(+[](GtkWidget* widget, gpointer) {
                           GdkWindow* native = gtk_widget_get_window(widget);
                           if (GDK_IS_WAYLAND_WINDOW(native)) {
                             gdk_wayland_window_announce_csd(native);
                           }
                         }),
                         nullptr);
#else
  (void)window;
#endif
}

void SilenceSeatlessKeyboardAssertion() {
  g_log_set_handler(
      "Gdk", static_cast<GLogLevelFlags>(G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL),
      [](const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer) {
        if (std::strstr(message, "gdk_seat_get_keyboard: assertion") == nullptr) {
          g_log_default_handler(domain, level, message, nullptr);
        }
      },
      nullptr);
}

}  // namespace fw::gtk
