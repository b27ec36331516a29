// The Windows build driven as a user meets it under Wine: started with `wine`
// in a fresh game folder on the private X server, in a Wine prefix of this
// binary's own, and judged as the Linux program is, by its exit status, the
// page it leaves behind and the windows it shows. What only the Windows API
// sees (message text, DPI, placement) window_probe.exe reads back. ctest runs
// the binary twice: in the test's locale and in ja_JP.UTF-8 (code page 932).
#include <signal.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app_process.h"
#include "framework/cstring.h"
#include "framework/dialog_units.h"
#include "framework/resources.h"
#include "program_test.h"
#include "res/resource.h"
#include "support/ico_slice.h"
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
using gui_tests::AboutTitle;
using gui_tests::Environment;
using gui_tests::FolderEntries;
using gui_tests::kOldPage;
using gui_tests::kPage;
using gui_tests::kTitle;
using gui_tests::LaySampleReplays;
using gui_tests::SamplePage;
using test::ExpectedPage;
using test::ReadBytes;
using test::ReplayFile;
using test::WriteBytes;

constexpr char kWindowsProgram[] = CHRONOLIST_WINDOWS_PROGRAM;
constexpr char kMakeWinePrefix[] = CHRONOLIST_MAKE_WINE_PREFIX;
constexpr char kWindowProbe[] = CHRONOLIST_WINDOW_PROBE;
constexpr int kErrorAccessDenied = 5;
// Prefixes are named after the test process, so that one left behind by a
// killed run can be told from one in use.
constexpr char kPrefixStem[] = "chronolist-wine-";

// A fresh prefix boots Wine's services before the first window shows.
constexpr auto kPrefixTimeout = 120s;
constexpr auto kWineStartTimeout = 45s;
constexpr auto kWindowTimeout = 10s;
constexpr auto kServerTimeout = 15s;

// The Windows build is made apart from this one, and may not be there.
bool WindowsBuildMissing() {
  return !fs::exists(kWindowsProgram) || !fs::exists(kWindowProbe);
}

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
    if (WindowsBuildMissing()) {
      return;  // every test skips
    }
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

// ctest's second run of this binary: Wine's code page is then 932.
bool InJapaneseLocale() {
  const char* locale = std::getenv("LC_ALL");
  return locale != nullptr && std::string_view(locale).starts_with("ja_JP");
}

// What the program says when the page cannot be written, built from the
// program's own string resource `id` around the page's full path as Windows
// names it under Wine (Z: is /) and the system's reason.
std::string PageMessage(fw::UINT id, const fs::path& folder, const std::string& reason = "") {
  std::string path = "Z:" + (folder / kPage).string();
  std::replace(path.begin(), path.end(), '/', '\\');
  fw::CString message;
  fw::AfxFormatString2(message, id, path.c_str(), reason.c_str());
  return message;
}

// Wine takes the screen's DPI from the prefix's registry when its server
// starts: set it with the server stopped, and put 96 back afterwards.
class WineDpi {
 public:
  explicit WineDpi(int dpi) { Set(dpi); }
  WineDpi(const WineDpi&) = delete;
  WineDpi& operator=(const WineDpi&) = delete;
  ~WineDpi() { Set(96); }

 private:
  static void Set(int dpi) {
    const fs::path& prefix = WinePrefixEnvironment::prefix;
    AppProcess reg({"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                    "REG_DWORD", "/d", std::to_string(dpi), "/f"},
                   LaunchOptions{.environment = WineVariables(prefix)});
    const std::optional<int> status = reg.WaitForExit(kWineStartTimeout);
    EXPECT_EQ(status, 0) << "cannot set LogPixels to " << dpi << "\n" << Output(reg);
    const std::string problem = StopWineServer(prefix);
    EXPECT_TRUE(problem.empty()) << problem;
    // Wine may rewrite the font link for the new DPI: the prefix's maker puts
    // it back, and waits for the server to go.
    AppProcess relink({kMakeWinePrefix, prefix.string()},
                      LaunchOptions{.environment = {{"DISPLAY", std::nullopt}}});
    EXPECT_EQ(relink.WaitForExit(kWineStartTimeout), 0) << Output(relink);
  }
};

class WindowsProgramTest : public gui_tests::ProgramTest {
 protected:
  void SetUp() override {
    if (WindowsBuildMissing()) {
      GTEST_SKIP() << kWindowsProgram << " or " << kWindowProbe
                   << " is missing: build the windows preset first";
    }
    ProgramTest::SetUp();
    if (!HasFatalFailure()) {
      ASSERT_FALSE(WinePrefixEnvironment::prefix.empty()) << "the Wine prefix was not made";
    }
  }

  // Takes the place of ProgramTest::Start, which would run the .exe itself.
  // `wine` ends in an exec of the program, so the pid is the program's, as
  // are the exit status and the windows' _NET_WM_PID.
  // `program` may be a copy kept elsewhere; `title` is that of the first
  // window to wait for.
  WindowId Start(const std::vector<std::string>& arguments = {},
                 const fs::path& program = kWindowsProgram, const fs::path& workingFolder = ".",
                 const std::string& title = kTitle) {
    Environment environment = WineVariables(WinePrefixEnvironment::prefix);
    environment["DISPLAY"] = gui_tests::XvfbEnvironment::session->Display();
    environment["WAYLAND_DISPLAY"] = std::nullopt;
    std::vector<std::string> argv{"wine", program.string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    app_ = std::make_unique<AppProcess>(
        argv, LaunchOptions{.workingDirectory = workingFolder, .environment = environment});
    const WindowId shown =
        WaitForOwnWindow([&](const TopLevel& topLevel) { return topLevel.title == title; },
                         "titled \"" + title + "\"", kWineStartTimeout);
    dialog_ = title == kTitle ? shown : 0;
    return shown;
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

  // window_probe.exe's `name=value` lines; `text` is last and may span lines.
  std::map<std::string, std::string> Probe(const std::vector<std::string>& arguments) {
    Environment environment = WineVariables(WinePrefixEnvironment::prefix);
    environment["DISPLAY"] = gui_tests::XvfbEnvironment::session->Display();
    std::vector<std::string> argv{"wine", kWindowProbe};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    AppProcess probe(argv, LaunchOptions{.environment = environment});
    const std::optional<int> status = probe.WaitForExit(kWineStartTimeout);
    if (status != 0) {
      probe.Terminate();
      throw std::runtime_error("window_probe failed\n" + Output(probe));
    }
    std::map<std::string, std::string> facts;
    const std::string output = probe.Stdout();
    std::string_view rest = output;
    while (!rest.empty()) {
      const std::size_t equals = rest.find('=');
      if (equals == std::string_view::npos) {
        throw std::runtime_error("window_probe printed\n" + output);
      }
      const std::string name(rest.substr(0, equals));
      rest.remove_prefix(equals + 1);
      const std::size_t end = name == "text" ? rest.size() - 1 : rest.find('\n');
      facts[name] = std::string(rest.substr(0, end));
      rest.remove_prefix(std::min(rest.size(), end + 1));
    }
    return facts;
  }

  // The dialog measured against its template converted with the dialog
  // font's base units at `dpi`, as the Windows dialog manager converts it,
  // unless a text would not fit (`asTemplate` false) and its control grew.
  // `face`: the face the dialog must be drawn in, when not the template's.
  void ExpectLaidOutFromTheFontAt(int dpi, bool asTemplate = true, const std::string& face = "") {
    const auto facts = Probe(face.empty() ? std::vector<std::string>{"dialog", kTitle}
                                          : std::vector<std::string>{"dialog", kTitle, face});
    EXPECT_EQ(facts.at("missing"), "0") << "characters without a glyph at " << dpi << " DPI";
    ASSERT_EQ(facts.at("dpi"), std::to_string(dpi));
    const fw::DialogTemplate* dialog = fw::FindDialogTemplate(IDD_MAIN_DIALOG);
    ASSERT_NE(dialog, nullptr);
    auto size = [&](const std::string& baseUnits) {
      const auto [x, y] = Pair(baseUnits, 'x');
      const fw::DialogBaseUnits units{x, y};
      return std::to_string(fw::DialogXToPixels(dialog->cx, units)) + "x" +
             std::to_string(fw::DialogYToPixels(dialog->cy, units));
    };
    EXPECT_TRUE(!asTemplate || facts.at("client") == size(facts.at("base")))
        << facts.at("client") << " from base units " << facts.at("base") << " at " << dpi << " DPI";
    const auto [width, height] = Pair(facts.at("client"), 'x');
    const auto [width96, height96] = Pair(size(facts.at("base96")), 'x');
    if (asTemplate) {
      EXPECT_NEAR(static_cast<double>(width) / width96, dpi / 96.0, 0.1) << facts.at("client");
      EXPECT_NEAR(static_cast<double>(height) / height96, dpi / 96.0, 0.1) << facts.at("client");
    }

    // Centred in the work area, frame and caption included.
    const std::vector<int> window = Numbers(facts.at("window"), ',');
    const std::vector<int> work = Numbers(facts.at("work"), ',');
    ASSERT_EQ(window.size(), 4u);
    ASSERT_EQ(work.size(), 4u);
    EXPECT_NEAR((window[0] + window[2]) / 2.0, (work[0] + work[2]) / 2.0, 1.0)
        << facts.at("window");
    EXPECT_NEAR((window[1] + window[3]) / 2.0, (work[1] + work[3]) / 2.0, 1.0)
        << facts.at("window");

    // The window's icons are the .ico's own images for the sizes Windows
    // asks at this DPI, pixel for pixel, where it has them (16 to 64 px, so
    // also at 200 %): none is a stretched smaller image.
    const auto [bigSize, smallSize] = Pair(facts.at("icon-sizes"), 'x');
    const std::string ico = test::ReadBytes(CHRONOLIST_APP_ICON_ICO);
    std::vector<gui::IconSize> shown;
    for (const gui::Icon& icon : driver_->Icons(dialog_)) {
      shown.push_back(icon.size);
      const int size = icon.size.width;
      const bool made = size == 16 || size == 24 || size == 32 || size == 48 || size == 64;
      EXPECT_TRUE(made ? icon.argb == IcoImageArgb(ico, size) : IcoImageArgb(ico, size).empty())
          << icon.size.width << " px icon is not the .ico's own image of that size";
    }
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, (std::vector<gui::IconSize>{{smallSize, smallSize}, {bigSize, bigSize}}));

    // No text wider or taller than its control, in the dialog's font.
    const auto [baseX, baseY] = Pair(facts.at("base"), 'x');
    for (std::size_t i = 0; i < dialog->items.size(); ++i) {
      const fw::DialogItemTemplate& item = dialog->items[i];
      const std::vector<int> at = Numbers(facts.at("control" + std::to_string(i)), ',');
      const auto [textWidth, textHeight] = Pair(facts.at("extent" + std::to_string(i)), 'x');
      const fw::CRect rect(at.at(0), at.at(1), at.at(2), at.at(3));
      EXPECT_TRUE(textWidth <= rect.Width() && textHeight <= rect.Height())
          << item.text << " " << textWidth << " px in " << rect.Width() << " at " << dpi << " DPI";
      EXPECT_TRUE(!asTemplate ||
                  rect == fw::DialogRectToPixels(item.x, item.y, item.cx, item.cy, {baseX, baseY}))
          << item.text << " at " << dpi << " DPI";
    }
  }

  static std::vector<int> Numbers(const std::string& text, char separator) {
    std::vector<int> numbers;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
      numbers.push_back(std::stoi(part));
    }
    return numbers;
  }

  static std::pair<int, int> Pair(const std::string& text, char separator) {
    const std::vector<int> numbers = Numbers(text, separator);
    if (numbers.size() != 2) {
      throw std::runtime_error("not a pair: " + text);
    }
    return {numbers[0], numbers[1]};
  }

  // The .ico's deepest image of `size` pixels as _NET_WM_ICON holds it;
  // empty when the .ico has no such image.
  static std::vector<std::uint32_t> IcoImageArgb(const std::string& ico, int size) {
    GdkPixbuf* image = test::IcoImage(ico, size);
    std::vector<std::uint32_t> argb = test::PixbufArgb(image);
    if (image != nullptr) {
      g_object_unref(image);
    }
    return argb;
  }

  // The system's text for a Win32 error as FormatMessageW gives it, without
  // the line break it ends in. In ja_JP it must be Japanese, from code page
  // 932's system: the case that used to turn into mojibake.
  std::string SystemReason(int code) {
    const auto facts = Probe({"error-text", std::to_string(code)});
    std::string text;
    const std::string& escaped = facts.at("text");
    for (std::size_t i = 0; i < escaped.size(); ++i) {
      if (escaped[i] == '\\' && i + 1 < escaped.size() &&
          (escaped[i + 1] == 'r' || escaped[i + 1] == 'n')) {
        text += escaped[++i] == 'r' ? '\r' : '\n';
      } else {
        text += escaped[i];
      }
    }
    while (!text.empty() && std::string_view(" \t\r\n").find(text.back()) != std::string::npos) {
      text.pop_back();
    }
    EXPECT_FALSE(text.empty());
    if (InJapaneseLocale()) {
      EXPECT_EQ(facts.at("code-page"), "932");
      // Kana and kanji: three UTF-8 bytes, led by 0xE3 to 0xE9.
      EXPECT_TRUE(std::any_of(text.begin(), text.end(),
                              [](char c) {
                                return static_cast<unsigned char>(c) >= 0xE3 &&
                                       static_cast<unsigned char>(c) <= 0xE9;
                              }))
          << "not Japanese: " << text;
    }
    return text;
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

// A link named exactly as a temporary page, to a file elsewhere, stays, and
// so does its target: Wine follows Unix links. A FIFO in a replay's place is
// never opened (Wine would open it).
TEST_F(WindowsProgramTest, ReturnWritesThePageAndExitsZero) {
  LaySampleReplays();
  ASSERT_EQ(::mkfifo(test::ReplayFile(114).c_str(), 0644), 0);
  const int opens = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(::inotify_add_watch(opens, test::ReplayFile(114).c_str(), IN_OPEN), 0);
  const fs::path outside = folder_.path() / "replay" / "notes.txt";
  WriteBytes(outside, "not ours");
  fs::create_symlink(outside, "replistEX.html.tmp-0123456789abcdef");
  const WindowId dialog = Start();
  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  // The same bytes as the Linux program writes: no CR added, nothing else.
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
  EXPECT_EQ(FolderEntries("."),
            (std::vector<std::string>{"replay", kPage, "replistEX.html.tmp-0123456789abcdef"}));
  EXPECT_EQ(ReadBytes(outside), "not ours");
  alignas(inotify_event) char event[sizeof(inotify_event) + NAME_MAX + 1];
  EXPECT_LT(::read(opens, event, sizeof event), 0) << "the FIFO was opened";
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
      WaitForOwnWindow([](const TopLevel& topLevel) { return topLevel.title == AboutTitle(); },
                       "titled \"" + AboutTitle() + "\"");
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

  // Replacing a folder is refused with "access denied"; the message quotes
  // the system's own words for it, in the system's language, on one line.
  const std::string reason = SystemReason(kErrorAccessDenied);
  const std::string text = Probe({"message-box", kTitle}).at("text");
  EXPECT_EQ(text, PageMessage(IDS_PAGE_NOT_CREATED, folder_.path(), reason));
  EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << "U+FFFD in\n" << text;
  EXPECT_EQ(text.find("\n\n\n"), std::string::npos) << "a blank line too many in\n" << text;

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

// A viewer holding the page open: after the retries the message says so and
// asks to close it, where a read-only page gets "access denied"; once the
// viewer has gone, OK again writes the page.
TEST_F(WindowsProgramTest, APageHeldOpenIsToldApartFromAReadOnlyOne) {
  LaySampleReplays();
  WriteBytes(kPage, kOldPage);
  const WindowId dialog = Start();
  auto messageAfterOk = [&] {
    driver_->SendKey(dialog, "Return");
    const WindowId box =
        WaitForOwnWindow([&](const TopLevel& t) { return t.window != dialog; }, "saying why");
    std::string text = Probe({"message-box", kTitle}).at("text");
    driver_->SendKey(box, "Return");
    EXPECT_TRUE(driver_->WaitUntilGone(box, kWindowTimeout));
    return text;
  };
  fs::permissions(kPage, fs::perms::owner_read);
  EXPECT_EQ(messageAfterOk(),
            PageMessage(IDS_PAGE_NOT_WRITTEN, folder_.path(), SystemReason(kErrorAccessDenied)));
  fs::permissions(kPage, fs::perms::owner_read | fs::perms::owner_write);
  AppProcess viewer({"wine", kWindowProbe, "hold", "Z:" + (folder_.path() / kPage).string()},
                    LaunchOptions{.environment = WineVariables(WinePrefixEnvironment::prefix)});
  ASSERT_TRUE(gui::WaitUntil([&] { return viewer.Stdout().starts_with("held="); }, 30s))
      << Output(viewer);
  EXPECT_EQ(messageAfterOk(), PageMessage(IDS_PAGE_HELD_OPEN, folder_.path()));
  EXPECT_EQ(ReadBytes(kPage), kOldPage);
  viewer.Terminate();
  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

// Kept in a game folder deeper than MAX_PATH, started by a shortcut whose
// "Start in" is another folder; then that game folder, its name Japanese and
// an emoji outside code page 932, dropped onto the program; then started
// where there are no replays; then on a folder that is not there.
TEST_F(WindowsProgramTest, ThePageLandsInTheGameFolderHoweverItIsStarted) {
  const fs::path game = folder_.path() / std::string(120, 'd') / std::string(120, 'e') / "ゲーム 🎮";
  WriteBytes(game / ReplayFile(111), std::string(1875, 'x'));
  fs::copy_file(kWindowsProgram, game / "Chronolist.exe");
  // Left by a writer that died; the clean-up must reach this deep too.
  WriteBytes(game / "replistEX.html.tmp-0123456789abcdef", "abandoned");
  fs::create_directory("elsewhere");
  driver_->SendKey(Start({}, game / "Chronolist.exe", "elsewhere"), "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(game / kPage), ExpectedPage({{111, "01:02:15"}}));
  EXPECT_EQ(FolderEntries(game), (std::vector<std::string>{"Chronolist.exe", "replay", kPage}));
  EXPECT_TRUE(fs::is_empty("elsewhere"));

  fs::remove(game / kPage);
  auto windowsPath = [](const fs::path& path) {
    std::string text = "Z:" + path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
  };
  driver_->SendKey(Start({windowsPath(game)}, kWindowsProgram, "elsewhere"), "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(game / kPage), ExpectedPage({{111, "01:02:15"}}));

  // No replay folder anywhere: OK asks, naming the folder, and No (Return,
  // the default) writes nothing and keeps the dialog.
  const WindowId dialog = Start({}, kWindowsProgram, "elsewhere");
  driver_->SendKey(dialog, "Return");
  fw::CString message;
  fw::AfxFormatString1(message, IDS_NO_REPLAY_FOLDER,
                       windowsPath(folder_.path() / "elsewhere").c_str());
  EXPECT_EQ(Probe({"message-box", kTitle}).at("text"), static_cast<std::string>(message));
  const WindowId question =
      WaitForOwnWindow([&](const TopLevel& t) { return t.window != dialog; }, "asking");
  driver_->SendKey(question, "Return");
  ASSERT_TRUE(driver_->WaitUntilGone(question, kWindowTimeout));
  ExpectOnlyTheDialog("No");
  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);

  const std::string missing = windowsPath(folder_.path() / "ない");
  const WindowId box = Start({missing}, kWindowsProgram, "elsewhere", "Chronolist");
  fw::AfxFormatString1(message, IDS_FOLDER_NOT_FOUND, missing.c_str());
  EXPECT_EQ(Probe({"lone-box", "Chronolist"}).at("text"), static_cast<std::string>(message));
  driver_->SendKey(box, "Return");
  ExpectExit(2);
  EXPECT_TRUE(fs::is_empty("elsewhere"));
}

// After a session, from a .bat beside the game, without a display: "%~dp0"
// ends in a backslash, so the folder reaches the program with a quote and the
// rest of the line. A folder without replays gets nothing, and the reason in
// the console's own characters.
TEST_F(WindowsProgramTest, WriteFromABatchFileBesideTheGameNeedsNoWindow) {
  LaySampleReplays();
  for (const fs::path& game : {fs::path("."), fs::path("empty")}) {
    fs::create_directories(game);
    fs::copy_file(kWindowsProgram, game / "Chronolist.exe");
    WriteBytes(game / "after.bat", game == "."
                                       ? R"(@"%~dp0Chronolist.exe" --write "%~dp0" || pause)"
                                       : R"(@"%~dp0Chronolist.exe" "%~dp0" --write)");
    Environment environment = WineVariables(WinePrefixEnvironment::prefix);
    environment["DISPLAY"] = std::nullopt;
    // The second in a console, a terminal for Wine, as a double-clicked .bat.
    AppProcess batch(
        game == "." ? std::vector<std::string>{"wine", "cmd", "/c", "after.bat"}
                    : std::vector<std::string>{"script", "-qec",
                                               "stty cols 999; wine cmd /c after.bat", "/dev/null"},
        LaunchOptions{.workingDirectory = game, .environment = environment});
    const std::optional<int> status = batch.WaitForExit(kWineStartTimeout);
    std::string folder = "Z:" + fs::absolute(game).lexically_normal().string();
    std::replace(folder.begin(), folder.end(), '/', '\\');
    fw::CString message;
    fw::AfxFormatString1(message, IDS_NO_REPLAY_FOLDER_TO_WRITE, folder.c_str());
    const std::string shown = std::regex_replace(game == "." ? batch.Stderr() : batch.Stdout(),
                                                 std::regex("\x1b\\[[?0-9;]*[A-Za-z]"), "");
    EXPECT_EQ(std::to_string(status.value_or(-1)) + shown,
              game == "." ? "0" : "1Chronolist: " + message + "\r\r\n");
  }
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
  EXPECT_EQ(FolderEntries("empty"), (std::vector<std::string>{"Chronolist.exe", "after.bat"}));
}

TEST_F(WindowsProgramTest, LaidOutFromTheDialogFontAt96Dpi) {
  const WindowId dialog = Start();
  ExpectLaidOutFromTheFontAt(96);
  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
}

// A 150 % display: the dialog manager builds the dialog from a 144 DPI font.
// (On Windows that takes the manifest's DPI awareness; Wine 8 lays out every
// program so, and program_file_tests checks the manifest itself.)
TEST_F(WindowsProgramTest, LaidOutFromTheDialogFontAt144Dpi) {
  WineDpi dpi(144);
  LaySampleReplays();
  const WindowId dialog = Start();
  ExpectLaidOutFromTheFontAt(144);
  driver_->SendKey(dialog, "Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
}

// 175, 200 and 300 %, where the font's glyphs round wider than the dialog
// units; last, as it leaves the prefix so, with no font standing in for the
// dialog's: Wine picks a face of its own (in ja_JP a wider Japanese one).
TEST_F(WindowsProgramTest, TextsFitTheirControlsAtLargeDpisAndInAnotherFont) {
  for (int setting : {168, 192, 288, 96}) {
    std::optional<WineDpi> dpi;
    if (setting == 96) {
      AppProcess({"wine", "reg", "delete", R"(HKCU\Software\Wine\Fonts\Replacements)", "/f"},
                 LaunchOptions{.environment = WineVariables(WinePrefixEnvironment::prefix)})
          .WaitForExit(kWineStartTimeout);
      EXPECT_EQ(StopWineServer(WinePrefixEnvironment::prefix), "");
    } else {
      dpi.emplace(setting);
    }
    const WindowId dialog = Start();
    // There Wine in the C locale picks DejaVu Sans, with no Japanese glyphs:
    // the dialog takes the first Japanese face installed instead.
    const bool fallback = setting == 96 && !InJapaneseLocale();
    if (fallback) {
      EXPECT_NE(Probe({"dialog", kTitle}).at("missing"), "0") << "Wine's pick has the glyphs";
    }
    ExpectLaidOutFromTheFontAt(setting, fallback, fallback ? "IPAPGothic" : "");
    driver_->SendKey(dialog, "Escape");
    ExpectExit(1);
  }
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
