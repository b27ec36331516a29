// Message maps and the default handling behind them: which handler a message
// reaches, in what order, and what happens when none takes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/afxwin.h"
#include "framework/sys_command.h"
#include "support/fake_platform.h"

namespace fw {
namespace {

using chronolist::test::FakePeer;
using chronolist::test::FakePlatform;

class Recorder : public CDialog {
 public:
  Recorder() : CDialog(1) {}
  std::vector<std::string> log;

  void OnSysCommand(UINT nID, LPARAM lParam) {
    log.push_back("sys " + std::to_string(nID));
    CDialog::OnSysCommand(nID, lParam);
  }
  void OnFirst() { log.push_back("first"); }
  void OnSecond() { log.push_back("second"); }
  void OnPaint() { log.push_back("paint"); }
  void OnCancel() override {
    log.push_back("cancel");
    CDialog::OnCancel();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Recorder, CDialog)
  ON_WM_SYSCOMMAND()
  ON_COMMAND(100, &Recorder::OnFirst)
  ON_COMMAND(100, &Recorder::OnSecond)
  ON_WM_PAINT()
END_MESSAGE_MAP()

// Maps IDOK itself: its own entry must win over CDialog's.
class Derived : public Recorder {
 public:
  void OnOwnOK() { log.push_back("own ok"); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(Derived, Recorder)
  ON_COMMAND(IDOK, &Derived::OnOwnOK)
END_MESSAGE_MAP()

// A dialog with no map of its own: everything takes the default handling.
class Plain : public CDialog {
 public:
  Plain() : CDialog(1) {}
};

class HelpApp : public CWinApp {
 public:
  int helpCount = 0;
  void OnHelpCommand() { ++helpCount; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HelpApp, CWinApp)
  ON_COMMAND(ID_HELP, &HelpApp::OnHelpCommand)
END_MESSAGE_MAP()

std::vector<MessageKey> Keys(const MessageMap* map) {
  std::vector<MessageKey> keys;
  for (std::size_t i = 0; i < map->size(); ++i) {
    keys.push_back(map->KeyAt(i));
  }
  return keys;
}

class MessageMapTest : public ::testing::Test {
 protected:
  void Attach(CWnd& wnd, bool systemMenu = true) { wnd.AttachPeer(&peer, systemMenu); }
  FakePlatform platform;
  FakePeer peer;
};

TEST_F(MessageMapTest, TablesKeepTheirOrderAndChainToTheBase) {
  Recorder recorder;
  const MessageMap* map = recorder.GetMessageMap();
  EXPECT_EQ(Keys(map),
            (std::vector<MessageKey>{
                {WM_SYSCOMMAND, 0}, {WM_COMMAND, 100}, {WM_COMMAND, 100}, {WM_PAINT, 0}}));
  ASSERT_NE(map->base(), nullptr);
  EXPECT_EQ(Keys(map->base()),
            (std::vector<MessageKey>{{WM_COMMAND, IDOK}, {WM_COMMAND, IDCANCEL}}));
}

TEST_F(MessageMapTest, TheFirstMatchingEntryWinsAndDerivedMapsComeFirst) {
  Derived dialog;
  Attach(dialog);
  dialog.SendMessage(WM_COMMAND, 100);
  dialog.SendMessage(WM_COMMAND, IDOK);
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"first", "own ok"}));
  EXPECT_FALSE(peer.ended) << "IDOK reached CDialog::OnOK despite the derived entry";
}

TEST_F(MessageMapTest, OnlyTheLowWordSelectsACommandHandler) {
  Recorder dialog;
  Attach(dialog);
  dialog.SendMessage(WM_COMMAND, 0x10000 | 100);
  EXPECT_EQ(dialog.log, (std::vector<std::string>{"first"}));
}

TEST_F(MessageMapTest, CloseRequestsBecomeCancel) {
  Recorder dialog;
  Attach(dialog);
  dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE | 0x2);
  EXPECT_EQ(dialog.log,
            (std::vector<std::string>{"sys " + std::to_string(SC_CLOSE | 0x2), "cancel"}));
  EXPECT_TRUE(peer.ended);
  EXPECT_EQ(peer.result, IDCANCEL);

  Plain plain;
  FakePeer plainPeer;
  plain.AttachPeer(&plainPeer, true);
  plain.SendMessage(WM_CLOSE);
  EXPECT_EQ(plainPeer.result, IDCANCEL);
}

TEST_F(MessageMapTest, DefaultSystemCommands) {
  Plain dialog;
  Attach(dialog);
  dialog.SendMessage(WM_SYSCOMMAND, SC_MOVE);
  dialog.SendMessage(WM_SYSCOMMAND, SC_KEYMENU);
  dialog.SendMessage(WM_SYSCOMMAND, 0xF020);  // minimize
  dialog.SendMessage(WM_SYSCOMMAND, 0xF000);  // size
  dialog.SendMessage(WM_SYSCOMMAND, 0x0010);  // a command nobody defines
  EXPECT_EQ(peer.calls, (std::vector<std::string>{"StartMoveByKeyboard", "ShowSystemMenu"}));
  EXPECT_FALSE(peer.ended);
}

TEST_F(MessageMapTest, OkAndCancelEndTheDialog) {
  Plain ok;
  Attach(ok);
  ok.SendMessage(WM_COMMAND, IDOK);
  EXPECT_EQ(peer.result, IDOK);

  Plain cancel;
  FakePeer cancelPeer;
  cancel.AttachPeer(&cancelPeer, true);
  cancel.SendMessage(WM_COMMAND, IDCANCEL);
  EXPECT_EQ(cancelPeer.result, IDCANCEL);
}

TEST_F(MessageMapTest, UnhandledCommandsGoOnToTheApplication) {
  HelpApp app;
  Recorder dialog;
  Attach(dialog);
  dialog.SendMessage(WM_COMMAND, ID_HELP);
  EXPECT_EQ(app.helpCount, 1);
  dialog.SendMessage(WM_COMMAND, 100);  // the dialog's own: not the app's
  EXPECT_EQ(app.helpCount, 1);
  EXPECT_FALSE(dialog.OnCmdMsg(4242));
}

TEST_F(MessageMapTest, PaintIsTheHandlersOrTheDefault) {
  Recorder mapped;
  Attach(mapped);
  mapped.SendMessage(WM_PAINT);
  EXPECT_EQ(mapped.log, (std::vector<std::string>{"paint"}));
  EXPECT_TRUE(peer.calls.empty());

  Plain plain;
  FakePeer plainPeer;
  plain.AttachPeer(&plainPeer, true);
  plain.SendMessage(WM_PAINT);
  EXPECT_EQ(plainPeer.calls, (std::vector<std::string>{"DefaultPaint"}));
}

TEST_F(MessageMapTest, SetIconReachesTheWindowAndReturnsThePreviousIcon) {
  Plain dialog;
  Attach(dialog);
  HICON first = platform.LoadIcon(1);
  HICON second = platform.LoadIcon(2);
  EXPECT_EQ(dialog.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(first)), 0);
  EXPECT_EQ(dialog.SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(second)),
            reinterpret_cast<LRESULT>(first));
  EXPECT_EQ(peer.bigIcon, second);
  EXPECT_EQ(peer.smallIcon, nullptr);
}

TEST_F(MessageMapTest, MessagesToAWindowWithoutPeerAreHarmless) {
  Plain dialog;
  EXPECT_EQ(dialog.SendMessage(WM_SETICON, ICON_BIG, 0), 0);
  dialog.SendMessage(WM_SYSCOMMAND, SC_MOVE);
  dialog.SendMessage(WM_COMMAND, IDOK);
  EXPECT_FALSE(dialog.IsIconic());
  EXPECT_EQ(dialog.GetSystemMenu(FALSE), nullptr);
}

TEST(SysCommand, LowFourBitsAreIgnored) {
  EXPECT_EQ(DefaultSysCommandAction(SC_CLOSE), SysCommandAction::Close);
  EXPECT_EQ(DefaultSysCommandAction(SC_CLOSE + 0xF), SysCommandAction::Close);
  EXPECT_EQ(DefaultSysCommandAction(SC_MOVE + 2), SysCommandAction::Move);
  EXPECT_EQ(DefaultSysCommandAction(SC_KEYMENU), SysCommandAction::ShowMenu);
  EXPECT_EQ(DefaultSysCommandAction(0xF120), SysCommandAction::None);
  EXPECT_EQ(SysCommandOf(0x001F), 0x0010u);
}

class DoModalTest : public ::testing::Test {
 protected:
  FakePlatform platform;
};

TEST_F(DoModalTest, MissingTemplateOrWindowFailsWithMinusOne) {
  CDialog missing(99);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_TRUE(platform.runs.empty());

  platform.failToCreate = true;
  CDialog dialog(1);
  EXPECT_EQ(dialog.DoModal(), -1);
}

TEST_F(DoModalTest, AnUnownedDialogAtTheOriginIsCentredInTheWorkArea) {
  CDialog dialog(1);
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  ASSERT_EQ(platform.runs.size(), 1u);
  EXPECT_EQ(platform.runs[0].owner, nullptr);
  EXPECT_TRUE(platform.runs[0].focusFirst);
  EXPECT_EQ(platform.runs[0].finalWindow, CRect(509, 331, 771, 469));
}

TEST_F(DoModalTest, ADialogPlacedByItsTemplateIsNotMoved) {
  CDialog dialog(2);
  dialog.DoModal();
  ASSERT_EQ(platform.runs.size(), 1u);
  for (const std::string& call : platform.runs[0].calls) {
    EXPECT_EQ(call.rfind("MoveTo", 0), std::string::npos) << call;
  }
}

TEST_F(DoModalTest, TheMainWindowOwnsDisablesAndCentresAParentlessDialog) {
  CWinApp app;
  CDialog main(1);
  app.m_pMainWnd = &main;
  FakePeer mainPeer;
  mainPeer.window = CRect(100, 100, 400, 300);
  main.AttachPeer(&mainPeer, true);

  bool ownerEnabledWhileRunning = true;
  platform.scripts[1] = [&](CDialog& box, FakePeer&) {
    ownerEnabledWhileRunning = mainPeer.enabled;
    box.SendMessage(WM_COMMAND, IDOK);
  };
  CDialog box(1);
  EXPECT_EQ(box.DoModal(), IDOK);

  ASSERT_EQ(platform.runs.size(), 1u);
  EXPECT_EQ(platform.runs[0].owner, &main);
  EXPECT_FALSE(ownerEnabledWhileRunning);
  EXPECT_TRUE(mainPeer.enabled);
  // 262 x 138 centred over the owner, not over the screen.
  EXPECT_EQ(platform.runs[0].finalWindow, CRect(119, 131, 381, 269));
  EXPECT_EQ(app.m_pMainWnd, &main) << "a secondary dialog must not clear the main window";
}

// The exit status is the application's ExitInstance, which sees how the
// main window ended; the framework adds no meaning of its own.
TEST_F(DoModalTest, ExitInstanceSeesTheMainWindowsResult) {
  struct App : CWinApp {
    int dialogResult = 0;
    BOOL InitInstance() override {
      CDialog dialog(1);
      m_pMainWnd = &dialog;
      dialogResult = static_cast<int>(dialog.DoModal());
      mainCleared = m_pMainWnd == nullptr;
      return FALSE;
    }
    int ExitInstance() override { return 10 + static_cast<int>(MainWindowResult()); }
    bool mainCleared = false;
  };
  {
    App app;
    EXPECT_EQ(app.MainWindowResult(), -1);
    platform.scripts[1] = [](CDialog& dialog, FakePeer&) { dialog.SendMessage(WM_COMMAND, IDOK); };
    EXPECT_EQ(AfxWinMain("/usr/bin/chronolist"), 11);
    EXPECT_TRUE(app.mainCleared);
    EXPECT_STREQ(app.AppName(), "chronolist");
  }
  {
    App app;
    platform.scripts.clear();
    EXPECT_EQ(AfxWinMain("C:\\Games\\Chronolist.exe"), 12);
    EXPECT_STREQ(app.AppName(), "Chronolist");
  }
  {
    App app;
    platform.failToCreate = true;
    EXPECT_EQ(AfxWinMain("chronolist"), 9);
    EXPECT_EQ(app.dialogResult, -1);
  }
  {
    CWinApp app;  // the framework's own status
    platform.failToCreate = false;
    EXPECT_EQ(AfxWinMain("chronolist"), 0);
  }
}

TEST_F(DoModalTest, MessageBoxPassesItsTypeAndReturnsTheButton) {
  CWinApp app("Chronolist");
  CWnd window;
  EXPECT_EQ(window.MessageBox("plain"), IDOK);
  EXPECT_EQ(window.MessageBox("failed", "Caption", MB_OK | MB_ICONERROR), IDOK);
  ASSERT_EQ(platform.messages.size(), 2u);
  // Without a caption, the program's name titles it.
  EXPECT_EQ(platform.messages[0], std::make_pair(std::string("Chronolist"), std::string("plain")));
  EXPECT_EQ(platform.messages[1], std::make_pair(std::string("Caption"), std::string("failed")));
  EXPECT_EQ(platform.messageTypes, (std::vector<UINT>{MB_OK, MB_OK | MB_ICONERROR}));
}

}  // namespace
}  // namespace fw
