// The desktops the program's users have, made private to a test: a D-Bus
// session (with the accessibility bus behind it), a window manager on the
// test's X server, weston's headless Wayland compositor, and the ja_JP.UTF-8
// locale. Each is stopped when its object goes.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app_process.h"
#include "x_driver.h"

namespace chronolist::gui {

class DBusSession {
 public:
  DBusSession();
  ~DBusSession();
  DBusSession(const DBusSession&) = delete;
  DBusSession& operator=(const DBusSession&) = delete;

  // The value for DBUS_SESSION_BUS_ADDRESS.
  const std::string& Address() const { return address_; }

 private:
  std::unique_ptr<AppProcess> daemon_;
  std::string address_;
};

// xfwm4, which needs a session bus for its settings. Ready once it has
// claimed the screen (_NET_SUPPORTING_WM_CHECK on the root window).
class WindowManager {
 public:
  WindowManager(XDriver& driver, const std::string& display, const DBusSession& bus);
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

 private:
  std::unique_ptr<AppProcess> process_;
};

// weston on its headless backend, with a plain background and no panel so
// that a screenshot shows the program's windows on one colour.
class WestonSession {
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;
  // The desktop's colour, as 0xRRGGBB.
  static constexpr unsigned kBackground = 0x204060;

  WestonSession();
  ~WestonSession();
  WestonSession(const WestonSession&) = delete;
  WestonSession& operator=(const WestonSession&) = delete;

  // For XDG_RUNTIME_DIR and WAYLAND_DISPLAY.
  std::string RuntimeDir() const { return runtime_.string(); }
  std::string Socket() const { return "wl-chronolist"; }

  // The whole output, through weston's screenshooter.
  Image Screenshot();

 private:
  std::filesystem::path runtime_;
  std::unique_ptr<AppProcess> compositor_;
};

// A folder for LOCPATH that holds ja_JP.UTF-8, made with localedef (no root
// needed) the first time it is asked for.
std::filesystem::path JapaneseLocales();

}  // namespace chronolist::gui
