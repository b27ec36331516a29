// The GTK 3 backend of the framework.
//
// Implements:
//   - the process entry point: opens the display (exit status 2 and one line
//     on stderr when there is none), installs the backend, runs the one
//     application object;
//   - modal dialogs from dialog templates: a fixed-size window whose client
//     area is the template converted with the dialog font's real metrics,
//     push buttons, left-aligned static texts and icons, a compact caption bar
//     drawn by the program (icon, caption, close box) on every desktop;
//   - Windows keyboard rules: Enter, Esc, Tab/Shift+Tab, Space, F1, Alt+F4,
//     Alt+Space; the close box and the window manager's close as Cancel;
//   - the window (system) menu from the icon, a right click on the caption
//     bar or Alt+Space;
//   - WM_SETICON, WM_PAINT (with a cairo paint context), icons decoded from
//     the program's .ico resources, error messages.
#pragma once

namespace fw::gtk {

// Opens the display, installs the backend and runs the application object.
// Returns the process's exit status.
int RunApplication(int argc, char** argv);

}  // namespace fw::gtk
