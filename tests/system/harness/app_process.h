// A program started for a GUI test: its own process group, working folder and
// environment, stdout and stderr kept in memory, every wait bounded, and never
// left running once the object is gone.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "wait_until.h"  // how every wait of the harness is bounded

namespace chronolist::gui {

struct LaunchOptions {
  // Empty: the caller's working folder.
  std::filesystem::path workingDirectory = {};
  // Applied over the caller's environment; std::nullopt removes the variable.
  std::map<std::string, std::optional<std::string>> environment = {};
  // Descriptors of the caller that the program keeps under the same number.
  std::vector<int> inheritedFds = {};
};

class AppProcess {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{15000};

  // argv[0] is looked up in PATH when it has no slash. Throws std::runtime_error
  // when the program cannot be started.
  explicit AppProcess(std::vector<std::string> argv, const LaunchOptions& options = {});
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;
  ~AppProcess();

  pid_t Pid() const { return pid_; }
  const std::string& Name() const { return argv_.front(); }

  bool Running();

  // The exit code, or 128 + signal number when a signal ended it; std::nullopt
  // when it is still running after `timeout`.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout = kDefaultTimeout);

  // True once the program's main thread has slept in its event loop, never
  // woken, for a moment: the events already sent to it have been handled, and
  // so have the idle tasks they queued (a timer due later has not). False
  // after `timeout`, or once the program has exited. For what a user cannot
  // see happen, such as a mode that starts once a menu has closed.
  // Linux only: reads /proc.
  bool WaitUntilIdle(std::chrono::milliseconds timeout = kDefaultTimeout);

  // SIGTERM to the whole group, SIGKILL after `grace`; returns the exit status.
  int Terminate(std::chrono::milliseconds grace = std::chrono::milliseconds(2000));

  // Everything written so far.
  std::string Stdout() const;
  std::string Stderr() const;

 private:
  bool Reap(bool block);

  std::vector<std::string> argv_;
  pid_t pid_ = -1;
  std::optional<int> status_;
  int stdoutFd_ = -1;
  int stderrFd_ = -1;
};

}  // namespace chronolist::gui
