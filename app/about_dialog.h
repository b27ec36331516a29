// The About box: the application icon and the version, reached from the main
// dialog's system menu.
#pragma once

#include "framework/afxwin.h"

class CAboutDialog : public fw::CDialog {
 public:
  CAboutDialog();

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;

  DECLARE_MESSAGE_MAP()
};
