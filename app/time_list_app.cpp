#include "app/time_list_app.h"

#include <cstdio>

#include "app/page_failure.h"
#include "app/time_list_dialog.h"
#include "framework/cstring.h"
#include "res/resource.h"
#include "res/version_info.h"
#include "timelist/folder.h"
#include "timelist/replay_scan.h"
#include "timelist/time_list_page.h"

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
          "Usage: %s [--write] [GAME-FOLDER]\n"
          "       %s --help | --version\n"
          "Shows a dialog; OK reads GAME-FOLDER/replay/map001.bdb ... map199.bdb and writes\n"
          "GAME-FOLDER/replistEX.html, the run times of the Extra-mode rooms 111 to 151.\n"
          "Without GAME-FOLDER: the working folder if it holds replay/, else the program's\n"
          "own folder if that does, else the working folder (OK then asks first).\n"
          "A folder named replay without a replay/ of its own stands for its parent.\n"
          "\n"
          "  --write    write the page without a dialog or a display, for scripts: exit 0\n"
          "             when written; 1, the reason on stderr and nothing written, when\n"
          "             there is no replay/ folder or the page cannot be written\n"
          "  --help     show this and exit (only alone)\n"
          "  --version  show the version and exit (only alone)\n"
          "  --         end of options: a folder whose name starts with '-' follows\n"
          "\n"
          "Examples of --write, after the game exits:\n"
          "  chronolist --write ~/Games/TheGame    a launcher's post-exit script (Linux)\n"
          "  \"%%~dp0Chronolist.exe\" --write \"%%~dp0\"   a .bat beside the game (Windows)\n",
          AppName(), AppName());
      return FALSE;
    case StartChoice::Action::kVersion:
      std::printf("%s %s\n", AppName(), CHRONOLIST_VERSION_FULL);
      return FALSE;
    case StartChoice::Action::kRefuse:
      // A terminal hears of it at once; a display, if there is one, shows it too.
      std::fprintf(stderr, "%s: %s\n", AppName(), m_start.problem.c_str());
      std::fflush(stderr);  // before the box, even where stderr is buffered
      return TRUE;
    case StartChoice::Action::kWrite:
      WritePage();
      return FALSE;
    case StartChoice::Action::kRun:
      break;
  }
  return TRUE;
}

// A script has no one to ask: a page of None where there are no replays is
// refused rather than written, and every failure is one report on stderr.
void CTimeListApp::WritePage() {
  CString problem;
  if (!chronolist::HoldsReplayFolder(m_start.folder)) {
    AfxFormatString1(problem, IDS_NO_REPLAY_FOLDER_TO_WRITE,
                     chronolist::FolderName(m_start.folder).c_str());
  } else if (const chronolist::PageWriteResult result =
                 chronolist::GenerateTimeList(m_start.folder);
             !result.written()) {
    problem = chronolist::PageFailureMessage(result);
  }
  if (!problem.IsEmpty()) {
    std::fprintf(stderr, "%s: %s\n", AppName(), problem.c_str());
  }
  m_pageWritten = problem.IsEmpty();
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
  if (m_start.action == StartChoice::Action::kWrite) {
    return m_pageWritten ? 0 : 1;
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
