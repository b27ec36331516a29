// CWinApp: the one application object and the program's entry sequence.
// A dialog-based program runs its dialog inside InitInstance and returns
// FALSE, so the framework runs no message loop of its own.
#pragma once

#include <string>

#include "framework/cmd_target.h"
#include "framework/types.h"

namespace fw {

class CWnd;

class CWinApp : public CCmdTarget {
 public:
  // With no name, the framework takes the executable's name at start-up.
  explicit CWinApp(const char* lpszAppName = nullptr);
  ~CWinApp() override;

  virtual BOOL InitInstance();
  // The process's exit status: 0 when the main dialog ended with OK, 1 when
  // it ended with Cancel, 2 when it could not be shown at all.
  virtual int ExitInstance();

  HICON LoadIcon(UINT nIDResource) const;
  // The 3-D control look is the platform's own nowadays.
  BOOL Enable3dControlsStatic() { return TRUE; }
  // The program carries no help content: the help command has nothing to
  // show, and says so by doing nothing.
  void OnHelp();

  const char* AppName() const { return appName_.c_str(); }
  void SetAppNameFromExecutable(const char* argv0);
  // Called by CDialog::DoModal when the main window's dialog has ended.
  void OnMainWindowEnded(INT_PTR result);

  CWnd* m_pMainWnd = nullptr;

 private:
  std::string appName_;
  INT_PTR mainWindowResult_ = -1;
};

CWinApp* AfxGetApp();

// Runs the application object: InitInstance, then ExitInstance, whose value
// is returned as the exit status.
int AfxWinMain(const char* argv0);

}  // namespace fw
