// CWnd: a window as the application sees it. Messages sent to it go through
// its message map and then to the default handling; the toolkit side lives in
// the WindowPeer that a backend attaches while the window exists.
#pragma once

#include <memory>

#include "framework/cmd_target.h"
#include "framework/menu.h"
#include "framework/types.h"

namespace fw {

class WindowPeer;

inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_YESNO = 0x0004;
inline constexpr UINT MB_TYPEMASK = 0x000F;
inline constexpr UINT MB_ICONERROR = 0x0010;
inline constexpr UINT MB_ICONQUESTION = 0x0020;
inline constexpr UINT MB_ICONMASK = 0x00F0;
inline constexpr UINT MB_DEFBUTTON2 = 0x0100;
inline constexpr UINT MB_DEFMASK = 0x0F00;

class CWnd : public CCmdTarget {
 public:
  CWnd();
  ~CWnd() override;

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // The window menu, created on first use; nullptr for a window without
  // WS_SYSMENU. The program only reads and appends to it, so the revert form
  // is not provided: bRevert TRUE returns nullptr and leaves the menu as is.
  CMenu* GetSystemMenu(BOOL bRevert);
  BOOL IsIconic() const;
  void GetClientRect(LPRECT rect) const;
  BOOL IsWindowEnabled() const;
  // Returns whether the window was disabled before, as Win32 does.
  BOOL EnableWindow(BOOL enable = TRUE);
  // Centres over `alternateOwner` (or the work area) and keeps the window
  // inside the work area of that monitor.
  void CenterWindow(CWnd* alternateOwner = nullptr);
  // A modal message over this window; returns the button pressed (IDOK,
  // IDYES, IDNO).
  int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

  // Backend side.
  void AttachPeer(WindowPeer* peer, bool hasSystemMenu);
  void DetachPeer();
  WindowPeer* Peer() const { return peer_; }
  // Entry point for messages the backend delivers.
  LRESULT DeliverMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
  }

 protected:
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  // The default handling of the message being handled now.
  LRESULT Default();

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HCURSOR OnQueryDragIcon();

 private:
  struct Message {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };

  WindowPeer* peer_ = nullptr;
  bool hasSystemMenu_ = false;
  std::unique_ptr<CMenu> systemMenu_;
  Message current_;
};

// The backend window behind `wnd`: nullptr when there is none, or when it
// is not a `Peer`.
template <class Peer>
Peer* PeerOf(const CWnd* wnd) {
  return wnd != nullptr ? dynamic_cast<Peer*>(wnd->Peer()) : nullptr;
}

int GetSystemMetrics(int index);

// A modal message over the application's main window, or over no window
// before there is one, titled with the program's name.
int AfxMessageBox(const char* text, UINT type = MB_OK);

}  // namespace fw
