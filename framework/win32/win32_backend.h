// The Win32 backend of the framework.
//
// Implements:
//   - the process entry point (WinMain): installs the backend and runs the
//     one application object; its exit status is the program's;
//   - modal dialogs run by the Windows dialog manager from in-memory
//     templates (DLGTEMPLATEEX or DLGTEMPLATE) built from the shared template
//     data, with the framework's centring, message maps and default handling;
//   - the real system menu (GetSystemMenu/AppendMenu), WM_SETICON with the
//     icon resources of the executable, WM_PAINT with BeginPaint/EndPaint,
//     WM_QUERYDRAGICON, F1 (WM_HELP) as ID_HELP, error messages (MessageBoxW).
// Text is UTF-8 inside the program and UTF-16 at every Win32 call.
#pragma once

namespace fw::win32 {

// Installs the backend and runs the application object; returns the exit
// status.
int RunApplication();

}  // namespace fw::win32
