// The Win32 backend of the framework: the Platform and a WindowPeer per
// dialog, over the Windows dialog manager. Text is UTF-8 inside the program
// and UTF-16 at every Win32 call.
//
// Implemented:
//  [X] RunApplication (framework/application.h): the backend and the
//      program's resources installed, the one application object run; the
//      arguments read in UTF-16; stdout and stderr reach the console of a
//      parent that has one (cmd, a .bat), in UTF-8.
//  [X] Modal dialogs run by the dialog manager from in-memory templates
//      (DLGTEMPLATEEX or DLGTEMPLATE) built from the shared template data,
//      with the framework's centring, message maps and default handling;
//      laid out for each monitor's DPI (the manifest's PerMonitorV2).
//  [X] The template's face, or a Japanese face that has the dialog's glyphs
//      when the system's stand-in for it has not (a Wine prefix); a control
//      whose text does not fit grows, and the dialog with it.
//  [X] The system's own window menu (GetSystemMenu/AppendMenu), keyboard
//      move and caption: Windows places and moves every window itself.
//  [X] WM_SETICON with the executable's icon resources, WM_PAINT with
//      BeginPaint/EndPaint, WM_QUERYDRAGICON, F1 (WM_HELP) as ID_HELP.
//  [X] Message boxes: MessageBoxW, every MB_ type the system has.
// Not implemented:
//  [ ] Modeless windows and any window but a dialog: the program has none.
//  [ ] Messages outside its map's kinds (WM_COMMAND, WM_SYSCOMMAND,
//      WM_PAINT, WM_QUERYDRAGICON, WM_CLOSE, WM_HELP) reach the dialog
//      manager only, never the program: it maps no others.
//
// Files: win32_platform.cpp (the entry, the Platform and the dialog peer),
// win32_dialog_font.* (the face given to the dialog manager),
// win32_text_fit.* (controls measured for their texts), windows_api.h
// (<windows.h> without its clashing macros).
#pragma once
