#include "framework/dialog.h"

#include "framework/placement.h"
#include "framework/platform.h"
#include "framework/resources.h"
#include "framework/win_app.h"

namespace fw {

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : templateId_(nIDTemplate), parent_(pParentWnd) {}

INT_PTR CDialog::DoModal() {
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId_);
  if (dialogTemplate == nullptr) {
    return -1;
  }
  // Without a parent, the main window owns the dialog and is disabled
  // while it runs.
  CWinApp* app = AfxGetApp();
  CWnd* owner = parent_;
  if (owner == nullptr && app != nullptr && app->m_pMainWnd != this) {
    owner = app->m_pMainWnd;
  }
  if (owner != nullptr && owner->Peer() == nullptr) {
    owner = nullptr;
  }
  const bool disableOwner = owner != nullptr && owner->IsWindowEnabled();
  if (disableOwner) {
    owner->EnableWindow(FALSE);
  }

  const INT_PTR result = CurrentPlatform().RunModalDialog(*this, *dialogTemplate, owner);

  if (disableOwner) {
    owner->EnableWindow(TRUE);
  }
  if (app != nullptr && app->m_pMainWnd == this) {
    app->OnMainWindowEnded(result);
  }
  return result;
}

BOOL CDialog::RunInitDialog(CWnd* owner) {
  const BOOL focusFirst = OnInitDialog();
  const DialogTemplate* dialogTemplate = FindDialogTemplate(templateId_);
  const bool ownerEnabled = owner != nullptr && owner->IsWindowEnabled();
  if (dialogTemplate != nullptr && ShouldCentreDialog(*dialogTemplate, ownerEnabled)) {
    CenterWindow(owner);
  }
  return focusFirst;
}

void CDialog::EndDialog(int nResult) {
  if (Peer() != nullptr) {
    Peer()->EndModalLoop(nResult);
  }
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (UpdateData(TRUE)) {
    EndDialog(IDOK);
  }
}

void CDialog::OnCancel() {
  EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange exchange(this, bSaveAndValidate);
  DoDataExchange(&exchange);
  return TRUE;
}

bool CDialog::OnCmdMsg(UINT id) {
  if (CWnd::OnCmdMsg(id)) {
    return true;
  }
  CWinApp* app = AfxGetApp();
  return app != nullptr && app->OnCmdMsg(id);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // The dialog manager turns a close request into Cancel.
  if (message == WM_CLOSE) {
    SendMessage(WM_COMMAND, static_cast<WPARAM>(IDCANCEL));
    return 0;
  }
  return CWnd::DefWindowProc(message, wParam, lParam);
}

}  // namespace fw
