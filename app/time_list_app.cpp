#include "app/time_list_app.h"

#include "app/time_list_dialog.h"

using namespace fw;

BEGIN_MESSAGE_MAP(CTimeListApp, CWinApp)
  ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CTimeListApp::CTimeListApp() = default;

BOOL CTimeListApp::InitInstance() {
  Enable3dControlsStatic();

  CTimeListDialog dlg;
  m_pMainWnd = &dlg;
  // OK and Cancel both end the program; ExitInstance turns the result into
  // the exit status.
  dlg.DoModal();

  // The dialog was the whole program: no message loop to run.
  return FALSE;
}

int CTimeListApp::ExitInstance() {
  switch (MainWindowResult()) {
    case IDOK:
      return 0;
    case IDCANCEL:
      return 1;
    default:
      return 2;
  }
}
