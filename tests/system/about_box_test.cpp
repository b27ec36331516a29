// The main dialog's window menu and the About box it leads to, driven as a
// user would: Alt+Space, clicks on the caption bar, access keys and arrows,
// judged by the windows that appear, where they sit, the exit status and the
// files left in the game folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "app_process.h"
#include "program_test.h"
#include "support/scratch_folder.h"
#include "window_checks.h"
#include "x_driver.h"

namespace chronolist {
namespace {

using namespace std::chrono_literals;
using gui::Describe;
using gui::Rect;
using gui::WindowId;
using gui_tests::FolderEntries;
using gui_tests::kOldPage;
using gui_tests::kPage;
using gui_tests::LaySampleReplays;
using gui_tests::SamplePage;
using test::ReadBytes;
using test::WriteBytes;

constexpr auto kWindowTimeout = 10s;
constexpr int kMoveStep = 8;

// The About box template's size and its OK button, in dialog units.
constexpr double kAboutWidthUnits = 235;
constexpr double kAboutHeightUnits = 55;
constexpr double kAboutOkCentreX = 178 + 50 / 2.0;
constexpr double kAboutOkCentreY = 7 + 14 / 2.0;

struct Point {
  int x = 0;
  int y = 0;
};

class AboutBoxTest : public gui_tests::ProgramTest {
 protected:
  bool IsMenu(const gui::TopLevel& topLevel) {
    return gui::IsPopupMenu(*driver_, topLevel, app_->Pid());
  }

  std::vector<WindowId> OpenMenus() {
    std::vector<WindowId> menus;
    for (const gui::TopLevel& topLevel : driver_->ViewableTopLevels(app_->Pid())) {
      if (IsMenu(topLevel)) {
        menus.push_back(topLevel.window);
      }
    }
    return menus;
  }

  WindowId WaitForMenu() {
    try {
      return driver_->WaitForWindow(
          [this](const gui::TopLevel& topLevel) { return IsMenu(topLevel); },
          "that is a popup menu of pid " + std::to_string(app_->Pid()), kWindowTimeout,
          [this] { return !app_->Running(); });
    } catch (const std::exception& error) {
      throw std::runtime_error(std::string(error.what()) + "\n" + ExitReport());
    }
  }

  WindowId WaitForAboutBox() {
    try {
      return driver_->WaitForWindow(gui_tests::AboutTitle(), app_->Pid(), kWindowTimeout,
                                    [this] { return !app_->Running(); });
    } catch (const std::exception& error) {
      throw std::runtime_error(std::string(error.what()) + "\n" + ExitReport());
    }
  }

  // Out of the way of every window, so that only the keyboard selects in a menu.
  void ParkPointer() {
    driver_->MovePointer(driver_->ScreenWidth() - 1, driver_->ScreenHeight() - 1);
  }

  // Alt+Space at the dialog, which has the keyboard focus as a user's would.
  WindowId OpenMenuWithKeyboard() {
    driver_->Focus(dialog_);
    ParkPointer();
    driver_->TypeKey("alt+space");
    return WaitForMenu();
  }

  WindowId OpenAboutBox() {
    const WindowId menu = OpenMenuWithKeyboard();
    driver_->TypeKey("a");
    const WindowId about = WaitForAboutBox();
    EXPECT_TRUE(driver_->WaitUntilGone(menu, 5s)) << "the menu stayed open under the About box";
    return about;
  }

  // The caption bar is what the window shows above its client area.
  int CaptionHeight(WindowId window) {
    return driver_->Geometry(driver_->NativeChild(window)).y - driver_->Geometry(window).y;
  }
  // Points relative to the window, in the middle of the bar's height.
  Point CaptionIcon(WindowId window) { return {10, CaptionHeight(window) / 2}; }
  Point CaptionText(WindowId window) { return {45, CaptionHeight(window) / 2}; }
  Point CloseButton(WindowId window) {
    return {driver_->Geometry(window).width - 11, CaptionHeight(window) / 2};
  }
  // Dialog units scale linearly, so the client area's size places the button.
  Point AboutOkButton(WindowId about) {
    const Rect whole = driver_->Geometry(about);
    const Rect client = driver_->Geometry(driver_->NativeChild(about));
    return {client.x - whole.x +
                static_cast<int>(std::lround(client.width * kAboutOkCentreX / kAboutWidthUnits)),
            client.y - whole.y +
                static_cast<int>(std::lround(client.height * kAboutOkCentreY / kAboutHeightUnits))};
  }

  void ClickAt(WindowId window, Point point, unsigned button = 1) {
    driver_->Click(window, point.x, point.y, button);
  }

  void ExpectModalOverTheDialog(WindowId about) {
    EXPECT_EQ(driver_->TransientFor(about), dialog_);
    const std::vector<std::string> state = driver_->NetWmState(about);
    EXPECT_NE(std::find(state.begin(), state.end(), "_NET_WM_STATE_MODAL"), state.end())
        << "the About box is not modal";
    const Rect box = driver_->Geometry(about);
    const Rect dialog = driver_->Geometry(dialog_);
    EXPECT_NEAR(box.x + box.width / 2.0, dialog.x + dialog.width / 2.0, 1.0)
        << "About box " << Describe(box) << " over dialog " << Describe(dialog);
    EXPECT_NEAR(box.y + box.height / 2.0, dialog.y + dialog.height / 2.0, 1.0)
        << "About box " << Describe(box) << " over dialog " << Describe(dialog);
  }

  // Once the program has handled everything sent so far, it is still there
  // with its dialog shown and no menu open.
  void ExpectDialogStillOpen(const std::string& after) {
    ASSERT_TRUE(app_->WaitUntilIdle()) << "after " << after << ": " << ExitReport();
    EXPECT_TRUE(driver_->Viewable(dialog_)) << "after " << after;
    EXPECT_TRUE(OpenMenus().empty()) << "a menu is still open after " << after;
  }

  // Moves by keyboard start once the menu has closed, as a task of their own;
  // keys sent before then would not move the window.
  void StartKeyboardMove() {
    const WindowId menu = OpenMenuWithKeyboard();
    driver_->TypeKey("m");
    ASSERT_TRUE(driver_->WaitUntilGone(menu, 5s)) << "\"m\" did not close the menu";
    ASSERT_TRUE(app_->WaitUntilIdle()) << ExitReport();
    driver_->Focus(dialog_);
  }

  Rect WaitForPosition(WindowId window, int x, int y) {
    Rect where;
    gui::WaitUntil([&] { return (where = driver_->Geometry(window)).x == x && where.y == y; }, 5s);
    return where;
  }
};

TEST_F(AboutBoxTest, KeyboardMenuOpensTheAboutBoxWhichLeavesTheDialogAsItWas) {
  LaySampleReplays();
  const WindowId dialog = Start();
  ASSERT_TRUE(OpenMenus().empty()) << "a menu is open before Alt+Space";

  const WindowId menu = OpenMenuWithKeyboard();
  EXPECT_EQ(driver_->TransientFor(menu), dialog) << "the menu does not belong to the dialog";
  driver_->TypeKey("a");
  const WindowId about = WaitForAboutBox();
  EXPECT_TRUE(driver_->WaitUntilGone(menu, 5s)) << "the menu stayed open under the About box";
  ExpectModalOverTheDialog(about);

  driver_->SendKey(about, "Escape");
  ASSERT_TRUE(driver_->WaitUntilGone(about, kWindowTimeout)) << "Escape did not close it";
  ExpectDialogStillOpen("Escape in the About box");
  EXPECT_EQ(FolderEntries("."), std::vector<std::string>{"replay"});

  // From the first item, the second Down passes the separator to the last item.
  OpenMenuWithKeyboard();
  driver_->TypeKey("Down");
  driver_->TypeKey("Down");
  driver_->TypeKey("Return");
  const WindowId again = WaitForAboutBox();
  ExpectModalOverTheDialog(again);
  driver_->SendKey(again, "Return");
  ASSERT_TRUE(driver_->WaitUntilGone(again, kWindowTimeout)) << "Return did not close it";
  ExpectDialogStillOpen("Return in the About box");
  EXPECT_EQ(FolderEntries("."), std::vector<std::string>{"replay"});

  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

TEST_F(AboutBoxTest, LeftClickOnTheCaptionIconOpensTheMenuWhereCCancels) {
  LaySampleReplays();
  WriteBytes(kPage, kOldPage);
  const WindowId dialog = Start();
  ClickAt(dialog, CaptionIcon(dialog));
  WaitForMenu();
  driver_->TypeKey("c");
  ExpectExit(1);
  EXPECT_EQ(ReadBytes(kPage), kOldPage);
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

TEST_F(AboutBoxTest, RightClickOnTheCaptionOpensTheMenuAndEscapeOnlyClosesIt) {
  WriteBytes(kPage, kOldPage);
  const WindowId dialog = Start();
  ClickAt(dialog, CaptionText(dialog), 3);
  const WindowId menu = WaitForMenu();
  driver_->TypeKey("Escape");
  ASSERT_TRUE(driver_->WaitUntilGone(menu, 5s)) << "Escape did not close the menu";
  ExpectDialogStillOpen("Escape in the menu");

  ClickAt(dialog, CloseButton(dialog));
  ExpectExit(1);
  EXPECT_EQ(ReadBytes(kPage), kOldPage);
  EXPECT_EQ(FolderEntries("."), std::vector<std::string>{kPage});
}

TEST_F(AboutBoxTest, MainDialogTakesNoKeysWhileTheAboutBoxIsOpen) {
  LaySampleReplays();
  const WindowId dialog = Start();
  const WindowId about = OpenAboutBox();

  for (const char* key : {"Escape", "Return"}) {
    driver_->SendKey(dialog, key);
    ASSERT_TRUE(app_->WaitUntilIdle()) << key << " at the main dialog: " << ExitReport();
    ASSERT_TRUE(driver_->Viewable(about)) << key << " at the main dialog closed the About box";
    EXPECT_TRUE(driver_->Viewable(dialog));
    EXPECT_EQ(FolderEntries("."), std::vector<std::string>{"replay"});
  }

  driver_->SendDeleteWindow(about);
  ASSERT_TRUE(driver_->WaitUntilGone(about, kWindowTimeout)) << "WM_DELETE_WINDOW did not close it";
  ExpectDialogStillOpen("closing the About box");
  EXPECT_EQ(FolderEntries("."), std::vector<std::string>{"replay"});

  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
}

TEST_F(AboutBoxTest, KeyboardMoveStepsEightPixelsAndEscapeTakesItBack) {
  const WindowId dialog = Start();
  const Rect start = driver_->Geometry(dialog);

  ASSERT_NO_FATAL_FAILURE(StartKeyboardMove());
  for (const char* key : {"Right", "Right", "Down", "Return"}) {
    driver_->TypeKey(key);
  }
  const Rect moved = WaitForPosition(dialog, start.x + 2 * kMoveStep, start.y + kMoveStep);
  EXPECT_EQ(moved.x - start.x, 2 * kMoveStep);
  EXPECT_EQ(moved.y - start.y, kMoveStep);
  EXPECT_EQ(moved.width, start.width);
  EXPECT_EQ(moved.height, start.height);
  ExpectDialogStillOpen("Return ending the move");

  ASSERT_NO_FATAL_FAILURE(StartKeyboardMove());
  driver_->TypeKey("Left");
  const Rect left = WaitForPosition(dialog, moved.x - kMoveStep, moved.y);
  EXPECT_EQ(left.x - moved.x, -kMoveStep);
  EXPECT_EQ(left.y, moved.y);
  driver_->TypeKey("Escape");
  const Rect back = WaitForPosition(dialog, moved.x, moved.y);
  EXPECT_EQ(back.x, moved.x);
  EXPECT_EQ(back.y, moved.y);
  ExpectDialogStillOpen("Escape ending the move");

  // Escape ended the move, not the dialog; the next one does.
  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
  EXPECT_TRUE(FolderEntries(".").empty());
}

TEST_F(AboutBoxTest, AboutBoxClosesWithSpaceItsCloseButtonOrOkAndOpensAgain) {
  const WindowId dialog = Start();
  const std::vector<std::pair<std::string, std::function<void(WindowId)>>> closers = {
      {"Space on its focused OK", [this](WindowId about) { driver_->SendKey(about, "space"); }},
      {"its close button", [this](WindowId about) { ClickAt(about, CloseButton(about)); }},
      {"a click on OK", [this](WindowId about) { ClickAt(about, AboutOkButton(about)); }},
  };
  for (const auto& [how, close] : closers) {
    SCOPED_TRACE(how);
    const WindowId about = OpenAboutBox();
    ExpectModalOverTheDialog(about);
    close(about);
    ASSERT_TRUE(driver_->WaitUntilGone(about, kWindowTimeout)) << how << " did not close it";
    ExpectDialogStillOpen(how);
  }
  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
  EXPECT_TRUE(FolderEntries(".").empty());
}

TEST_F(AboutBoxTest, AboutBoxStaysOnTheScreenBesideADialogAtItsEdge) {
  const WindowId dialog = Start();
  const Rect start = driver_->Geometry(dialog);
  const int steps = (start.x - 40 + kMoveStep - 1) / kMoveStep;
  ASSERT_NO_FATAL_FAILURE(StartKeyboardMove());
  for (int i = 0; i < steps; ++i) {
    driver_->TypeKey("Left");
  }
  driver_->TypeKey("Return");
  const Rect atEdge = WaitForPosition(dialog, start.x - steps * kMoveStep, start.y);
  ASSERT_EQ(atEdge.x, start.x - steps * kMoveStep) << "the dialog did not move to the edge";

  const WindowId about = OpenAboutBox();
  const Rect box = driver_->Geometry(about);
  // Centred, it would stick out on the left; it is pushed back onto the screen.
  ASSERT_LT(atEdge.x + atEdge.width / 2.0 - box.width / 2.0, 0.0);
  EXPECT_EQ(box.x, 0) << "About box " << Describe(box) << " beside dialog " << Describe(atEdge);
  EXPECT_NEAR(box.y + box.height / 2.0, atEdge.y + atEdge.height / 2.0, 1.0);

  driver_->SendKey(about, "Escape");
  ASSERT_TRUE(driver_->WaitUntilGone(about, kWindowTimeout));
  ExpectDialogStillOpen("Escape in the About box");
  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
}

}  // namespace
}  // namespace chronolist
