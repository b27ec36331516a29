// The application object: runs the main dialog once and lets the process end
// with a status that says how the dialog ended.
#pragma once

#include "app/game_folder.h"
#include "framework/afxwin.h"

class CTimeListApp : public fw::CWinApp {
 public:
  CTimeListApp();

  // Reads the command line and chooses the game folder; prints the usage or
  // the version and ends there, or says what is wrong with the arguments.
  fw::BOOL InitApplication() override;
  fw::BOOL InitInstance() override;
  // 0 after OK (the page was written) and after --help or --version, 1 after
  // Cancel, 2 when the dialog was not shown (a bad argument, no display).
  // --write: 0 when the page was written, 1 when it was not.
  int ExitInstance() override;
  void ReportNoDisplay(const char* reason) override;

 private:
  // Until InitApplication says otherwise: the working folder, as it is.
  chronolist::StartChoice m_start;
  bool m_pageWritten = false;

  // --write: the page written in the game folder, with no dialog.
  void WritePage();

  DECLARE_MESSAGE_MAP()
};
