// Checks on top-level windows that several GUI tests make: a window's place
// for a failure message, whether it shows on the screen, and whether it is a
// program's open popup menu.
#pragma once

#include <sys/types.h>

#include <stdexcept>
#include <string>

#include "x_driver.h"

namespace chronolist::gui {

inline std::string Describe(const Rect& where) {
  return std::to_string(where.width) + "x" + std::to_string(where.height) + "+" +
         std::to_string(where.x) + "+" + std::to_string(where.y);
}

// False too when the window has gone meanwhile.
inline bool OnScreen(XDriver& driver, WindowId window) {
  try {
    const Rect where = driver.Geometry(window);
    return where.x + where.width > 0 && where.y + where.height > 0 &&
           where.x < driver.ScreenWidth() && where.y < driver.ScreenHeight();
  } catch (const std::runtime_error&) {
    return false;
  }
}

// Menus are override-redirect: no window manager places them. Toolkits also
// map small override-redirect helpers off the screen while a menu is open.
inline bool IsPopupMenu(XDriver& driver, const TopLevel& topLevel, pid_t pid) {
  return topLevel.viewable && topLevel.overrideRedirect && topLevel.pid == pid &&
         OnScreen(driver, topLevel.window);
}

}  // namespace chronolist::gui
