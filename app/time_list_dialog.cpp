#include "app/time_list_dialog.h"

#include <utility>

#include "app/about_dialog.h"
#include "framework/cstring.h"
#include "res/resource.h"
#include "timelist/folder.h"
#include "timelist/replay_scan.h"
#include "timelist/time_list_page.h"

using namespace fw;

namespace {

// The message for a page that was not written: what the user can do about
// it. Replays that could not be read are named; a page held open by another
// program needs that program closed; otherwise the system's reason says
// what. Only a page that was there can be said to remain.
UINT WriteFailureMessage(const chronolist::PageWriteResult& result) {
  if (!result.unreadPath.empty()) {
    return result.previousPageKept ? IDS_REPLAYS_NOT_READ : IDS_REPLAYS_NOT_READ_NO_PAGE;
  }
  if (result.heldOpen) {
    return IDS_PAGE_HELD_OPEN;
  }
  return result.previousPageKept ? IDS_PAGE_NOT_WRITTEN : IDS_PAGE_NOT_CREATED;
}

}  // namespace

BEGIN_MESSAGE_MAP(CTimeListDialog, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

CTimeListDialog::CTimeListDialog(std::string gameFolder, CWnd* pParent)
    : CDialog(IDD_MAIN_DIALOG, pParent), m_gameFolder(std::move(gameFolder)) {
  // A shared icon handle: it lives as long as the process and is never freed.
  m_hAppIcon = AfxGetApp()->LoadIcon(IDI_APP_ICON);
}

void CTimeListDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
}

BOOL CTimeListDialog::OnInitDialog() {
  CDialog::OnInitDialog();

  // The About entry goes at the end of the system menu. Its id is a system
  // command of our own: below 0xF000, low four bits clear.
  static_assert((IDM_ABOUT_COMMAND & 0xFFF0) == IDM_ABOUT_COMMAND);
  static_assert(IDM_ABOUT_COMMAND < 0xF000);
  if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUT_MENU);
    if (!strAboutMenu.IsEmpty()) {
      pSysMenu->AppendMenu(MF_SEPARATOR);
      pSysMenu->AppendMenu(MF_STRING, IDM_ABOUT_COMMAND, strAboutMenu);
    }
  }

  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hAppIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hAppIcon));

  return TRUE;  // focus goes to the first control, the default OK button
}

void CTimeListDialog::OnOK() {
  // Without a replay folder the page would say None for every room, however
  // many the player has cleared: most likely the program was started in the
  // wrong folder. Ask before writing that; No is the default.
  if (!chronolist::HoldsReplayFolder(m_gameFolder)) {
    CString question;
    AfxFormatString1(question, IDS_NO_REPLAY_FOLDER, chronolist::FolderName(m_gameFolder).c_str());
    if (MessageBox(question, nullptr, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
      return;
    }
  }
  const chronolist::PageWriteResult result = chronolist::GenerateTimeList(m_gameFolder);
  if (!result.written()) {
    // Say which file and why, and stay open so that the user can fix the
    // cause and try again.
    const bool unread = !result.unreadPath.empty();
    CString message;
    AfxFormatString2(message, WriteFailureMessage(result),
                     (unread ? result.unreadPath : result.path).c_str(), result.reason().c_str());
    MessageBox(message, nullptr, MB_OK | MB_ICONERROR);
    return;
  }
  CDialog::OnOK();
}

void CTimeListDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUT_COMMAND) {
    CAboutDialog dlgAbout;
    dlgAbout.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

// Minimised, the dialog paints its icon centred in the client area.
void CTimeListDialog::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);

    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);

    const int cxIcon = GetSystemMetrics(SM_CXICON);
    const int cyIcon = GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - cxIcon + 1) / 2;
    const int y = (rect.Height() - cyIcon + 1) / 2;

    dc.DrawIcon(x, y, m_hAppIcon);
  } else {
    CDialog::OnPaint();
  }
}

// The cursor shown while the minimised window is dragged.
HCURSOR CTimeListDialog::OnQueryDragIcon() {
  return m_hAppIcon;
}
