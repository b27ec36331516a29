#include "desktop_session.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <stdexcept>

namespace chronolist::gui {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kStartTimeout = 15s;

fs::path MakeTemporaryFolder(const std::string& prefix) {
  std::string name = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (::mkdtemp(name.data()) == nullptr) {
    throw std::runtime_error("cannot make a folder for " + prefix);
  }
  return name;
}

// Polls `ready` until it holds or `process` has died; throws, with what the
// process said, when it never comes.
template <typename Ready>
void WaitUntil(AppProcess& process, const std::string& what, Ready ready) {
  bool up = false;
  gui::WaitUntil([&] { return (up = ready()) || !process.Running(); }, kStartTimeout);
  if (!up) {
    throw std::runtime_error(what + " did not come up; it said:\n" + process.Stderr() +
                             process.Stdout());
  }
}

}  // namespace

DBusSession::DBusSession() {
  daemon_ = std::make_unique<AppProcess>(std::vector<std::string>{
      "dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1"});
  WaitUntil(*daemon_, "dbus-daemon", [this] {
    const std::string out = daemon_->Stdout();
    return out.find('\n') != std::string::npos;
  });
  const std::string out = daemon_->Stdout();
  address_ = out.substr(0, out.find('\n'));
}

DBusSession::~DBusSession() = default;

WindowManager::WindowManager(XDriver& driver, const std::string& display, const DBusSession& bus) {
  process_ = std::make_unique<AppProcess>(
      std::vector<std::string>{"xfwm4", "--compositor=off"},
      LaunchOptions{.environment = {{"DISPLAY", display},
                                    {"DBUS_SESSION_BUS_ADDRESS", bus.Address()},
                                    {"WAYLAND_DISPLAY", std::nullopt}}});
  WaitUntil(*process_, "xfwm4", [&] { return driver.WindowManagerRunning(500ms); });
}

WestonSession::WestonSession() : runtime_(MakeTemporaryFolder("chronolist-weston-")) {
  fs::permissions(runtime_, fs::perms::owner_all, fs::perm_options::replace);
  char background[16];
  std::snprintf(background, sizeof background, "0xff%06x", kBackground);
  const fs::path config = runtime_ / "weston.ini";
  std::ofstream(config) << "[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n"
                        << "background-color=" << background << "\n";
  compositor_ = std::make_unique<AppProcess>(
      std::vector<std::string>{"weston", "--backend=headless-backend.so", "--use-pixman", "--debug",
                               "--socket=" + Socket(), "--config=" + config.string(),
                               "--width=" + std::to_string(kWidth),
                               "--height=" + std::to_string(kHeight)},
      LaunchOptions{.environment = {{"XDG_RUNTIME_DIR", RuntimeDir()},
                                    {"WAYLAND_DISPLAY", std::nullopt},
                                    {"DISPLAY", std::nullopt}}});
  // The shell paints its background a moment after the socket appears.
  WaitUntil(*compositor_, "weston", [&] { return fs::exists(runtime_ / Socket()); });
  WaitUntil(*compositor_, "weston's desktop", [&] {
    const Image shot = Screenshot();
    const unsigned char* centre = &shot.rgb[3 * (shot.width * shot.height / 2 + shot.width / 2)];
    return (unsigned{centre[0]} << 16 | unsigned{centre[1]} << 8 | centre[2]) == kBackground;
  });
}

WestonSession::~WestonSession() {
  compositor_.reset();
  std::error_code ignored;
  fs::remove_all(runtime_, ignored);
}

Image WestonSession::Screenshot() {
  const fs::path folder = runtime_ / "shots";
  fs::remove_all(folder);
  fs::create_directories(folder);
  AppProcess shooter({"weston-screenshooter"},
                     LaunchOptions{.workingDirectory = folder,
                                   .environment = {{"XDG_RUNTIME_DIR", RuntimeDir()},
                                                   {"WAYLAND_DISPLAY", Socket()}}});
  const std::optional<int> status = shooter.WaitForExit(10s);
  fs::path png;
  for (const auto& entry : fs::directory_iterator(folder)) {
    png = entry.path();
  }
  if (status != 0 || png.empty()) {
    throw std::runtime_error("weston-screenshooter failed: " + shooter.Stderr());
  }
  GError* error = nullptr;
  GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(png.c_str(), &error);
  if (pixbuf == nullptr) {
    const std::string reason = error->message;
    g_clear_error(&error);
    throw std::runtime_error("cannot read " + png.string() + ": " + reason);
  }
  Image image{gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf), {}};
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const guchar* pixel = pixels + y * stride + x * channels;
      image.rgb.insert(image.rgb.end(), pixel, pixel + 3);
    }
  }
  g_object_unref(pixbuf);
  return image;
}

fs::path JapaneseLocales() {
  static const fs::path folder = [] {
    fs::path made = fs::temp_directory_path() / "chronolist-locales";
    if (!fs::exists(made / "ja_JP.UTF-8" / "LC_CTYPE")) {
      fs::create_directories(made);
      const fs::path partial = MakeTemporaryFolder("chronolist-locales-");
      AppProcess localedef(
          {"localedef", "-i", "ja_JP", "-f", "UTF-8", (partial / "ja_JP.UTF-8").string()});
      const std::optional<int> status = localedef.WaitForExit(60s);
      if (status != 0 || !fs::exists(partial / "ja_JP.UTF-8" / "LC_CTYPE")) {
        throw std::runtime_error("localedef failed: " + localedef.Stderr());
      }
      std::error_code ignored;
      fs::rename(partial / "ja_JP.UTF-8", made / "ja_JP.UTF-8", ignored);
      fs::remove_all(partial, ignored);
    }
    return made;
  }();
  return folder;
}

}  // namespace chronolist::gui
