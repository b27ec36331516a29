// The main dialog: says what the program will do; OK writes the time list
// page and closes, Cancel closes without touching anything.
#pragma once

#include <string>

#include "framework/afxwin.h"

class CTimeListDialog : public fw::CDialog {
 public:
  // `gameFolder`: where the replays are read and the page written; empty
  // for the working folder.
  explicit CTimeListDialog(std::string gameFolder = {}, fw::CWnd* pParent = nullptr);

 protected:
  void DoDataExchange(fw::CDataExchange* pDX) override;
  fw::BOOL OnInitDialog() override;
  void OnOK() override;

  void OnSysCommand(fw::UINT nID, fw::LPARAM lParam);
  void OnPaint();
  fw::HCURSOR OnQueryDragIcon();

  fw::HICON m_hAppIcon;
  std::string m_gameFolder;

  DECLARE_MESSAGE_MAP()
};
