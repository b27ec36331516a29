// The application object: runs the main dialog once and lets the process end
// with a status that says how the dialog ended.
#pragma once

#include "framework/afxwin.h"

class CTimeListApp : public fw::CWinApp {
 public:
  CTimeListApp();

  fw::BOOL InitInstance() override;
  // 0 after OK (the page was written), 1 after Cancel, 2 when the dialog
  // could not be shown at all.
  int ExitInstance() override;

  DECLARE_MESSAGE_MAP()
};
