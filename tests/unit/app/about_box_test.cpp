// The About entry of the main dialog's system menu and the About box it
// opens, against a backend without a screen.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/time_list_app.h"
#include "res/resource.h"
#include "support/fake_platform.h"
#include "support/scoped_resources.h"
#include "support/scratch_folder.h"

namespace {

using namespace fw;
using chronolist::test::FakePeer;
using chronolist::test::FakePlatform;
using chronolist::test::ScopedResources;
using chronolist::test::ScratchFolder;

constexpr const char* kAboutText = "Chronolist のﾊﾞｰｼﾞｮﾝ情報(&A)...";

class AboutBoxTest : public ::testing::Test {
 protected:
  // Runs the program; while the main dialog is up, sends it each system
  // command in `commands`, then presses Cancel. Returns how many About boxes
  // opened.
  int OpenedFor(const std::vector<UINT>& commands) {
    platform.scripts[IDD_MAIN_DIALOG] = [commands](CDialog& dialog, FakePeer&) {
      for (UINT command : commands) {
        dialog.DeliverMessage(WM_SYSCOMMAND, command, 0);
      }
      dialog.DeliverMessage(WM_COMMAND, IDCANCEL, 0);
    };
    platform.runs.clear();
    AfxWinMain("chronolist");
    return static_cast<int>(
        std::count_if(platform.runs.begin(), platform.runs.end(),
                      [](const auto& run) { return run.templateId == IDD_ABOUT_BOX; }));
  }

  ScratchFolder folder;
  FakePlatform platform;
  CTimeListApp app;
};

TEST_F(AboutBoxTest, TheEntryFollowsTheSystemItemsAfterASeparator) {
  EXPECT_EQ(OpenedFor({}), 0);
  const auto& menu = platform.runs.back().systemMenu;
  ASSERT_EQ(menu.size(), 4u);
  EXPECT_EQ(menu[0].id, SC_MOVE);
  EXPECT_EQ(menu[1].id, SC_CLOSE);
  EXPECT_TRUE(menu[2].IsSeparator());
  EXPECT_FALSE(menu[3].IsSeparator());
  EXPECT_EQ(menu[3].flags, MF_STRING);
  EXPECT_EQ(menu[3].id, IDM_ABOUT_COMMAND);
  EXPECT_EQ(menu[3].text, kAboutText);
  EXPECT_EQ(MenuAccessKey(menu[3].text), 'a');
}

TEST_F(AboutBoxTest, OpensForItsCommandWhateverTheLowFourBits) {
  std::vector<UINT> commands;
  for (UINT id = 0x0010; id <= 0x001F; ++id) {
    commands.push_back(id);
  }
  EXPECT_EQ(OpenedFor(commands), 16);
}

TEST_F(AboutBoxTest, NoOtherSystemCommandOpensIt) {
  // 0xF020 and 0xF120 are Windows' minimize and restore.
  EXPECT_EQ(OpenedFor({0x0000, 0x000F, 0x0020, 0x0030, 0x0110, 0x1010, 0xF010, SC_MOVE, SC_KEYMENU,
                       0xF020, 0xF120}),
            0);
  // The others went on to the default handling.
  const auto& calls = platform.runs.back().calls;
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "StartMoveByKeyboard"), 2);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ShowSystemMenu"), 1);
}

TEST_F(AboutBoxTest, ItIsModalOverTheUnchangedMainDialogAndOpensAgain) {
  int aboutRuns = 0;
  bool mainEnabledDuringAbout = true;
  FakePeer* mainPeer = nullptr;
  platform.scripts[IDD_MAIN_DIALOG] = [&](CDialog& dialog, FakePeer& peer) {
    mainPeer = &peer;
    peer.window = CRect(100, 100, 352, 224);
    dialog.DeliverMessage(WM_SYSCOMMAND, IDM_ABOUT_COMMAND, 0);
    EXPECT_FALSE(peer.ended) << "closing the About box closed the main dialog";
    EXPECT_TRUE(peer.enabled);
    dialog.DeliverMessage(WM_SYSCOMMAND, IDM_ABOUT_COMMAND, 0);
    dialog.DeliverMessage(WM_COMMAND, IDCANCEL, 0);
  };
  platform.scripts[IDD_ABOUT_BOX] = [&](CDialog& about, FakePeer&) {
    ++aboutRuns;
    mainEnabledDuringAbout = mainEnabledDuringAbout && mainPeer->enabled;
    about.DeliverMessage(WM_COMMAND, aboutRuns == 1 ? IDOK : IDCANCEL, 0);
  };

  EXPECT_EQ(AfxWinMain("chronolist"), 1);
  EXPECT_EQ(aboutRuns, 2);
  EXPECT_FALSE(mainEnabledDuringAbout);
  EXPECT_FALSE(std::filesystem::exists("replistEX.html"));

  ASSERT_EQ(platform.runs.size(), 3u);
  const auto& about = platform.runs[0];
  EXPECT_EQ(about.templateId, IDD_ABOUT_BOX);
  EXPECT_NE(about.owner, nullptr);
  EXPECT_TRUE(about.focusFirst);
  // 262 x 138 centred over the main dialog at (100, 100)-(352, 224).
  EXPECT_EQ(about.finalWindow, CRect(95, 93, 357, 231));
  EXPECT_EQ(about.bigIcon, nullptr) << "the About box has no window icon of its own";
}

TEST_F(AboutBoxTest, AWindowWithoutSystemMenuGetsNoEntry) {
  platform.withoutSystemMenus = true;
  EXPECT_EQ(OpenedFor({}), 0);
  EXPECT_TRUE(platform.runs.back().systemMenu.empty());
  // The icons are still set after the menu step.
  EXPECT_EQ(platform.runs.back().calls.front(), "SetIcon big");
}

// A build whose string table lacks the About entry's text: the system menu
// must stay exactly as the system made it, without even the separator.
TEST(MissingAboutString, LeavesTheSystemMenuUntouched) {
  const DialogFont font{9, FW_DONTCARE, false, DEFAULT_CHARSET, "Sans"};
  const DialogTemplate dialogs[] = {
      {.id = IDD_MAIN_DIALOG,
       .style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
       .cx = 143,
       .cy = 63,
       .caption = "ChronolistEx",
       .font = font,
       .items = {}},
  };
  const StringResource strings[] = {{IDS_PAGE_NOT_WRITTEN, "%1"}};
  const ResourceTable table{dialogs, strings, {}};
  const ScopedResources installed(table);

  FakePlatform platform;
  CTimeListApp app;
  EXPECT_EQ(AfxWinMain("chronolist"), 1);
  ASSERT_EQ(platform.runs.size(), 1u);
  const auto& menu = platform.runs[0].systemMenu;
  ASSERT_EQ(menu.size(), 2u);
  EXPECT_EQ(menu[0].id, SC_MOVE);
  EXPECT_EQ(menu[1].id, SC_CLOSE);
  // The icons are set all the same.
  EXPECT_NE(platform.runs[0].bigIcon, nullptr);
}

}  // namespace
