// The GTK 3 backend of the framework: the Platform and a WindowPeer per
// dialog, over X11 (XWayland included) or Wayland.
//
// Implemented:
//  [X] RunApplication (framework/application.h): the display opened (X11
//      whenever a server is there, GDK_BACKEND still wins; one line on
//      stderr, under the program's name, when there is none), the backend and
//      the program's resources installed, the one application object run.
//  [X] Modal dialogs from dialog templates: a fixed-size window whose client
//      area is the template converted with the dialog font's real metrics
//      (HiDPI follows), the owner disabled while it runs.
//  [X] Controls: push buttons (the default one marked), left-aligned static
//      texts, icons; a control whose text does not fit grows, and the dialog
//      with it (framework/text_fit.h).
//  [X] A caption bar drawn by the program on every desktop (icon, caption,
//      close box; dragged to move), the same under any window manager.
//  [X] The Windows keyboard rules of framework/dialog_keys.h on GDK's keys;
//      the close box and the window manager's close as Cancel.
//  [X] The window (system) menu, rendered from CWnd::GetSystemMenu, opened
//      from the icon, a right click on the caption bar or Alt+Space.
//  [X] Centring over the owner or the work area, and the keyboard move
//      (SC_MOVE, arrow keys), on X11.
//  [X] WM_SETICON, WM_PAINT with a cairo paint context; icons decoded from the program's icon
//  resources at the screen's scale. [X] Message boxes laid out as Windows lays them out, in the
//  dialog font:
//      MB_OK and MB_YESNO, MB_ICONERROR and MB_ICONQUESTION (the theme's
//      icons), MB_DEFBUTTON2, bare access letters.
// Not implemented:
//  [ ] Placing a window on Wayland: a client can neither read nor set its
//      window's position there, so centring is the compositor's, and the
//      keyboard move (SC_MOVE) does nothing. The mouse move works (the
//      compositor's own drag).
//  [ ] Other controls (edit boxes, check boxes, lists), centred or right-
//      aligned texts, resizable or minimizable dialogs: no template uses them.
//  [ ] Other message box buttons and icons (MB_OKCANCEL, MB_ICONWARNING ...):
//      the program asks nothing else.
//  [ ] WM_QUERYDRAGICON: no desktop here asks a window for the icon of a
//      minimized window being dragged.
//  [ ] GetSystemMetrics beyond the icon sizes (SM_CXICON, SM_CXSMICON and
//      their heights): 0 for any other index.
//
// Files: gtk_platform.cpp (the entry and the Platform), gtk_dialog_window.*
// (a dialog's window; its keys, focus and keyboard move in
// gtk_dialog_keyboard.cpp), gtk_caption_bar.* (caption bar and window menu),
// gtk_dialog_font.* (the font and its base units), gtk_dialog_style.* (a
// dialog's style sheet), gtk_text_fit.* (controls measured for their texts),
// gtk_icons.*, gtk_message_box.*, gtk_display.* (X11 or Wayland),
// gobject_ptr.h (owning references to toolkit objects).
#pragma once
