#include "framework/wnd.h"

#include "framework/placement.h"
#include "framework/platform.h"
#include "framework/sys_command.h"
#include "framework/win_app.h"

namespace fw {

CWnd::CWnd() = default;
CWnd::~CWnd() = default;

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return WindowProc(message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Handlers may send messages of their own: keep the outer one for Default().
  const Message outer = current_;
  current_ = {message, wParam, lParam};
  LRESULT result = 0;
  const bool handled = message == WM_COMMAND ? OnCommand(wParam, lParam)
                                             : OnWndMsg(message, wParam, lParam, &result);
  if (!handled) {
    result = DefWindowProc(message, wParam, lParam);
  }
  current_ = outer;
  return result;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
  return OnCmdMsg(LOWORD(wParam)) ? TRUE : FALSE;
}

LRESULT CWnd::Default() {
  return DefWindowProc(current_.message, current_.wParam, current_.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      switch (DefaultSysCommandAction(static_cast<UINT>(wParam))) {
        case SysCommandAction::Close:
          SendMessage(WM_CLOSE);
          break;
        case SysCommandAction::Move:
          if (peer_ != nullptr) {
            peer_->StartMoveByKeyboard();
          }
          break;
        case SysCommandAction::ShowMenu:
          if (peer_ != nullptr) {
            peer_->ShowSystemMenu();
          }
          break;
        case SysCommandAction::None:
          break;
      }
      return 0;
    case WM_SETICON:
      return peer_ == nullptr ? 0
                              : reinterpret_cast<LRESULT>(
                                    peer_->SetIcon(wParam, reinterpret_cast<HICON>(lParam)));
    case WM_PAINT:
      if (peer_ != nullptr) {
        peer_->DefaultPaint();
      }
      return 0;
    case WM_ICONERASEBKGND:
      if (HDC dc = reinterpret_cast<HDC>(wParam)) {
        dc->EraseBackground();
        return 1;
      }
      return 0;
    default:
      return 0;
  }
}

void CWnd::OnSysCommand(UINT, LPARAM) {
  Default();
}
void CWnd::OnPaint() {
  Default();
}
HCURSOR CWnd::OnQueryDragIcon() {
  return reinterpret_cast<HCURSOR>(Default());
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) {
  if (bRevert || !hasSystemMenu_) {
    return nullptr;
  }
  if (!systemMenu_) {
    systemMenu_ = std::make_unique<CMenu>(CMenu::DialogSystemMenu());
    systemMenu_->SetAppendObserver([this](const MenuItem& item) {
      if (peer_ != nullptr) {
        peer_->SystemMenuAppended(item);
      }
    });
  }
  return systemMenu_.get();
}

BOOL CWnd::IsIconic() const {
  return peer_ != nullptr && peer_->IsIconic() ? TRUE : FALSE;
}

void CWnd::GetClientRect(LPRECT rect) const {
  *rect = peer_ != nullptr ? peer_->GetClientRect() : CRect();
}

BOOL CWnd::IsWindowEnabled() const {
  return peer_ != nullptr && peer_->IsEnabled() ? TRUE : FALSE;
}

BOOL CWnd::EnableWindow(BOOL enable) {
  const BOOL wasDisabled = IsWindowEnabled() ? FALSE : TRUE;
  if (peer_ != nullptr) {
    peer_->Enable(enable != FALSE);
  }
  return wasDisabled;
}

void CWnd::CenterWindow(CWnd* alternateOwner) {
  if (peer_ == nullptr) {
    return;
  }
  const bool overOwner = alternateOwner != nullptr && alternateOwner->peer_ != nullptr;
  const CRect workArea = overOwner ? alternateOwner->peer_->GetWorkArea() : peer_->GetWorkArea();
  const CRect over = overOwner ? alternateOwner->peer_->GetWindowRect() : workArea;
  const CRect placed = CentreWindowRect(peer_->GetWindowRect(), over, workArea);
  peer_->MoveTo(placed.left, placed.top);
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  // Without a caption the message is titled with the program's name.
  const CWinApp* app = AfxGetApp();
  const std::string title = caption != nullptr ? caption : app != nullptr ? app->Title() : "";
  return CurrentPlatform().ShowMessage(this, title, text, type);
}

int AfxMessageBox(const char* text, UINT type) {
  const CWinApp* app = AfxGetApp();
  CWnd* owner = app != nullptr ? app->m_pMainWnd : nullptr;
  if (owner != nullptr && owner->Peer() != nullptr) {
    return owner->MessageBox(text, nullptr, type);
  }
  return CurrentPlatform().ShowMessage(nullptr, app != nullptr ? app->Title() : "", text, type);
}

void CWnd::AttachPeer(WindowPeer* peer, bool hasSystemMenu) {
  peer_ = peer;
  hasSystemMenu_ = hasSystemMenu;
}

void CWnd::DetachPeer() {
  peer_ = nullptr;
  hasSystemMenu_ = false;
  systemMenu_.reset();
}

int GetSystemMetrics(int index) {
  return CurrentPlatform().GetSystemMetrics(index);
}

}  // namespace fw
