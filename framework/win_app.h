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
  // The process's exit status; the framework's own choice is 0. The
  // application decides what its main window's result means.
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
  // What the main window's DoModal returned; -1 while it has not ended, or
  // when it could not be shown.
  INT_PTR MainWindowResult() const { return mainWindowResult_; }

  CWnd* m_pMainWnd = nullptr;

 private:
  std::string appName_;
  INT_PTR mainWindowResult_ = -1;
};

CWinApp* AfxGetApp();

// Runs the application object: InitInstance, then ExitInstance, whose value
// is returned as the exit status (1 when there is no application object).
int AfxWinMain(const char* argv0);

}  // namespace fw
