// Refreshes the documentation's pictures: runs the built program over a copy
// of the sample replays on a private Xvfb and saves the main dialog, the
// dialog with its window menu open and the About box, then presses Return and
// saves the page it wrote as Chromium shows it; first, the question asked in
// a folder without replays.
// Usage: gui_screenshots DOCS_FOLDER
#include <X11/Xlib.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>

#include "app_process.h"
#include "x_driver.h"
#include "xvfb_session.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "chronolist-shots-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// Written beside the old picture first, so that a failure leaves that one whole.
template <typename Shoot>
void SavePicture(const fs::path& picture, Shoot shoot) {
  fs::path partial = picture;
  partial += ".partial";
  shoot(partial);
  fs::rename(partial, picture);
  std::cout << "wrote " << picture.string() << "\n";
}

void SavePng(chronolist::gui::Image image, const fs::path& png) {
  GdkPixbuf* pixbuf =
      gdk_pixbuf_new_from_data(image.rgb.data(), GDK_COLORSPACE_RGB, FALSE, 8, image.width,
                               image.height, image.width * 3, nullptr, nullptr);
  GError* error = nullptr;
  const gboolean saved = gdk_pixbuf_save(pixbuf, png.c_str(), "png", &error, nullptr);
  g_object_unref(pixbuf);
  if (!saved) {
    const std::string reason = error != nullptr ? error->message : "unknown error";
    g_clear_error(&error);
    throw std::runtime_error("cannot write " + png.string() + ": " + reason);
  }
}

chronolist::gui::Rect Union(const chronolist::gui::Rect& a, const chronolist::gui::Rect& b) {
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.width, b.x + b.width);
  const int bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

// The page as a browser shows it: Debian's Chromium, headless, with a profile
// of its own and nothing that reaches the network.
void RenderPage(const fs::path& page, const fs::path& png) {
  TemporaryFolder profile;
  // Chromium picks the format from the name's extension.
  const fs::path shot = profile.path() / "page.png";
  chronolist::gui::AppProcess chromium(
      {"chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
       "--no-first-run", "--disable-background-networking", "--disable-component-update",
       "--disable-sync", "--user-data-dir=" + profile.path().string(), "--hide-scrollbars",
       "--window-size=640,1160", "--screenshot=" + shot.string(), "file://" + page.string()});
  const std::optional<int> status = chromium.WaitForExit(60s);
  if (status != 0 || !fs::exists(shot)) {
    chromium.Terminate();
    throw std::runtime_error("chromium did not render the page; stderr:\n" + chromium.Stderr());
  }
  fs::copy_file(shot, png, fs::copy_options::overwrite_existing);
}

// The program started in `folder` shows a message box once Return has
// pressed OK; saved as `png` in `docs`, then answered with `answer`.
void SaveMessageBox(chronolist::gui::XDriver& driver, const std::string& display,
                    const fs::path& folder, const fs::path& png, const char* answer) {
  chronolist::gui::AppProcess app({CHRONOLIST_PROGRAM},
                                  {.workingDirectory = folder,
                                   .environment = {{"DISPLAY", display},
                                                   {"WAYLAND_DISPLAY", std::nullopt},
                                                   {"GDK_BACKEND", std::nullopt},
                                                   {"NO_AT_BRIDGE", "1"}}});
  const auto gone = [&] { return !app.Running(); };
  driver.SendKey(driver.WaitForWindow("ChronolistEx", app.Pid(), 20s, gone), "Return");
  const chronolist::gui::WindowId box = driver.WaitForWindow("Chronolist", app.Pid(), 10s, gone);
  driver.WaitUntilSettled(box);
  SavePicture(png, [&](const fs::path& partial) { SavePng(driver.Capture(box), partial); });
  driver.SendKey(box, answer);
  app.Terminate();
}

void Run(const fs::path& docs) {
  chronolist::gui::XvfbSession server;
  chronolist::gui::XDriver driver(server.Display());

  // A folder without replays, its name too long for one line; the same name
  // every time, so that the picture changes only when the box does.
  const fs::path games = fs::temp_directory_path() / ("Games_" + std::string(100, 'x'));
  fs::create_directories(games / "TheGame");
  SaveMessageBox(driver, server.Display(), games / "TheGame", docs / "question-box.png", "n");
  fs::remove_all(games);

  // A copy, so that nothing the program does can reach the repository's samples.
  TemporaryFolder game;
  fs::copy(CHRONOLIST_EXAMPLES, game.path(), fs::copy_options::recursive);

  chronolist::gui::AppProcess app({CHRONOLIST_PROGRAM},
                                  {.workingDirectory = game.path(),
                                   .environment = {{"DISPLAY", server.Display()},
                                                   {"WAYLAND_DISPLAY", std::nullopt},
                                                   {"GDK_BACKEND", std::nullopt},
                                                   {"NO_AT_BRIDGE", "1"}}});
  const chronolist::gui::WindowId dialog =
      driver.WaitForWindow("ChronolistEx", app.Pid(), 20s, [&] { return !app.Running(); });

  SavePicture(docs / "main-dialog.png",
              [&](const fs::path& png) { SavePng(driver.Capture(dialog), png); });

  // Opened from the keyboard, the menu shows its first item selected; the
  // pointer waits off the dialog so that it selects nothing else.
  driver.Focus(dialog);
  driver.MovePointer(driver.ScreenWidth() - 1, driver.ScreenHeight() - 1);
  driver.TypeKey("alt+space");
  const chronolist::gui::WindowId menu = driver.WaitForWindow(
      [&](const chronolist::gui::TopLevel& topLevel) {
        return topLevel.overrideRedirect && topLevel.pid == app.Pid() &&
               driver.TransientFor(topLevel.window) == dialog;
      },
      "that is the dialog's menu", 10s, [&] { return !app.Running(); });
  SavePicture(docs / "system-menu.png", [&](const fs::path& png) {
    SavePng(driver.SettledPixels(DefaultRootWindow(driver.Display()),
                                 Union(driver.Geometry(dialog), driver.Geometry(menu))),
            png);
  });

  driver.TypeKey("a");
  const chronolist::gui::WindowId about = driver.WaitForWindow(
      "ChronolistExのﾊﾞｰｼﾞｮﾝ情報", app.Pid(), 10s, [&] { return !app.Running(); });
  SavePicture(docs / "about-box.png",
              [&](const fs::path& png) { SavePng(driver.Capture(about), png); });
  driver.SendKey(about, "Escape");
  if (!driver.WaitUntilGone(about, 10s)) {
    throw std::runtime_error("the About box did not close on Escape");
  }

  driver.SendKey(dialog, "Return");
  if (app.WaitForExit(10s) != 0) {
    throw std::runtime_error("the dialog did not write the page on Return; stderr:\n" +
                             app.Stderr());
  }
  SavePicture(docs / "time-list-page.png",
              [&](const fs::path& png) { RenderPage(game.path() / "replistEX.html", png); });
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " DOCS_FOLDER\n";
    return 2;
  }
  try {
    Run(argv[1]);
  } catch (const std::exception& error) {
    std::cerr << argv[0] << ": " << error.what() << "\n";
    return 1;
  }
  return 0;
}
