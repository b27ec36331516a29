#include "app/time_list_app.h"

#include <cstdio>

#include "app/time_list_dialog.h"
#include "res/version_info.h"
#include "timelist/folder.h"

using namespace fw;
using chronolist::StartChoice;

BEGIN_MESSAGE_MAP(CTimeListApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CTimeListApp::CTimeListApp() = default;

BOOL CTimeListApp::InitApplication() {
  m_start =
      chronolist::ChooseStart(CommandLineArguments(), chronolist::ParentFolder(ExecutablePath()));
  switch (m_start.action) {
    case StartChoice::Action::kHelp:
      std::printf(
          "Usage: %s [GAME-FOLDER]\n"
          "Shows a dialog; OK reads GAME-FOLDER/replay/map001.bdb ... map199.bdb and writes\n"
          "GAME-FOLDER/replistEX.html, the run times of the Extra-mode rooms 111 to 151.\n"
          "Without GAME-FOLDER: the working folder if it holds replay/, else the program's\n"
          "own folder if that does, else the working folder (OK then asks first).\n"
          "\n"
          "  --help     show this and exit\n"
          "  --version  show the version and exit\n",
          AppName());
      return FALSE;
    case StartChoice::Action::kVersion:
      std::printf("%s %s\n", AppName(), CHRONOLIST_VERSION_FULL);
      return FALSE;
    case StartChoice::Action::kRefuse:
      // A terminal hears of it at once; a display, if there is one, shows it too.
      std::fprintf(stderr, "%s: %s\n", AppName(), m_start.problem.c_str());
      return TRUE;
    case StartChoice::Action::kRun:
      break;
  }
  return TRUE;
}

BOOL CTimeListApp::InitInstance() {
  Enable3dControlsStatic();

  if (m_start.action == StartChoice::Action::kRefuse) {
    AfxMessageBox(m_start.problem.c_str(), MB_OK | MB_ICONERROR);
    return FALSE;
  }

  CTimeListDialog dlg(m_start.folder);
  m_pMainWnd = &dlg;
  // OK and Cancel both end the program; ExitInstance turns the result into
  // the exit status.
  dlg.DoModal();

  // The dialog was the whole program: no message loop to run.
  return FALSE;
}

int CTimeListApp::ExitInstance() {
  if (m_start.action == StartChoice::Action::kHelp ||
      m_start.action == StartChoice::Action::kVersion) {
    return 0;
  }
  switch (MainWindowResult()) {
    case IDOK:
      return 0;
    case IDCANCEL:
      return 1;
    default:
      return 2;
  }
}

// A refused command line has been reported on stderr already: one line is
// enough.
void CTimeListApp::ReportNoDisplay(const char* reason) {
  if (m_start.action != StartChoice::Action::kRefuse) {
    CWinApp::ReportNoDisplay(reason);
  }
}
