// A private X server for the GUI tests: Xvfb on a display number it picks
// itself, ready for connections once constructed, stopped on destruction.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "app_process.h"

namespace chronolist::gui {

class XvfbSession {
 public:
  static constexpr int kScreenWidth = 1280;
  static constexpr int kScreenHeight = 800;

  // Throws std::runtime_error, with the server's own output, when it does not
  // come up within `timeout`.
  explicit XvfbSession(std::chrono::milliseconds timeout = std::chrono::milliseconds(15000));
  XvfbSession(const XvfbSession&) = delete;
  XvfbSession& operator=(const XvfbSession&) = delete;
  ~XvfbSession();

  // The value for DISPLAY, e.g. ":3".
  const std::string& Display() const { return display_; }

 private:
  std::unique_ptr<AppProcess> server_;
  std::string display_;
};

}  // namespace chronolist::gui
