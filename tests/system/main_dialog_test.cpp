// The built program as a user meets it: started in a game folder on a private
// X server, answered with keys and the close box, and judged by its exit
// status, the page it leaves behind and its window as a window manager sees it.
#include <pango/pangocairo.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

#include "app_process.h"
#include "framework/cstring.h"
#include "program_test.h"
#include "res/version.h"
#include "support/page_fixture.h"
#include "support/scratch_folder.h"
#include "x_driver.h"
#include "xvfb_session.h"

namespace chronolist::gui {

// Readable failures for the icon lists.
void PrintTo(const IconSize& size, std::ostream* out) {
  *out << size.width << "x" << size.height;
}

}  // namespace chronolist::gui

namespace chronolist {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using gui::AppProcess;
using gui::IconSize;
using gui::LaunchOptions;
using gui::XvfbSession;
using gui_tests::FolderEntries;
using gui_tests::kOldPage;
using gui_tests::kPage;
using gui_tests::kProgram;
using gui_tests::kTitle;
using gui_tests::LaySampleReplays;
using gui_tests::SamplePage;
using test::ExpectedPage;
using test::ReadBytes;
using test::ReplayFile;
using test::ScratchFolder;
using test::WriteBytes;

class MainDialogTest : public gui_tests::ProgramTest {};

// A key at the dialog, or its close box: exit 0 writes the page, 1 keeps the old one.
struct Answer {
  const char* name;
  bool oldPage;                   // whether a page from last time is there
  std::vector<const char*> keys;  // none: the close box
  int status;
};

class MainDialogAnswerTest : public gui_tests::ProgramTest,
                             public ::testing::WithParamInterface<Answer> {};

TEST_P(MainDialogAnswerTest, WritesThePageOnlyOnOk) {
  LaySampleReplays();
  if (GetParam().oldPage) {
    WriteBytes(kPage, kOldPage);
  }
  const gui::WindowId dialog = Start();
  for (const char* key : GetParam().keys) {
    driver_->SendKey(dialog, key);
  }
  if (GetParam().keys.empty()) {
    driver_->SendDeleteWindow(dialog);
  }
  ExpectExit(GetParam().status);
  EXPECT_EQ(ReadBytes(kPage), GetParam().status == 0 ? SamplePage() : kOldPage);
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

INSTANTIATE_TEST_SUITE_P(
    MainDialogTest, MainDialogAnswerTest,
    ::testing::Values(Answer{"ReturnWritesThePageAndExitsZero", false, {"Return"}, 0},
                      Answer{"SpaceOnTheFocusedOkWritesThePage", true, {"space"}, 0},
                      Answer{"EscapeCancelsAndLeavesThePageAlone", true, {"Escape"}, 1},
                      Answer{"TabMovesFocusToCancelSoReturnCancels", true, {"Tab", "Return"}, 1},
                      Answer{"CloseBoxCancelsAndLeavesThePageAlone", true, {}, 1}),
    [](const ::testing::TestParamInfo<Answer>& info) { return info.param.name; });

// A page of None where no replays are is most likely the wrong folder: OK
// asks first, and No, the default, keeps the dialog and writes nothing.
TEST_F(MainDialogTest, WithoutAReplayFolderOkAsksAndOnlyYesWritesEveryRoomAsNone) {
  const gui::WindowId dialog = Start();
  auto question = [&] {
    driver_->SendKey(dialog, "Return");
    return driver_->WaitForWindow("Chronolist", app_->Pid(), gui_tests::kStartTimeout,
                                  [this] { return !app_->Running(); });
  };
  const gui::WindowId first = question();
  EXPECT_EQ(driver_->TransientFor(first), dialog);
  driver_->SendKey(first, "Return");
  ASSERT_TRUE(driver_->WaitUntilGone(first)) << "Return did not answer the question";
  EXPECT_TRUE(app_->Running() && driver_->Viewable(dialog)) << ExitReport();
  EXPECT_TRUE(FolderEntries(".").empty()) << "No wrote something";

  driver_->SendKey(question(), "alt+y");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), ExpectedPage({}));
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{kPage}));
}

// The game folder named on the command line, as a file manager's Open With
// gives it, however it is spelled (relative, absolute after "--" with "."
// in it, through a symlink): its replays are read and the page goes there.
TEST_F(MainDialogTest, AFolderArgumentIsTheGameFolder) {
  const fs::path game = "ゲーム 🎮";
  WriteBytes(game / ReplayFile(111), std::string(4060, 'x'));
  fs::create_directory_symlink(game, "link");
  const std::vector<std::string> spellings[] = {
      {game.string()}, {"--", (fs::current_path() / "." / game / "").string()}, {"link"}};
  for (const std::vector<std::string>& arguments : spellings) {
    driver_->SendKey(Start(arguments), "Return");
    ExpectExit(0);
    EXPECT_EQ(ReadBytes(game / kPage), ExpectedPage({{111, "02:15:10"}})) << arguments.back();
    fs::remove(game / kPage);
  }
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"link", game.string()}));
}

TEST_F(MainDialogTest, ShowsExactlyOneTopLevelWindow) {
  Start();
  int titled = 0;
  for (const gui::TopLevel& topLevel : driver_->ViewableTopLevels()) {
    titled += topLevel.title == kTitle ? 1 : 0;
  }
  EXPECT_EQ(titled, 1);
  EXPECT_EQ(driver_->ViewableTopLevels(app_->Pid()).size(), 1u);
}

TEST_F(MainDialogTest, CarriesSixteenAndThirtyTwoPixelIcons) {
  const gui::WindowId dialog = Start();
  const std::vector<gui::Icon> icons = driver_->Icons(dialog);
  std::vector<IconSize> sizes;
  for (const gui::Icon& icon : icons) {
    sizes.push_back(icon.size);
    // A blank image would pass a size check; the icon must show something.
    const bool visible = std::any_of(icon.argb.begin(), icon.argb.end(),
                                     [](std::uint32_t pixel) { return (pixel >> 24) != 0; });
    const bool varied = std::adjacent_find(icon.argb.begin(), icon.argb.end(),
                                           std::not_equal_to<>()) != icon.argb.end();
    EXPECT_TRUE(visible && varied)
        << "the " << icon.size.width << "x" << icon.size.height << " icon is blank";
  }
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<IconSize>{{16, 16}, {32, 32}}));
}

TEST_F(MainDialogTest, IsCentredOnTheScreen) {
  const gui::WindowId dialog = Start();
  const gui::Rect where = driver_->Geometry(dialog);
  // No window manager: the work area is the whole screen.
  const double screenCentreX = XvfbSession::kScreenWidth / 2.0;
  const double screenCentreY = XvfbSession::kScreenHeight / 2.0;
  EXPECT_NEAR(where.x + where.width / 2.0, screenCentreX, 1.0)
      << "window " << where.width << "x" << where.height << "+" << where.x << "+" << where.y;
  EXPECT_NEAR(where.y + where.height / 2.0, screenCentreY, 1.0)
      << "window " << where.width << "x" << where.height << "+" << where.x << "+" << where.y;
}

// Windows' MulDiv: the exact quotient, halves rounded away from zero.
int MulDiv(int number, int numerator, int denominator) {
  const long long product = static_cast<long long>(number) * numerator;
  const long long magnitude = (2 * std::llabs(product) + std::llabs(denominator)) /
                              (2 * static_cast<long long>(std::llabs(denominator)));
  return static_cast<int>((product < 0) != (denominator < 0) ? -magnitude : magnitude);
}

struct BaseUnits {
  int width = 0;
  int height = 0;
};

// The dialog font's base units, worked out here from the font itself rather
// than taken from the program: IPAPGothic 9 pt at 96 dpi.
BaseUnits DialogBaseUnits() {
  constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  PangoFontMap* fontMap = pango_cairo_font_map_new();
  pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(fontMap), 96.0);
  PangoContext* context = pango_font_map_create_context(fontMap);
  PangoFontDescription* wanted = pango_font_description_from_string("IPAPGothic 9");

  PangoFont* font = pango_font_map_load_font(fontMap, context, wanted);
  PangoFontDescription* loaded = font != nullptr ? pango_font_describe(font) : nullptr;
  const std::string family =
      loaded != nullptr ? pango_font_description_get_family(loaded) : "(no font)";

  PangoLayout* layout = pango_layout_new(context);
  pango_layout_set_font_description(layout, wanted);
  pango_layout_set_text(layout, kLetters, -1);
  PangoRectangle logical{};
  pango_layout_get_extents(layout, nullptr, &logical);
  const int letterWidth = PANGO_PIXELS(logical.width);
  const int fontHeight = PANGO_PIXELS(logical.height);

  g_object_unref(layout);
  if (loaded != nullptr) {
    pango_font_description_free(loaded);
  }
  if (font != nullptr) {
    g_object_unref(font);
  }
  pango_font_description_free(wanted);
  g_object_unref(context);
  g_object_unref(fontMap);

  if (family != "IPAPGothic") {
    throw std::runtime_error("font IPAPGothic is missing (got " + family +
                             "); install fonts-ipafont-gothic");
  }
  const BaseUnits units{(letterWidth / 26 + 1) / 2, fontHeight};
  std::cout << "IPAPGothic 9 pt at 96 dpi: A-Za-z " << letterWidth << " px wide, font "
            << fontHeight << " px high; base units " << units.width << "x" << units.height << "\n";
  return units;
}

TEST_F(MainDialogTest, ClientAreaIsTheTemplateSizeInDialogUnits) {
  const BaseUnits units = DialogBaseUnits();
  const int expectedWidth = MulDiv(143, units.width, 4);
  const int expectedHeight = MulDiv(63, units.height, 8);
  std::cout << "143x63 dialog units -> expected client area " << expectedWidth << "x"
            << expectedHeight << " px\n";

  const gui::WindowId dialog = Start();
  const gui::Rect client = driver_->Geometry(driver_->NativeChild(dialog));
  const gui::Rect whole = driver_->Geometry(dialog);
  std::cout << "client area " << client.width << "x" << client.height << " px in a window of "
            << whole.width << "x" << whole.height << " px\n";
  EXPECT_EQ(client.width, expectedWidth);
  EXPECT_EQ(client.height, expectedHeight);
}

TEST_F(MainDialogTest, UnwritablePageShowsAnErrorAndKeepsTheDialogOpen) {
  LaySampleReplays();
  fs::create_directory(kPage);
  WriteBytes(fs::path(kPage) / "keep.txt", "inside");
  const gui::WindowId dialog = Start();
  driver_->SendKey(dialog, "Return");

  const pid_t pid = app_->Pid();
  const gui::WindowId error = driver_->WaitForWindow(
      [&](const gui::TopLevel& topLevel) {
        return topLevel.window != dialog && topLevel.pid == pid && !topLevel.overrideRedirect;
      },
      "other than the dialog, of pid " + std::to_string(pid), 10s,
      [this] { return !app_->Running(); });
  EXPECT_TRUE(app_->Running());
  EXPECT_TRUE(driver_->Viewable(dialog));
  EXPECT_EQ(driver_->TransientFor(error), dialog);
  const std::vector<std::string> state = driver_->NetWmState(error);
  EXPECT_NE(std::find(state.begin(), state.end(), "_NET_WM_STATE_MODAL"), state.end())
      << "the error window is not modal";

  driver_->SendKey(error, "Return");
  ASSERT_TRUE(driver_->WaitUntilGone(error, 10s)) << "Return did not close the error window";
  EXPECT_TRUE(app_->Running());
  EXPECT_TRUE(driver_->Viewable(dialog));

  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
  EXPECT_TRUE(fs::is_directory(kPage));
  EXPECT_EQ(ReadBytes(fs::path(kPage) / "keep.txt"), "inside");
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", kPage}));
}

// From a terminal without a display: a bad game folder is one line on
// stderr and exit 2 (not a second line about the display); --version needs
// no display at all.
TEST(StartupTest, WithoutADisplayExitsTwoWithOneLineOnStderr) {
  ScratchFolder folder;
  // An empty runtime folder, so that no desktop session's socket is found.
  fs::create_directory("runtime");
  fs::permissions("runtime", fs::perms::owner_all, fs::perm_options::replace);
  auto run = [&](const std::vector<std::string>& arguments, const fs::path& where = ".") {
    std::vector<std::string> argv{kProgram};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto app = std::make_unique<AppProcess>(
        argv, LaunchOptions{.workingDirectory = folder.path() / where,
                            .environment = {
                                {"DISPLAY", std::nullopt},
                                {"WAYLAND_DISPLAY", std::nullopt},
                                {"WAYLAND_SOCKET", std::nullopt},
                                {"GDK_BACKEND", std::nullopt},
                                {"XDG_RUNTIME_DIR", (folder.path() / "runtime").string()},
                            }});
    const std::optional<int> status = app->WaitForExit(10s);
    EXPECT_TRUE(status.has_value()) << "still running 10 s without a display";
    return std::make_pair(status.value_or(-1), std::move(app));
  };

  const auto [status, app] = run({});
  EXPECT_EQ(status, 2);
  const std::string message = app->Stderr();
  ASSERT_FALSE(message.empty());
  EXPECT_EQ(message.find('\n'), message.size() - 1) << "stderr is not one line:\n" << message;
  // Either display will do, so the line names both.
  EXPECT_TRUE(std::regex_search(message, std::regex("(^|[^_A-Z])DISPLAY"))) << message;
  EXPECT_NE(message.find("WAYLAND_DISPLAY"), std::string::npos) << message;

  const auto [missing, refused] = run({"ゲーム"});
  EXPECT_EQ(missing, 2);
  EXPECT_EQ(refused->Stderr(),
            "chronolist: フォルダ「ゲーム」が見つかりません。"
            "ゲームのフォルダ（replay フォルダのあるフォルダ）を指定してください。\n");

  const auto [shown, version] = run({"--version"});
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(version->Stdout(), "chronolist " CHRONOLIST_VERSION_FULL "\n");
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"runtime"}));

  auto said = [](fw::UINT id, const std::string& argument, const char* reason = "") {
    fw::CString text;
    fw::AfxFormatString2(text, id, argument.c_str(), reason);
    return "chronolist: " + text + "\n";
  };
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--bogus"}, {"-h", "--write"}, {"--help", "--version"}}) {
    const auto [status, app] = run(arguments);
    EXPECT_EQ(std::to_string(status) + app->Stderr(), "2" + said(IDS_UNKNOWN_OPTION, arguments[0]));
  }
  const auto [none, nothing] = run({"--write"});
  EXPECT_EQ(std::to_string(none) + nothing->Stderr(),
            "1" + said(IDS_NO_REPLAY_FOLDER_TO_WRITE, folder.path().string()));
  fs::create_directory(kPage);
  LaySampleReplays();
  const auto [failed, blocked] = run({"--write"});
  const std::string reason = std::error_code(EISDIR, std::system_category()).message();
  EXPECT_EQ(std::to_string(failed) + blocked->Stderr(),
            "1" + said(IDS_PAGE_NOT_CREATED, (folder.path() / kPage).string(), reason.c_str()));
  fs::remove(kPage);
  EXPECT_EQ(FolderEntries("."), (std::vector<std::string>{"replay", "runtime"}));
  // The replay folder given by mistake, or the working folder, means the game's.
  for (const char* where : {".", "replay"}) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--write"}, {"--write", (folder.path() / "replay").string()}}) {
      const auto [written, app] = run(arguments, where);
      EXPECT_EQ(written, 0) << app->Stderr();
      EXPECT_EQ(ReadBytes(kPage), SamplePage());
      EXPECT_TRUE(fs::remove(kPage));
    }
  }
}

}  // namespace
}  // namespace chronolist

// This binary's own share of the same caches: fontconfig, reached through
// Pango when the dialog font is measured.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libpango-1.0.so\nleak:libpangoft2-1.0.so\n";
}
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}
