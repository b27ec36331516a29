// CWinApp: the one application object and the program's entry sequence.
// A dialog-based program runs its dialog inside InitInstance and returns
// FALSE, so the framework runs no message loop of its own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/cmd_target.h"
#include "framework/types.h"

namespace fw {

class CWnd;
class Platform;
struct ResourceTable;

class CWinApp : public CCmdTarget {
 public:
  // With no name, the framework takes the executable's name at start-up.
  explicit CWinApp(const char* lpszAppName = nullptr);
  ~CWinApp() override;

  // Before any window or display: the command line is there to read.
  // FALSE when there is nothing to show (the program has done all it had to,
  // e.g. printed its version); ExitInstance then gives the exit status.
  virtual BOOL InitApplication();
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

  // No window can be shown at all (no display); the framework's words for
  // why. By default one line on stderr, led by the program's name.
  virtual void ReportNoDisplay(const char* reason);

  // The name a terminal knows the program by: the executable's, unless the
  // application object was given one.
  const char* AppName() const { return appName_.c_str(); }
  // The name its windows show (a message box's caption): the string
  // AFX_IDS_APP_TITLE when the program has one, else AppName(). A Linux
  // command is lower case; the program's name is not.
  std::string Title() const;
  void SetAppNameFromExecutable(const char* argv0);
  // The arguments after the program's name, in UTF-8 on Windows (where the
  // system hands them over in UTF-16) and as the system gave them elsewhere.
  const std::vector<std::string>& CommandLineArguments() const { return arguments_; }
  // The running program file's full path; empty when the system cannot say.
  const std::string& ExecutablePath() const { return executablePath_; }
  // Called by CDialog::DoModal when the main window's dialog has ended.
  void OnMainWindowEnded(INT_PTR result);
  // What the main window's DoModal returned; -1 while it has not ended, or
  // when it could not be shown.
  INT_PTR MainWindowResult() const { return mainWindowResult_; }

  CWnd* m_pMainWnd = nullptr;

 private:
  friend bool AfxWinInit(const char*, const std::string&, std::vector<std::string>);

  std::string appName_;
  std::string executablePath_;
  std::vector<std::string> arguments_;
  INT_PTR mainWindowResult_ = -1;
};

CWinApp* AfxGetApp();

// What a backend does first, before it opens a display: names the
// application after `argv0`, hands it the command line and the program
// file's path, and runs InitApplication. False when there is no application
// object or it has nothing to show.
bool AfxWinInit(const char* argv0, const std::string& executablePath,
                std::vector<std::string> arguments);

// Runs the application object: InitInstance, then ExitInstance, whose value
// is returned as the exit status (1 when there is no application object).
int AfxWinMain(const char* argv0);

// The whole run, as every backend's RunApplication makes it: the resources
// installed (the command line's messages are string resources too),
// AfxWinInit, then the display opened by `openDisplay` and its Platform
// installed around AfxWinMain. `openDisplay` returns nullptr when there is
// no display; the application is then told `noDisplay` and its ExitInstance
// gives the exit status, as after a main window that never showed.
int AfxRunApplication(const ResourceTable& resources, const char* argv0,
                      const std::string& executablePath, std::vector<std::string> arguments,
                      const std::function<std::unique_ptr<Platform>()>& openDisplay,
                      const char* noDisplay);

}  // namespace fw
