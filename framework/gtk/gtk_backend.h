// The GTK 3 backend of the framework.
//
// Implements:
//   - RunApplication (framework/application.h): opens the display (one line
//     on stderr, under the program's name, when there is none), installs the
//     backend and the program's resources, runs the one application object;
//   - modal dialogs from dialog templates: a fixed-size window whose client
//     area is the template converted with the dialog font's real metrics,
//     push buttons, left-aligned static texts and icons, a compact caption bar
//     drawn by the program (icon, caption, close box) on every desktop;
//   - the Windows keyboard rules of framework/dialog_keys.h on GDK's keys;
//     the close box and the window manager's close as Cancel;
//   - the window (system) menu from the icon, a right click on the caption
//     bar or Alt+Space;
//   - WM_SETICON, WM_PAINT (with a cairo paint context), icons decoded from
//     the program's icon resources;
//   - message boxes laid out as Windows lays them out, in the dialog font,
//     with the theme's question and error icons and bare access letters.
//
// Files: gtk_platform.cpp (the entry and the Platform), gtk_dialog_window.*
// (a dialog's window), gtk_dialog_keyboard.cpp, gtk_caption_bar.*,
// gtk_dialog_font.*, gtk_dialog_style.*, gtk_icons.*, gtk_display.*,
// gtk_message_box.*.
#pragma once
