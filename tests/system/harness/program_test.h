// What the GUI tests of the built program share: one private X server per
// test binary, the program started in a fresh game folder with a clean
// environment, the sample replays and the page they make.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app_process.h"
#include "framework/resources.h"
#include "res/resource.h"
#include "support/page_fixture.h"
#include "support/scratch_folder.h"
#include "x_driver.h"
#include "xvfb_session.h"

namespace chronolist::gui_tests {

using namespace std::chrono_literals;

inline constexpr char kProgram[] = CHRONOLIST_PROGRAM;
inline constexpr char kLeakSuppressions[] = CHRONOLIST_LEAK_SUPPRESSIONS;
inline constexpr char kTitle[] = "ChronolistEx";
inline constexpr char kPage[] = "replistEX.html";

inline constexpr auto kStartTimeout = 20s;
inline constexpr auto kExitTimeout = 15s;

using Environment = std::map<std::string, std::optional<std::string>>;

inline std::string SanitizerOptions(const char* variable, const std::string& ours) {
  const char* theirs = std::getenv(variable);
  return theirs != nullptr && *theirs != '\0' ? std::string(theirs) + ":" + ours : ours;
}

// What every start of the program shares. Under a sanitizer build, a report
// must not pass for Cancel's exit status 1, and the toolkit's lifelong caches
// are not leaks of ours.
inline Environment ProgramEnvironment() {
  return {
      // Settings of the developer's own desktop stay out.
      {"WAYLAND_DISPLAY", std::nullopt},
      {"GDK_BACKEND", std::nullopt},
      {"ASAN_OPTIONS", SanitizerOptions("ASAN_OPTIONS", "exitcode=86")},
      {"UBSAN_OPTIONS", SanitizerOptions("UBSAN_OPTIONS", "exitcode=86")},
      {"LSAN_OPTIONS",
       SanitizerOptions("LSAN_OPTIONS", "suppressions=" + std::string(kLeakSuppressions) +
                                            ":print_suppressions=0")},
  };
}

// One X server for the whole binary; started only when tests run, so that
// listing the tests needs no display.
class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    try {
      session = std::make_unique<gui::XvfbSession>();
    } catch (const std::exception& error) {
      FAIL() << error.what();
    }
  }
  void TearDown() override { session.reset(); }

  static inline std::unique_ptr<gui::XvfbSession> session;
};

using test::FolderEntries;
using test::kOldPage;
using test::LaySampleReplays;
using test::SamplePage;

// The About box's caption, as the program's own dialog template has it.
inline std::string AboutTitle() {
  return fw::FindDialogTemplate(IDD_ABOUT_BOX)->caption;
}

// A test of the program's windows, each in a game folder of its own.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(XvfbEnvironment::session, nullptr) << "the X server did not start";
    driver_ = std::make_unique<gui::XDriver>(XvfbEnvironment::session->Display());
  }

  // The next test shares the X server; it must not find this one's window.
  void TearDown() override {
    app_.reset();
    if (dialog_ != 0) {
      EXPECT_TRUE(driver_->WaitUntilGone(dialog_, 5s)) << "the dialog outlived its process";
    }
  }

  // Starts the program (or has `launcher`, e.g. gio launch, start it) in the
  // working folder and returns its dialog once shown, whatever its pid when
  // launched. `extraEnvironment` goes over the test's own.
  gui::WindowId Start(const std::vector<std::string>& extraArgs = {},
                      const Environment& extraEnvironment = {},
                      const std::vector<std::string>& launcher = {}) {
    std::vector<std::string> argv =
        launcher.empty() ? std::vector<std::string>{kProgram} : launcher;
    argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
    Environment environment = ProgramEnvironment();
    environment["DISPLAY"] = XvfbEnvironment::session->Display();
    // No accessibility bus unless a test brings one; do not look for one.
    environment["NO_AT_BRIDGE"] = "1";
    for (const auto& [name, value] : extraEnvironment) {
      environment[name] = value;
    }
    app_ = std::make_unique<gui::AppProcess>(
        argv, gui::LaunchOptions{.workingDirectory = std::filesystem::current_path(),
                                 .environment = environment});
    try {
      dialog_ = launcher.empty() ? driver_->WaitForWindow(kTitle, app_->Pid(), kStartTimeout,
                                                          [this] { return !app_->Running(); })
                                 : driver_->WaitForWindow(kTitle, std::nullopt, kStartTimeout);
      return dialog_;
    } catch (const std::exception& error) {
      throw std::runtime_error(std::string(error.what()) + "\n" + ExitReport());
    }
  }

  void ExpectExit(int expected) {
    const std::optional<int> status = app_->WaitForExit(kExitTimeout);
    ASSERT_TRUE(status.has_value()) << "still running " << kExitTimeout.count() << " s later";
    EXPECT_EQ(*status, expected) << "stderr:\n" << app_->Stderr();
  }

  // How the program stands, for a failure message.
  std::string ExitReport() {
    return "exit status " +
           (app_->Running() ? "none, still running" : std::to_string(*app_->WaitForExit(0ms))) +
           "\nstderr:\n" + app_->Stderr();
  }

  test::ScratchFolder folder_;
  std::unique_ptr<gui::XDriver> driver_;
  std::unique_ptr<gui::AppProcess> app_;
  gui::WindowId dialog_ = 0;
};

}  // namespace chronolist::gui_tests
