// The process entry point of a program built on the Win32 backend. The
// command line is not the program's to interpret and is ignored.
#include "framework/win32/win32_backend.h"

// After the framework's headers, on purpose: see windows_api.h.
#include "framework/win32/windows_api.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return fw::win32::RunApplication();
}
