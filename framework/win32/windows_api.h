// <windows.h> for the Win32 backend. Include it after every framework
// header: the framework declares members named like Win32 functions
// (SendMessage, LoadIcon, AppendMenu, ...), which windows.h turns into macros.
#pragma once

#include <windows.h>
// CommandLineToArgvW, which WIN32_LEAN_AND_MEAN leaves out.
#include <shellapi.h>

#undef AppendMenu
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef SendMessage

#include <memory>
#include <type_traits>

namespace fw::win32 {

// Owning guards for the system's objects, so that no path out forgets one.

// The deleter of an owning unique_ptr: calls `Free`, never with null.
template <auto Free>
struct FreeWith {
  template <class T>
  void operator()(T* object) const {
    Free(object);
  }
};

// A font (or another GDI object) of our own, deleted with the guard.
using FontPtr = std::unique_ptr<std::remove_pointer_t<HFONT>, FreeWith<::DeleteObject>>;
// A block the system allocated for us (CommandLineToArgvW's).
template <class T>
using LocalPtr = std::unique_ptr<T, FreeWith<::LocalFree>>;

// The device context of `window` (nullptr: the screen's), released with the
// guard.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_ != nullptr) {
      ::ReleaseDC(window_, dc_);
    }
  }
  ::HDC get() const { return dc_; }

 private:
  HWND window_;
  ::HDC dc_;
};

// `object` selected into `dc` while the guard lives; the one it replaced goes
// back after. A null object selects nothing.
class SelectedObject {
 public:
  SelectedObject(::HDC dc, HGDIOBJ object)
      : dc_(dc), previous_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (previous_ != nullptr) {
      ::SelectObject(dc_, previous_);
    }
  }

 private:
  ::HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace fw::win32
