// Device contexts for painting: CPaintDC opens the context of the WM_PAINT
// being handled and closes it when it goes out of scope.
#pragma once

#include "framework/types.h"

namespace fw {

class CWnd;

class CDC {
 public:
  HDC GetSafeHdc() const { return m_hDC; }
  operator HDC() const { return m_hDC; }
  BOOL DrawIcon(int x, int y, HICON hIcon);

  HDC m_hDC = nullptr;
};

class CPaintDC : public CDC {
 public:
  explicit CPaintDC(CWnd* pWnd);
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;
  ~CPaintDC();

 private:
  CWnd* wnd_;
};

}  // namespace fw
