// The application's own code, run against a backend without a screen: the
// start-up sequence, OK and Cancel with the files they touch, the error path
// and the minimised-icon painting.
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "app/time_list_app.h"
#include "app/time_list_dialog.h"
#include "res/resource.h"
#include "support/fake_platform.h"
#include "support/page_fixture.h"
#include "support/scratch_folder.h"
#include "timelist/time_list_page.h"

namespace {

using namespace fw;
using chronolist::test::ExpectedPage;
using chronolist::test::FakePeer;
using chronolist::test::FakePlatform;
using chronolist::test::ReadBytes;
using chronolist::test::ReplayFile;
using chronolist::test::ScratchFolder;
using chronolist::test::WriteBytes;

// Reaches the dialog's protected handlers the way the framework does.
class TestDialog : public CTimeListDialog {
 public:
  HICON Icon() const { return m_hAppIcon; }
  HCURSOR DragIcon() { return reinterpret_cast<HCURSOR>(SendMessage(WM_QUERYDRAGICON)); }
};

class TimeListAppTest : public ::testing::Test {
 protected:
  // A game folder, where OK writes without asking.
  void SetUp() override { std::filesystem::create_directory("replay"); }

  void Press(int id) {
    platform.scripts[IDD_MAIN_DIALOG] = [id](CDialog& dialog, FakePeer&) {
      dialog.DeliverMessage(WM_COMMAND, static_cast<WPARAM>(id), 0);
    };
  }
  // As a backend runs it: the game folder chosen first, then the dialog.
  int RunProgram() {
    AfxWinInit("/usr/bin/chronolist", "/usr/bin/chronolist", {});
    return AfxWinMain("/usr/bin/chronolist");
  }

  ScratchFolder folder;
  FakePlatform platform;
  CTimeListApp app;
};

TEST_F(TimeListAppTest, StartsTheMainDialogWithItsIconsAndNoOwner) {
  Press(IDCANCEL);
  EXPECT_EQ(RunProgram(), 1);
  ASSERT_EQ(platform.runs.size(), 1u);
  const auto& run = platform.runs[0];
  EXPECT_EQ(run.templateId, IDD_MAIN_DIALOG);
  EXPECT_EQ(run.owner, nullptr);
  EXPECT_TRUE(run.focusFirst);
  ASSERT_NE(run.bigIcon, nullptr);
  EXPECT_EQ(run.bigIcon->id, IDI_APP_ICON);
  EXPECT_EQ(run.smallIcon, run.bigIcon);
  // The About entry, then the big icon, then the small one; the framework
  // centres the dialog once OnInitDialog is done.
  EXPECT_EQ(run.calls,
            (std::vector<std::string>{"AppendMenu separator", "AppendMenu 16", "SetIcon big",
                                      "SetIcon small", "MoveTo 509,331", "EndModalLoop 2"}));
  EXPECT_EQ(app.m_pMainWnd, nullptr);
}

TEST_F(TimeListAppTest, OkWritesThePageAndExitsZero) {
  WriteBytes(ReplayFile(111), std::string(1875, 'r'));
  WriteBytes(ReplayFile(151), "");
  Press(IDOK);
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_EQ(ReadBytes(chronolist::kTimeListFileName),
            ExpectedPage({{111, "01:02:15"}, {151, "00:00:00"}}));
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(TimeListAppTest, CancelAndCloseTouchNothing) {
  WriteBytes(ReplayFile(111), std::string(1875, 'r'));
  WriteBytes(chronolist::kTimeListFileName, "old page");
  Press(IDCANCEL);
  EXPECT_EQ(RunProgram(), 1);
  platform.scripts[IDD_MAIN_DIALOG] = [](CDialog& dialog, FakePeer&) {
    dialog.DeliverMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  };
  EXPECT_EQ(RunProgram(), 1);
  EXPECT_EQ(ReadBytes(chronolist::kTimeListFileName), "old page");
}

// The message as the user reads it: the page's full path, the system's words,
// and the note on the previous page only when there was one.
std::string ExpectedMessage(const std::string& reason, bool previousPageKept) {
  return (std::filesystem::current_path() / chronolist::kTimeListFileName).string() +
         " を書き出せませんでした。\n理由: " + reason + "\n\n" +
         (previousPageKept ? "前のリストはそのまま残っています。" : "") +
         "原因を取り除いてから、もう一度 OK を押してください。";
}

TEST_F(TimeListAppTest, APageThatCannotBeWrittenIsReportedAndTheDialogStays) {
  std::filesystem::create_directory(chronolist::kTimeListFileName);
  const std::string expectedReason = chronolist::GenerateTimeList().reason();
  ASSERT_FALSE(expectedReason.empty());
  bool endedByFailedOk = true;
  platform.scripts[IDD_MAIN_DIALOG] = [&](CDialog& dialog, FakePeer& peer) {
    dialog.DeliverMessage(WM_COMMAND, IDOK, 0);
    endedByFailedOk = peer.ended;
    // The user removes the obstacle and tries again.
    std::filesystem::remove(chronolist::kTimeListFileName);
    dialog.DeliverMessage(WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(RunProgram(), 0);
  EXPECT_FALSE(endedByFailedOk);
  ASSERT_EQ(platform.messages.size(), 1u);
  // A folder is no previous page: the message must not promise one.
  EXPECT_EQ(platform.messages[0].second, ExpectedMessage(expectedReason, false));
  // The program's name as Windows shows it, not the lower-case command's.
  EXPECT_EQ(platform.messages[0].first, "Chronolist");
  EXPECT_EQ(ReadBytes(chronolist::kTimeListFileName), ExpectedPage({}));
}

#ifndef _WIN32
// A page that cannot be written, then replays that cannot be read: each is
// reported with what failed, and the previous page is named as kept.
TEST_F(TimeListAppTest, AFailedWriteOrReadIsReportedAndThePreviousPageNamedAsKept) {
  WriteBytes(chronolist::kTimeListFileName, "old page");
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const rlimit limit{100, previous.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  platform.scripts[IDD_MAIN_DIALOG] = [](CDialog& dialog, FakePeer&) {
    dialog.DeliverMessage(WM_COMMAND, IDOK, 0);
    // A link that names a file name longer than any the system takes.
    std::filesystem::create_symlink(std::string(300, 'x'), ReplayFile(120));
    dialog.DeliverMessage(WM_COMMAND, IDOK, 0);
    dialog.DeliverMessage(WM_COMMAND, IDCANCEL, 0);
  };
  const int status = RunProgram();
  ::setrlimit(RLIMIT_FSIZE, &previous);
  EXPECT_EQ(status, 1);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].second,
            ExpectedMessage(std::error_code(EFBIG, std::system_category()).message(), true));
  EXPECT_EQ(platform.messages[1].second,
            (std::filesystem::current_path() / ReplayFile(120)).string() +
                " を読めませんでした。\n理由: " + std::strerror(ENAMETOOLONG) +
                "\n\nリストは書き出していません。前のリストはそのまま残っています。"
                "原因を取り除いてから、もう一度 OK を押してください。");
  EXPECT_EQ(ReadBytes(chronolist::kTimeListFileName), "old page");
}
#endif

TEST_F(TimeListAppTest, HelpIsRoutedToTheApplication) {
  platform.scripts[IDD_MAIN_DIALOG] = [](CDialog& dialog, FakePeer& peer) {
    EXPECT_TRUE(dialog.OnCmdMsg(ID_HELP));
    EXPECT_FALSE(peer.ended);
    dialog.DeliverMessage(WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_EQ(RunProgram(), 1);
}

class TimeListDialogTest : public ::testing::Test {
 protected:
  FakePlatform platform;
  CTimeListApp app;
  TestDialog dialog;
  FakePeer peer;
};

TEST_F(TimeListDialogTest, LoadsTheApplicationIconOnceAndDragsIt) {
  ASSERT_NE(dialog.Icon(), nullptr);
  EXPECT_EQ(dialog.Icon()->id, IDI_APP_ICON);
  EXPECT_EQ(platform.iconsLoaded, std::vector<UINT>{IDI_APP_ICON});
  dialog.AttachPeer(&peer, true);
  EXPECT_EQ(dialog.DragIcon(), dialog.Icon());
}

TEST_F(TimeListDialogTest, MinimisedItPaintsTheIconCentred) {
  peer.iconic = true;
  peer.painting = true;
  dialog.AttachPeer(&peer, true);

  peer.client = CRect(0, 0, 250, 102);
  dialog.DeliverMessage(WM_PAINT, 0, 0);
  // (250 - 32 + 1) / 2 = 109, (102 - 32 + 1) / 2 = 35.
  EXPECT_EQ(peer.iconsDrawn, (std::vector<std::pair<int, int>>{{109, 35}}));
  EXPECT_EQ(peer.calls,
            (std::vector<std::string>{"BeginPaint", "EraseBackground", "DrawIcon", "EndPaint"}));

  // Odd leftovers round as C's division does, toward zero.
  peer.client = CRect(0, 0, 33, 30);
  dialog.DeliverMessage(WM_PAINT, 0, 0);
  EXPECT_EQ(peer.iconsDrawn.back(), (std::pair<int, int>{1, -0}));
  peer.client = CRect(0, 0, 20, 20);
  dialog.DeliverMessage(WM_PAINT, 0, 0);
  EXPECT_EQ(peer.iconsDrawn.back(), (std::pair<int, int>{-5, -5}));
}

TEST_F(TimeListDialogTest, NotMinimisedItLeavesPaintingToTheDefault) {
  dialog.AttachPeer(&peer, true);
  dialog.DeliverMessage(WM_PAINT, 0, 0);
  EXPECT_EQ(peer.calls, (std::vector<std::string>{"DefaultPaint"}));
  EXPECT_TRUE(peer.iconsDrawn.empty());
}

}  // namespace
