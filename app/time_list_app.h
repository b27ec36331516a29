// The application object: runs the main dialog once and lets the process end.
#pragma once

#include "framework/afxwin.h"

class CTimeListApp : public fw::CWinApp {
 public:
  CTimeListApp();

  fw::BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};
