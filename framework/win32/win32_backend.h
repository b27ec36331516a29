// The Win32 backend of the framework.
//
// Implements:
//   - RunApplication (framework/application.h): installs the backend and the
//     program's resources and runs the one application object; stdout and
//     stderr reach the console of a parent that has one (cmd, a .bat);
//   - modal dialogs run by the Windows dialog manager from in-memory
//     templates (DLGTEMPLATEEX or DLGTEMPLATE) built from the shared template
//     data, with the framework's centring, message maps and default handling;
//   - the real system menu (GetSystemMenu/AppendMenu), WM_SETICON with the
//     icon resources of the executable, WM_PAINT with BeginPaint/EndPaint,
//     WM_QUERYDRAGICON, F1 (WM_HELP) as ID_HELP, error messages (MessageBoxW).
// Text is UTF-8 inside the program and UTF-16 at every Win32 call.
#pragma once
