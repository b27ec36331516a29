#include "framework/paint_dc.h"

#include "framework/platform.h"
#include "framework/wnd.h"

namespace fw {

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
  if (m_hDC == nullptr || hIcon == nullptr) {
    return FALSE;
  }
  m_hDC->DrawIcon(x, y, hIcon);
  return TRUE;
}

CPaintDC::CPaintDC(CWnd* pWnd) : wnd_(pWnd) {
  if (wnd_ != nullptr && wnd_->Peer() != nullptr) {
    m_hDC = wnd_->Peer()->BeginPaint();
  }
}

CPaintDC::~CPaintDC() {
  if (m_hDC != nullptr && wnd_->Peer() != nullptr) {
    wnd_->Peer()->EndPaint(m_hDC);
  }
}

}  // namespace fw
