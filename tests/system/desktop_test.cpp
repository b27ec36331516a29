// The program on the desktops its players have, each made private to the
// test: a window manager (xfwm4), Wayland (weston's headless backend), the
// ja_JP.UTF-8 locale, a screen reader's view through AT-SPI, and a HiDPI
// screen.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "accessibility.h"
#include "app_process.h"
#include "desktop_session.h"
#include "program_test.h"
#include "support/ico_slice.h"
#include "support/page_fixture.h"
#include "support/scratch_folder.h"
#include "window_checks.h"
#include "x_driver.h"

namespace chronolist {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using gui::Accessible;
using gui::Image;
using gui::Rect;
using gui::WindowId;
using gui_tests::AboutTitle;
using gui_tests::Environment;
using gui_tests::kOldPage;
using gui_tests::kPage;
using gui_tests::kTitle;
using gui_tests::LaySampleReplays;
using gui_tests::SamplePage;
using test::ReadBytes;
using test::WriteBytes;

// One session bus and one AT-SPI client for the whole process: the library
// keeps its first connection for good.
struct SharedBus {
  gui::DBusSession bus;
  gui::AccessibilityBus accessibility{bus};
};

SharedBus& Bus() {
  static auto* shared = new SharedBus;  // lives as long as the process
  return *shared;
}

Environment WithAccessibility() {
  return {{"DBUS_SESSION_BUS_ADDRESS", Bus().bus.Address()}, {"NO_AT_BRIDGE", std::nullopt}};
}

int Centre(int start, int length) {
  return start + length / 2;
}

// ----------------------------------------------------------------------------
// A window manager: xfwm4, where a plain click on the caption used to leave
// the keyboard grabbed.

class WindowManagerTest : public gui_tests::ProgramTest {
 protected:
  void SetUp() override {
    gui_tests::ProgramTest::SetUp();
    manager_ = std::make_unique<gui::WindowManager>(
        *driver_, gui_tests::XvfbEnvironment::session->Display(), Bus().bus);
  }

  // The window manager, not the test, gives the new window the keyboard.
  void ExpectFocusFromWindowManager(WindowId window) {
    EXPECT_TRUE(gui::WaitUntil([&] { return driver_->HoldsFocus(window); }, 5s))
        << "the window manager did not focus the window";
  }

  // Managed, but with no frame of the window manager's round the program's own.
  void ExpectNoSecondFrame(WindowId window) {
    EXPECT_EQ(driver_->FrameExtents(window), (std::vector<long>{0, 0, 0, 0}));
  }

  std::unique_ptr<gui::WindowManager> manager_;
};

TEST_F(WindowManagerTest, CentredUnframedAndEnterStillWorksAfterAPlainCaptionClick) {
  LaySampleReplays();
  const WindowId dialog = Start();
  ExpectFocusFromWindowManager(dialog);
  ExpectNoSecondFrame(dialog);
  const Rect where = driver_->Geometry(dialog);
  EXPECT_NEAR(Centre(where.x, where.width), driver_->ScreenWidth() / 2, 1) << gui::Describe(where);
  EXPECT_NEAR(Centre(where.y, where.height), driver_->ScreenHeight() / 2, 1)
      << gui::Describe(where);

  // Press and release on the caption bar, no motion in between.
  driver_->ClickScreen(Centre(where.x, where.width), where.y + 6);
  ASSERT_TRUE(app_->WaitUntilIdle());
  EXPECT_EQ(driver_->Geometry(dialog).x, where.x) << "a plain click moved the window";
  driver_->TypeKey("Return");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
}

TEST_F(WindowManagerTest, AboutBoxOpensCentredOverTheDialogAndCloses) {
  WriteBytes(kPage, kOldPage);
  const WindowId dialog = Start();
  ExpectFocusFromWindowManager(dialog);
  // xfwm4 keeps Alt+Space for its own window menu; ours is on the caption icon.
  const Rect where = driver_->Geometry(dialog);
  driver_->ClickScreen(where.x + 10, where.y + 10);
  ASSERT_TRUE(app_->WaitUntilIdle());
  driver_->TypeKey("a");
  const WindowId about = driver_->WaitForWindow(AboutTitle(), app_->Pid());
  ExpectFocusFromWindowManager(about);
  ExpectNoSecondFrame(about);
  const Rect owner = driver_->Geometry(dialog);
  const Rect box = driver_->Geometry(about);
  EXPECT_NEAR(Centre(box.x, box.width), Centre(owner.x, owner.width), 1) << gui::Describe(box);
  EXPECT_NEAR(Centre(box.y, box.height), Centre(owner.y, owner.height), 1) << gui::Describe(box);

  driver_->TypeKey("Escape");
  EXPECT_TRUE(driver_->WaitUntilGone(about, 5s));
  ExpectFocusFromWindowManager(dialog);
  driver_->TypeKey("Escape");
  ExpectExit(1);
  EXPECT_EQ(ReadBytes(kPage), kOldPage);
}

// The question asked in a folder without replays, whose path has no space to
// wrap at: captioned with the program's name, inside the screen, and
// answered, as on Windows, by the bare access letters.
TEST_F(WindowManagerTest, TheQuestionFitsTheScreenAndTakesABareYOrN) {
  const fs::path game = "Games_" + std::string(200, 'x');
  fs::create_directory(game);
  const WindowId dialog = Start({game.string()});
  ExpectFocusFromWindowManager(dialog);
  auto ask = [&] {
    driver_->TypeKey("Return");
    const WindowId question = driver_->WaitForWindow("Chronolist", app_->Pid());
    ExpectFocusFromWindowManager(question);
    return question;
  };
  const WindowId question = ask();
  const Rect at = driver_->Geometry(question);
  EXPECT_TRUE(at.x >= 0 && at.x + at.width <= driver_->ScreenWidth()) << gui::Describe(at);
  driver_->TypeKey("n");
  ASSERT_TRUE(driver_->WaitUntilGone(question, 5s)) << "a bare N did not answer";
  EXPECT_TRUE(fs::is_empty(game) && driver_->Viewable(dialog));
  // Return goes where the focus is: back on the dialog once the box is gone.
  ExpectFocusFromWindowManager(dialog);
  ask();
  driver_->TypeKey("y");
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(game / kPage), test::ExpectedPage({}));
}

// ----------------------------------------------------------------------------
// A screen reader's view.

class AccessibilityTest : public gui_tests::ProgramTest {};

TEST_F(AccessibilityTest, DialogsAreAnnouncedAndADisabledDialogRefusesPresses) {
  LaySampleReplays();
  const WindowId dialog = Start({}, WithAccessibility());
  const Accessible main = Bus().accessibility.WaitForWindow(app_->Pid(), "dialog", kTitle);
  const Accessible ok = main.Find("push button", "OK");
  const Accessible cancel = main.Find("push button", "ｷｬﾝｾﾙ");
  const Accessible close = main.Find("push button", "閉じる");
  for (const Accessible& button : {ok, cancel, close}) {
    EXPECT_TRUE(button.Has("sensitive") && button.Has("enabled")) << button.Describe();
  }

  driver_->Focus(dialog);
  driver_->TypeKey("alt+space");
  ASSERT_TRUE(app_->WaitUntilIdle());
  driver_->TypeKey("a");
  const Accessible about = Bus().accessibility.WaitForWindow(app_->Pid(), "dialog", AboutTitle());
  EXPECT_NO_THROW(about.Find("push button", "OK"));

  // The About box is modal: the main dialog's buttons say they cannot be
  // used, and pressing them does nothing. (The bridge answers a press before
  // the toolkit runs it, so its answer is always yes; the states say no.)
  for (const Accessible& button : {ok, cancel, close}) {
    EXPECT_FALSE(button.Has("sensitive") || button.Has("enabled")) << button.Describe();
    button.DoAction();
  }
  ASSERT_TRUE(app_->WaitUntilIdle());
  EXPECT_TRUE(app_->Running());
  EXPECT_FALSE(fs::exists(kPage));

  const WindowId aboutWindow = driver_->WaitForWindow(AboutTitle(), app_->Pid());
  driver_->SendKey(aboutWindow, "Escape");
  EXPECT_TRUE(driver_->WaitUntilGone(aboutWindow, 5s));
  EXPECT_TRUE(gui::WaitUntil([&] { return ok.Has("sensitive"); }, 5s)) << ok.Describe();
  EXPECT_TRUE(ok.DoAction());
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
}

// ----------------------------------------------------------------------------
// The Japanese locale the players use, and a HiDPI screen.

class LocaleAndScaleTest : public gui_tests::ProgramTest {
 protected:
  Image CaptureAndCancel(const Environment& environment) {
    const WindowId dialog = Start({}, environment);
    Image image = driver_->Capture(dialog);
    driver_->SendKey(dialog, "Escape");
    ExpectExit(1);
    EXPECT_TRUE(driver_->WaitUntilGone(dialog, 5s));
    dialog_ = 0;
    return image;
  }
};

TEST_F(LocaleAndScaleTest, JapaneseLocaleShowsTheDialogPixelForPixelAsTheCLocale) {
  const Image c = CaptureAndCancel({{"LANG", "C"}, {"LC_ALL", "C"}});
  const Image japanese = CaptureAndCancel({{"LOCPATH", gui::JapaneseLocales().string()},
                                           {"LANG", "ja_JP.UTF-8"},
                                           {"LC_ALL", "ja_JP.UTF-8"}});
  EXPECT_EQ(japanese.width, c.width);
  EXPECT_EQ(japanese.height, c.height);
  EXPECT_TRUE(japanese == c) << "same size, other pixels: another font or other metrics";
}

// Noto Sans CJK alone and 1.5 times the font size: the texts are wider than
// the template allows, yet the ink keeps as wide a margin right as left.
TEST_F(LocaleAndScaleTest, TextsKeepTheMarginsInNotoCjkAtOneAndAHalfTimes) {
  const fs::path config = folder_.path() / "fonts.conf";
  WriteBytes(config, "<fontconfig><dir>/usr/share/fonts/opentype/noto</dir></fontconfig>\n");
  const Image shot = CaptureAndCancel({{"FONTCONFIG_FILE", config.string()},
                                       {"GDK_DPI_SCALE", "1.5"},
                                       {"LOCPATH", gui::JapaneseLocales().string()},
                                       {"LC_ALL", "ja_JP.UTF-8"}});
  const auto at = [&](int x, int y) { return &shot.rgb[3 * (y * shot.width + x)]; };
  const unsigned char* client = at(4, shot.height - 4);
  int left = shot.width, right = 0;
  for (int y = shot.height / 5; y < shot.height - 2; ++y) {  // below the caption bar
    for (int x = 2; x < shot.width - 2; ++x) {
      if (std::abs(at(x, y)[0] - client[0]) + std::abs(at(x, y)[2] - client[2]) > 96) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
  }
  EXPECT_GE(shot.width - 1 - right, left - 2)
      << "ink from " << left << " to " << right << " in " << shot.width << " px";
}

// How closely `shot` shows the square image `argb` (ARGB rows of `size`
// pixels) drawn over `background` somewhere in its `area`: the largest
// channel error at the best place. 0 is exact; a blown-up smaller image is
// off by far more than rounding.
int BestMatch(const Image& shot, const Rect& area, const std::vector<std::uint32_t>& argb, int size,
              const unsigned char* background) {
  int best = 256;
  for (int top = area.y; top + size <= area.y + area.height; ++top) {
    for (int left = area.x; left + size <= area.x + area.width; ++left) {
      int worst = 0;
      for (int y = 0; y < size && worst < best; ++y) {
        for (int x = 0; x < size && worst < best; ++x) {
          const std::uint32_t pixel = argb[static_cast<std::size_t>(y) * size + x];
          const unsigned alpha = pixel >> 24;
          const unsigned char* seen = &shot.rgb[3 * ((top + y) * shot.width + left + x)];
          for (int c = 0; c < 3; ++c) {
            const unsigned colour = (pixel >> (16 - 8 * c)) & 0xFF;
            const int expected =
                static_cast<int>((colour * alpha + background[c] * (255 - alpha) + 127) / 255);
            worst = std::max(worst, std::abs(expected - seen[c]));
          }
        }
      }
      best = std::min(best, worst);
    }
  }
  return best;
}

std::vector<std::uint32_t> PngArgb(const std::string& path) {
  GdkPixbuf* image = gdk_pixbuf_new_from_file(path.c_str(), nullptr);
  std::vector<std::uint32_t> argb = test::PixbufArgb(image);
  if (image != nullptr) {
    g_object_unref(image);
  }
  if (argb.empty()) {
    throw std::runtime_error("cannot read " + path + " as RGBA");
  }
  return argb;
}

// At scale 2 the caption's 16 px icon slot is 32 device pixels and the
// About box's 32 px icon 64: each must show the icon's own image of that
// size, not a smaller one blown up.
TEST_F(LocaleAndScaleTest, IconsAtScaleTwoAreTheImagesMadeForTheirPixels) {
  const WindowId dialog = Start({}, {{"GDK_SCALE", "2"}});
  const std::vector<gui::Icon> icons = driver_->Icons(dialog);
  const auto icon = std::find_if(icons.begin(), icons.end(), [](const gui::Icon& each) {
    return each.size == gui::IconSize{32, 32};
  });
  ASSERT_NE(icon, icons.end()) << "no 32 px window icon to compare with";
  const Image shot = driver_->Capture(dialog);
  // In the caption bar's first 80 x 48 device pixels, over the bar's colour.
  const int caption =
      BestMatch(shot, {0, 0, 80, 48}, icon->argb, 32, &shot.rgb[3 * (3 * shot.width + 3)]);
  EXPECT_LE(caption, 8) << "the caption icon is not the 32 px image (closest differs by " << caption
                        << " in some channel)";

  driver_->Focus(dialog);
  driver_->TypeKey("alt+space");
  ASSERT_TRUE(app_->WaitUntilIdle());
  driver_->TypeKey("a");
  const WindowId about = driver_->WaitForWindow(AboutTitle(), app_->Pid());
  const Image box = driver_->Capture(about);
  // The icon static sits at 11, 17 dialog units, below the caption bar; the
  // client area's colour is at its bottom left.
  const std::vector<std::uint32_t> large = PngArgb(CHRONOLIST_ICON_DIR "/chronolist-64.png");
  const int aboutIcon = BestMatch(box, {0, box.height / 4, box.width / 4, box.height * 3 / 4},
                                  large, 64, &box.rgb[3 * ((box.height - 4) * box.width + 4)]);
  EXPECT_LE(aboutIcon, 8) << "the About box's icon is not the 64 px image (closest differs by "
                          << aboutIcon << " in some channel)";
  driver_->SendKey(about, "Escape");
  EXPECT_TRUE(driver_->WaitUntilGone(about, 5s));
  driver_->SendKey(dialog, "Escape");
  ExpectExit(1);
}

// ----------------------------------------------------------------------------
// Wayland alone: weston's headless compositor, no X server.

class WaylandTest : public gui_tests::ProgramTest {
 protected:
  void Launch() {
    Environment environment = gui_tests::ProgramEnvironment();
    environment["DISPLAY"] = std::nullopt;
    environment["WAYLAND_DISPLAY"] = weston_.Socket();
    environment["XDG_RUNTIME_DIR"] = weston_.RuntimeDir();
    for (const auto& [name, value] : WithAccessibility()) {
      environment[name] = value;
    }
    app_ = std::make_unique<gui::AppProcess>(
        std::vector<std::string>{gui_tests::kProgram},
        gui::LaunchOptions{.workingDirectory = folder_.path(), .environment = environment});
  }

  Accessible MainDialog() {
    return Bus().accessibility.WaitForWindow(app_->Pid(), "dialog", kTitle);
  }

  void ExpectExit(int expected) {
    ProgramTest::ExpectExit(expected);
    // weston's headless backend has no seat at all.
    EXPECT_EQ(app_->Stderr().find("CRITICAL"), std::string::npos) << app_->Stderr();
  }

  gui::WestonSession weston_;
};

// Where the screenshot differs from the desktop, and how much of that area
// below its caption bar is ink (text, button frames) rather than background.
struct DrawnDialog {
  Rect area;
  int ink = 0;
};

DrawnDialog FindDialog(const Image& shot) {
  const auto at = [&](int x, int y) { return &shot.rgb[3 * (y * shot.width + x)]; };
  const unsigned background = gui::WestonSession::kBackground;
  int left = shot.width, top = shot.height, right = -1, bottom = -1;
  for (int y = 0; y < shot.height; ++y) {
    for (int x = 0; x < shot.width; ++x) {
      const unsigned char* p = at(x, y);
      if ((unsigned{p[0]} << 16 | unsigned{p[1]} << 8 | p[2]) != background) {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
  }
  DrawnDialog found;
  if (right < 0) {
    return found;
  }
  found.area = {left, top, right - left + 1, bottom - top + 1};
  // The client area's own colour is the commonest one there.
  const int clientTop = top + found.area.height / 4;
  std::map<unsigned, int> counts;
  for (int y = clientTop; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const unsigned char* p = at(x, y);
      ++counts[unsigned{p[0]} << 16 | unsigned{p[1]} << 8 | p[2]];
    }
  }
  const unsigned fill =
      std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
      })->first;
  for (int y = clientTop; y <= bottom; ++y) {
    for (int x = left + 2; x <= right - 2; ++x) {
      const unsigned char* p = at(x, y);
      int distance = 0;
      for (int c = 0; c < 3; ++c) {
        distance =
            std::max(distance, std::abs(p[c] - static_cast<int>((fill >> (16 - 8 * c)) & 0xFF)));
      }
      found.ink += distance > 64 ? 1 : 0;
    }
  }
  return found;
}

TEST_F(WaylandTest, TheDialogIsDrawnAndOkPressedThroughAtSpiWritesThePage) {
  LaySampleReplays();
  Launch();
  const Accessible ok = MainDialog().Find("push button", "OK");
  DrawnDialog drawn;
  // A blank client area stays blank, so give the program time to draw.
  gui::WaitUntil([&] { return (drawn = FindDialog(weston_.Screenshot())).ink > 300; }, 10s);
  EXPECT_GT(drawn.area.width, 200) << gui::Describe(drawn.area);
  EXPECT_LT(drawn.area.width, 400) << gui::Describe(drawn.area);
  EXPECT_GT(drawn.ink, 300) << "the client area is blank: " << gui::Describe(drawn.area);

  EXPECT_TRUE(ok.DoAction());
  ExpectExit(0);
  EXPECT_EQ(ReadBytes(kPage), SamplePage());
}

TEST_F(WaylandTest, CancelPressedThroughAtSpiLeavesThePageAlone) {
  LaySampleReplays();
  WriteBytes(kPage, kOldPage);
  Launch();
  EXPECT_TRUE(MainDialog().Find("push button", "ｷｬﾝｾﾙ").DoAction());
  ExpectExit(1);
  EXPECT_EQ(ReadBytes(kPage), kOldPage);
}

// sway draws a title bar above a window that does not say it draws its own
// frame; its tree tells which. sway refuses root: then both run as nobody.
TEST(SwayTest, TheDialogsCaptionBarIsTheOnlyOne) {
  test::ScratchFolder folder;
  const fs::path& runtime = folder.path();
  const bool root = ::getuid() == 0;
  ASSERT_TRUE(!root || ::chown(runtime.c_str(), 65534, 65534) == 0);
  Environment environment = gui_tests::ProgramEnvironment();
  environment.insert_or_assign("WAYLAND_DISPLAY", "wayland-1");
  environment.insert({{"XDG_RUNTIME_DIR", runtime.string()},
                      {"SWAYSOCK", (runtime / "ipc").string()},
                      {"DISPLAY", std::nullopt},
                      {"WLR_BACKENDS", "headless"},
                      {"WLR_RENDERER", "pixman"}});
  const auto start = [&](std::vector<std::string> argv) {
    if (root) {
      argv.insert(argv.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    return gui::AppProcess(argv, {.workingDirectory = runtime, .environment = environment});
  };
  gui::AppProcess sway = start({"sway", "-c", "/dev/null"});
  ASSERT_TRUE(gui::WaitUntil([&] { return fs::exists(runtime / "ipc"); }, 5s)) << sway.Stderr();
  gui::AppProcess app = start({gui_tests::kProgram});
  std::string border;  // "none" until the window is first drawn
  const auto drawn = [&] {
    gui::AppProcess message = start({"swaymsg", "-t", "get_tree"});
    message.WaitForExit(5s);
    const std::string tree = message.Stdout();
    const std::size_t at = tree.rfind(R"("border": ")", tree.find(R"("name": "ChronolistEx")"));
    border = at == std::string::npos ? "none" : tree.substr(at + 11, 4);
    return border != "none";
  };
  gui::WaitUntil(drawn, 5s);
  EXPECT_EQ(border, "csd\"");
}

}  // namespace
}  // namespace chronolist
