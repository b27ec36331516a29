#include "framework/win_app.h"

#include <cstdio>
#include <utility>

#include "framework/platform.h"
#include "framework/resources.h"
#include "timelist/folder.h"

namespace fw {

namespace {
CWinApp* gApp = nullptr;
}  // namespace

CWinApp::CWinApp(const char* lpszAppName) : appName_(lpszAppName ? lpszAppName : "") {
  gApp = this;
}

CWinApp::~CWinApp() {
  if (gApp == this) {
    gApp = nullptr;
  }
}

BOOL CWinApp::InitApplication() {
  return TRUE;
}

void CWinApp::ReportNoDisplay(const char* reason) {
  std::fprintf(stderr, "%s: %s\n", AppName(), reason);
}

BOOL CWinApp::InitInstance() {
  return TRUE;
}

int CWinApp::ExitInstance() {
  return 0;
}

HICON CWinApp::LoadIcon(UINT nIDResource) const {
  return CurrentPlatform().LoadIcon(nIDResource);
}

void CWinApp::OnHelp() {}

std::string CWinApp::Title() const {
  const std::string title = FindStringResource(AFX_IDS_APP_TITLE);
  return title.empty() ? appName_ : title;
}

void CWinApp::SetAppNameFromExecutable(const char* argv0) {
  if (!appName_.empty() || argv0 == nullptr) {
    return;
  }
  // Either system's separators: the name is the same whoever started us.
  std::string name = chronolist::SplitPath(std::string(argv0), "/\\").name;
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    name.erase(dot);
  }
  appName_ = name;
}

void CWinApp::OnMainWindowEnded(INT_PTR result) {
  mainWindowResult_ = result;
  // The main window is gone; nothing may use it as an owner any more.
  m_pMainWnd = nullptr;
}

CWinApp* AfxGetApp() {
  return gApp;
}

bool AfxWinInit(const char* argv0, const std::string& executablePath,
                std::vector<std::string> arguments) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return false;
  }
  app->SetAppNameFromExecutable(argv0);
  app->executablePath_ = executablePath;
  app->arguments_ = std::move(arguments);
  app->mainWindowResult_ = -1;
  return app->InitApplication() != FALSE;
}

int AfxWinMain(const char* argv0) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return 1;
  }
  app->SetAppNameFromExecutable(argv0);
  app->InitInstance();
  return app->ExitInstance();
}

int AfxRunApplication(const ResourceTable& resources, const char* argv0,
                      const std::string& executablePath, std::vector<std::string> arguments,
                      const std::function<std::unique_ptr<Platform>()>& openDisplay,
                      const char* noDisplay) {
  SetResources(&resources);
  const bool goOn = AfxWinInit(argv0, executablePath, std::move(arguments));
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return 1;
  }
  if (!goOn) {
    return app->ExitInstance();
  }
  const std::unique_ptr<Platform> platform = openDisplay();
  if (platform == nullptr) {
    app->ReportNoDisplay(noDisplay);
    return app->ExitInstance();
  }
  Platform* previousPlatform = SetPlatform(platform.get());
  const int status = AfxWinMain(argv0);
  SetPlatform(previousPlatform);
  return status;
}

}  // namespace fw
