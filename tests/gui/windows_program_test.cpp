// The Windows build driven as a user meets it under Wine: started with `wine`
// in a fresh game folder on the private X server, in a Wine prefix of this
// binary's own, and judged as the Linux program is, by its exit status, the
// page it leaves behind and the windows it shows.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app_process.h"
#include "program_test.h"
#include "support/scratch_folder.h"
#include "window_checks.h"
#include "x_driver.h"

namespace chronolist {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using gui::AppProcess;
using gui::Describe;
using gui::LaunchOptions;
using gui::Rect;
using gui::TopLevel;
using gui::WindowId;
using gui_tests::Environment;
using gui_tests::FolderEntries;
using gui_tests::kOldPage;
using gui_tests::kPage;
using gui_tests::kTitle;
using gui_tests::LaySampleReplays;
using gui_tests::SamplePage;
using testing::ReadBytes;
using testing::WriteBytes;

constexpr char kWindowsProgram[] = CHRONOLIST_WINDOWS_PROGRAM;
constexpr char kMakeWinePrefix[] = CHRONOLIST_MAKE_WINE_PREFIX;
constexpr char kAboutTitle[] = "ChronolistExのﾊﾞｰｼﾞｮﾝ情報";
// Prefixes are named after the test process, so that one left behind by a
// killed run can be told from one in use.
constexpr char kPrefixStem[] = "chronolist-wine-";

// A fresh prefix boots Wine's services before the first window shows.
constexpr auto kPrefixTimeout = 120s;
constexpr auto kWineStartTimeout = 45s;
constexpr auto kWindowTimeout = 10s;
constexpr auto kServerTimeout = 15s;

Environment WineVariables(const fs::path& prefix) {
  return {
      {"WINEPREFIX", prefix.string()},
      {"WINEDEBUG", "-all"},
      {"WINEDLLOVERRIDES", "mscoree,mshtml="},
  };
}

std::string Output(const AppProcess& process) {
  return "stdout:\n" + process.Stdout() + "\nstderr:\n" + process.Stderr();
}

// The server stays a few seconds after the last program and would keep
// writing into the prefix: -k ends it with every Wine process of the prefix,
// -w returns once it has gone. An empty result is success.
std::string StopWineServer(const fs::path& prefix) {
  for (const char* option : {"-k", "-w"}) {
    AppProcess server({"wineserver", option}, LaunchOptions{.environment = WineVariables(prefix)});
    if (!server.WaitForExit(kServerTimeout)) {
      return "wineserver " + std::string(option) + " for " + prefix.string() +
             " still running after " + std::to_string(kServerTimeout.count()) + " s\n" +
             Output(server);
    }
  }
  return {};
}

// A run killed on its timeout leaves its prefix, some 700 MB, behind; clear
// those whose test process has gone.
void RemoveAbandonedPrefixes() {
  std::vector<fs::path> abandoned;
  std::error_code error;
  for (fs::directory_iterator entry(fs::temp_directory_path(), error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    if (!name.starts_with(kPrefixStem)) {
      continue;
    }
    const char* first = name.data() + std::strlen(kPrefixStem);
    pid_t owner = 0;
    const auto [last, parsed] = std::from_chars(first, name.data() + name.size(), owner);
    if (parsed == std::errc() && *last == '-' && owner > 0 && ::kill(owner, 0) != 0 &&
        errno == ESRCH) {
      abandoned.push_back(entry->path());
    }
  }
  for (const fs::path& prefix : abandoned) {
    StopWineServer(prefix);
    std::error_code ignored;
    fs::remove_all(prefix, ignored);
  }
}

// One Wine prefix for the whole binary, made with the same script as the
// Windows build's tests use but in a temporary folder, so that this run does
// not depend on that tree.
class WinePrefixEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    RemoveAbandonedPrefixes();
    std::string folder =
        (fs::temp_directory_path() / (kPrefixStem + std::to_string(::getpid()) + "-XXXXXX"))
            .string();
    if (::mkdtemp(folder.data()) == nullptr) {
      FAIL() << "cannot make a folder from " << folder << ": " << std::strerror(errno);
    }
    prefix = folder;

    const auto started = std::chrono::steady_clock::now();
    // Without a display wineboot shows no progress window on the test's server.
    AppProcess maker({kMakeWinePrefix, prefix.string()},
                     LaunchOptions{.environment = {{"DISPLAY", std::nullopt},
                                                   {"WAYLAND_DISPLAY", std::nullopt}}});
    const std::optional<int> status = maker.WaitForExit(kPrefixTimeout);
    if (!status) {
      maker.Terminate();
      FAIL() << kMakeWinePrefix << " " << prefix << " still running after "
             << kPrefixTimeout.count() << " s\n"
             << Output(maker);
    }
    ASSERT_EQ(*status, 0) << kMakeWinePrefix << " " << prefix << " failed\n" << Output(maker);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::cout << "Wine prefix " << prefix.string() << " made in " << std::fixed
              << std::setprecision(1) << took.count() << " s\n";
  }

  void TearDown() override {
    if (prefix.empty()) {
      return;
    }
    const std::string problem = StopWineServer(prefix);
    EXPECT_TRUE(problem.empty()) << problem;
    std::error_code error;
    fs::remove_all(prefix, error);
    EXPECT_FALSE(error) << "cannot remove the Wine prefix " << prefix << ": " << error.message();
    prefix.clear();
  }

  static inline fs::path prefix;
};

class WindowsProgramTest : public gui_tests::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (!HasFatalFailure()) {
      ASSERT_FALSE(WinePrefixEnvironment::prefix.empty()) << "the Wine prefix was not made";
    }
  }

  // Takes the place of ProgramTest::Start, which would run the .exe itself.
  // `wine` ends in an exec of the program, so the pid is the program's, as
  // are the exit status and the windows' _NET_WM_PID.
  WindowId Start() {
    Environment environment = WineVariables(WinePrefixEnvironment::prefix);
    environment["DISPLAY"] = gui_tests::XvfbEnvironment::session->Display();
    environment["WAYLAND_DISPLAY"] = std::nullopt;
    app_ = std::make_unique<AppProcess>(
        std::vector<std::string>{"wine", kWindowsProgram},
        LaunchOptions{.workingDirectory = folder_.path(), .environment = environment});
    dialog_ = WaitForOwnWindow([](const TopLevel& topLevel) { return topLevel.title == kTitle; },
                               "titled \"" + std::string(kTitle) + "\"", kWineStartTimeout);
    return dialog_;
  }

  // A viewable top-level window of the program; the wait ends early, with
  // the exit status and stderr, when the program exits instead.
  WindowId WaitForOwnWindow(const gui::XDriver::Match& match, const std::string& what,
                            std::chrono::milliseconds timeout = kWindowTimeout) {
    const pid_t pid = app_->Pid();
    try {
      return driver_->WaitForWindow(
          [&](const TopLevel& topLevel) { return topLevel.pid == pid && match(topLevel); },
          what + " of pid " + std::to_string(pid), timeout, [this] { return !app_->Running(); });
    } catch (const std::exception& error) {
      throw std::runtime_error(std::string(error.what()) + "\n" + ExitReport());
    }
  }

  // Only the main dialog shows: no menu, About box or message left over.
  void ExpectOnlyTheDialog(const std::string& after) {
    EXPECT_TRUE(app_->Running()) << "after " << after << ": " << ExitReport();
    std::ostringstream shown;
    bool onlyDialog = true;
    for (const TopLevel& topLevel : driver_->ViewableTopLevels(app_->Pid())) {
      shown << " \"" << topLevel.title << "\"";
      onlyDialog = onlyDialog && topLevel.window == dialog_;
    }
    EXPECT_TRUE(onlyDialog && driver_->Viewable(dialog_))
        << "after " << after << " the program shows:" << shown.str();
  }
};

TEST_F(WindowsProgramTest, ReturnWritesThePageAndExitsZero) {
  LaySampleReplays();
  const WindowId dialog = Start();
  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  // The same bytes as the Linux program writes: no CR added, nothing else.
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

TEST_F(WindowsProgramTest, EscapeExitsOneAndLeavesThePageAlone) {
  LaySampleReplays();
  WriteBytes(kPage, kOldPage);
  const WindowId dialog = Start();
  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
  EXPECT_EQ(ReadBytes(kPage), kOldPage);
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

TEST_F(WindowsProgramTest, SystemMenuOpensTheAboutBoxCentredOverTheDialog) {
  LaySampleReplays();
  const WindowId dialog = Start();
  const pid_t pid = app_->Pid();

  driver_->Focus(dialog);
  // Out of the menu's way, so that only the keyboard selects in it.
  driver_->MovePointer(driver_->ScreenWidth() - 1, driver_->ScreenHeight() - 1);
  driver_->TypeKey("alt+space");
  const WindowId menu = WaitForOwnWindow(
      [&](const TopLevel& topLevel) { return gui::IsPopupMenu(*driver_, topLevel, pid); },
      "that is a popup menu");
  // Wine's items come first and "About Wine" shares our access key; Up wraps
  // from the first item round to ours, the last.
  driver_->TypeKey("Up");
  driver_->TypeKey("Return");
  const WindowId about =
      WaitForOwnWindow([](const TopLevel& topLevel) { return topLevel.title == kAboutTitle; },
                       "titled \"" + std::string(kAboutTitle) + "\"");
  EXPECT_TRUE(driver_->WaitUntilGone(menu, 5s)) << "the system menu stayed open";
  EXPECT_EQ(driver_->TransientFor(about), dialog) << "the About box is not the dialog's";

  // Both windows are client areas only (no window manager draws captions),
  // and their frames match, so the centres compare as the whole windows' do.
  const Rect box = driver_->Geometry(about);
  const Rect owner = driver_->Geometry(dialog);
  EXPECT_NEAR(box.x + box.width / 2.0, owner.x + owner.width / 2.0, 2.0)
      << "About box " << Describe(box) << " over dialog " << Describe(owner);
  EXPECT_NEAR(box.y + box.height / 2.0, owner.y + owner.height / 2.0, 2.0)
      << "About box " << Describe(box) << " over dialog " << Describe(owner);

  driver_->SendKey(about, "Escape");
  ASSERT_TRUE(driver_->WaitUntilGone(about, kWindowTimeout)) << "Escape did not close it";
  ExpectOnlyTheDialog("Escape in the About box");
  EXPECT_EQ(FolderEntries("."), std::vector<std::string>{"replay"});

  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

TEST_F(WindowsProgramTest, UnwritablePageShowsAnErrorAndKeepsTheDialogOpen) {
  LaySampleReplays();
  fs::create_directory(kPage);
  WriteBytes(fs::path(kPage) / "keep.txt", "inside");
  const WindowId dialog = Start();
  driver_->SendKey(dialog, "Return");

  const WindowId error = WaitForOwnWindow(
      [&](const TopLevel& topLevel) {
        return topLevel.window != dialog && !topLevel.overrideRedirect;
      },
      "other than the dialog");
  EXPECT_TRUE(app_->Running());
  EXPECT_TRUE(driver_->Viewable(dialog)) << "the dialog closed behind the error message";
  EXPECT_EQ(driver_->TransientFor(error), dialog) << "the error message is not the dialog's";

  driver_->SendKey(error, "Return");
  ASSERT_TRUE(driver_->WaitUntilGone(error, kWindowTimeout))
      << "Return did not close the error message";
  ExpectOnlyTheDialog("closing the error message");

  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
  EXPECT_TRUE(fs::is_directory(kPage));
  EXPECT_EQ(FolderEntries(kPage), std::vector<std::string>{"keep.txt"});
  EXPECT_EQ(ReadBytes(fs::path(kPage) / "keep.txt"), "inside");
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

}  // namespace
}  // namespace chronolist

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Torn down in the reverse order: Wine's processes end before their X server.
  ::testing::AddGlobalTestEnvironment(new chronolist::gui_tests::XvfbEnvironment);
  ::testing::AddGlobalTestEnvironment(new chronolist::WinePrefixEnvironment);
  return RUN_ALL_TESTS();
}
