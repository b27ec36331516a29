// CDialog: a modal dialog built from a dialog template resource. OK and
// Cancel are routed through its message map to the virtual OnOK/OnCancel;
// commands it does not handle go on to the application object.
#pragma once

#include "framework/wnd.h"

namespace fw {

class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate)
      : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
};

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // Runs the dialog; the EndDialog result, or -1 when it cannot be created.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);
  virtual BOOL OnInitDialog();

  UINT TemplateId() const { return templateId_; }
  // Called by the backend once the window exists, before it is shown:
  // OnInitDialog, then the framework's centring. Returns OnInitDialog's
  // answer: true to focus the first tab stop.
  BOOL RunInitDialog(CWnd* owner);
  bool OnCmdMsg(UINT id) override;

 protected:
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  DECLARE_MESSAGE_MAP()

 private:
  UINT templateId_;
  CWnd* parent_;
};

}  // namespace fw
