#include "framework/win_app.h"

#include "framework/platform.h"

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

void CWinApp::SetAppNameFromExecutable(const char* argv0) {
  if (!appName_.empty() || argv0 == nullptr) {
    return;
  }
  std::string name = argv0;
  const auto slash = name.find_last_of("/\\");
  if (slash != std::string::npos) {
    name.erase(0, slash + 1);
  }
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

int AfxWinMain(const char* argv0) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) {
    return 1;
  }
  app->SetAppNameFromExecutable(argv0);
  app->InitInstance();
  return app->ExitInstance();
}

}  // namespace fw
