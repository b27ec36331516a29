#include "xvfb_session.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace chronolist::gui {
namespace {

class Pipe {
 public:
  Pipe() {
    if (::pipe2(fds_, O_CLOEXEC) != 0) {
      throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
    }
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  ~Pipe() {
    CloseWriteEnd();
    ::close(fds_[0]);
  }
  int ReadEnd() const { return fds_[0]; }
  int WriteEnd() const { return fds_[1]; }
  void CloseWriteEnd() {
    if (fds_[1] >= 0) {
      ::close(fds_[1]);
      fds_[1] = -1;
    }
  }

 private:
  int fds_[2];
};

// Xvfb writes the display number it chose, then a newline, once it listens.
std::string ReadDisplayNumber(int fd, std::chrono::steady_clock::time_point deadline) {
  std::string number;
  while (number.empty() || number.back() != '\n') {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      return {};
    }
    pollfd waiting{fd, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return {};
    }
    char buffer[16];
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got <= 0) {
      return {};
    }
    number.append(buffer, static_cast<size_t>(got));
  }
  number.pop_back();
  return number;
}

}  // namespace

XvfbSession::XvfbSession(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  Pipe ready;
  const std::string screen =
      std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24";
  server_ = std::make_unique<AppProcess>(
      std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(ready.WriteEnd()), "-screen",
                               "0", screen, "-nolisten", "tcp", "-noreset"},
      LaunchOptions{.inheritedFds = {ready.WriteEnd()}});
  ready.CloseWriteEnd();

  const std::string number = ReadDisplayNumber(ready.ReadEnd(), deadline);
  if (number.empty()) {
    server_->Terminate();
    throw std::runtime_error("Xvfb did not report a display number; its output:\n" +
                             server_->Stderr());
  }
  display_ = ":" + number;

  // Reporting the number means it listens; still, prove it with a connection.
  ::Display* probe = nullptr;
  WaitUntil([&] { return (probe = XOpenDisplay(display_.c_str())) || !server_->Running(); },
            std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now()));
  if (probe == nullptr) {
    server_->Terminate();
    throw std::runtime_error("Xvfb on " + display_ + " accepts no connection; its output:\n" +
                             server_->Stderr());
  }
  XCloseDisplay(probe);
}

XvfbSession::~XvfbSession() {
  // SIGTERM first: Xvfb then removes its socket and lock file.
  server_->Terminate(std::chrono::milliseconds(5000));
}

}  // namespace chronolist::gui
