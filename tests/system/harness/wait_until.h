// The one way the GUI tests and their harness wait for something: `done` is
// asked until it returns true, `interval` apart, and at least once; false
// once `timeout` has passed without.
#pragma once

#include <chrono>
#include <thread>

namespace chronolist::gui {

template <typename Done>
bool WaitUntil(Done done, std::chrono::milliseconds timeout,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20)) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(interval);
  }
  return true;
}

}  // namespace chronolist::gui
