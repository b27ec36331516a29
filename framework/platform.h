// The seam between the framework and a windowing backend. The neutral
// classes (CWnd, CDialog, CWinApp, CMenu, CPaintDC) hold their logic and ask
// a backend only for what a toolkit must do. A backend implements Platform
// once and WindowPeer per live window; tests may install a fake.
#pragma once

#include <string>

#include "framework/types.h"

namespace fw {

class CDialog;
class CWnd;
class CMenu;
struct MenuItem;
struct DialogTemplate;

// Drawing during WM_PAINT (what an HDC stands for).
class PaintContext {
 public:
  virtual ~PaintContext() = default;
  virtual void DrawIcon(int x, int y, HICON icon) = 0;
  virtual void EraseBackground() = 0;
};

// One live window, as its backend sees it.
class WindowPeer {
 public:
  virtual ~WindowPeer() = default;

  virtual bool IsIconic() const = 0;
  virtual CRect GetClientRect() const = 0;
  // Window rectangle in screen coordinates, caption included.
  virtual CRect GetWindowRect() const = 0;
  virtual void MoveTo(int left, int top) = 0;
  // The work area of the monitor the window is on (or mostly on).
  virtual CRect GetWorkArea() const = 0;
  virtual bool IsEnabled() const = 0;
  virtual void Enable(bool enable) = 0;

  virtual HICON SetIcon(WPARAM which, HICON icon) = 0;  // returns the previous one
  virtual void EndModalLoop(int result) = 0;
  // The context of the WM_PAINT being handled, or nullptr outside one.
  virtual PaintContext* BeginPaint() = 0;
  virtual void EndPaint(PaintContext* context) = 0;
  // Let the toolkit paint as usual (default WM_PAINT handling).
  virtual void DefaultPaint() = 0;

  virtual void StartMoveByKeyboard() = 0;  // SC_MOVE
  // SC_KEYMENU; the menu shows the items of CWnd::GetSystemMenu.
  virtual void ShowSystemMenu() = 0;
  // An item was appended to the window menu; a backend that renders the
  // menu from CWnd::GetSystemMenu has nothing to do.
  virtual void SystemMenuAppended(const MenuItem&) {}
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Creates the dialog's window from `dialogTemplate`, runs OnInitDialog,
  // shows it and runs a nested loop until EndDialog. Returns the EndDialog
  // result, or -1 when the window could not be created.
  virtual INT_PTR RunModalDialog(CDialog& dialog, const DialogTemplate& dialogTemplate,
                                 CWnd* owner) = 0;
  // A shared handle, valid for the life of the process; nullptr when the
  // resource is missing or unusable.
  virtual HICON LoadIcon(UINT id) = 0;
  virtual int GetSystemMetrics(int index) const = 0;
  // A modal message over `owner` (nullptr: no owner); `type` as MessageBox's
  // (MB_OK or MB_YESNO, MB_ICONERROR, MB_ICONQUESTION or no icon,
  // MB_DEFBUTTON2). Returns the button pressed (IDOK, IDYES, IDNO); closing
  // a Yes/No box any other way is No.
  virtual int ShowMessage(CWnd* owner, const std::string& caption, const std::string& text,
                          UINT type) = 0;
};

Platform& CurrentPlatform();
// Installs the backend; the previous one is returned so tests can restore it.
Platform* SetPlatform(Platform* platform);

}  // namespace fw
