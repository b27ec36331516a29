// Which windowing system GDK opened. Kept apart because gdkx.h brings Xlib's
// macros (None, Bool, Status), which clash with the framework's names.
#pragma once

#include <gtk/gtk.h>

namespace fw::gtk {

// True when `widget`'s display is an X11 one (XWayland included).
bool IsX11(GtkWidget* widget);

// Once `window` is realized, tells a Wayland compositor that the window draws
// its own frame: undecorated, GTK asks for the compositor's, and sway or KWin
// would put a title bar of theirs above ours.
void AnnounceOwnFrame(GtkWidget* window);

// GTK 3 asserts when a Wayland display has no seat at all (a compositor with
// no input devices) as it looks for the keyboard's keymap; the message tells
// the user nothing, so it is dropped and every other one kept.
void SilenceSeatlessKeyboardAssertion();

}  // namespace fw::gtk
