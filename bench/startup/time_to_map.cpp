// Measures how long a program takes to put its first top-level window on an X
// display, and how much memory it used by then.
//
//   time_to_map [--cwd DIR] [--timeout SECONDS] [--settle MS] [--quiet-child] -- COMMAND [ARG...]
//
// Watches the root window for MapNotify, then fork/execs COMMAND. The time runs
// from just before exec (taken in the child) to the first map of a top-level,
// non-override-redirect window. After --settle milliseconds (time to paint)
// the child's process group gets SIGTERM, then SIGKILL if it lingers, and its
// peak resident size comes from wait4. Prints "key value" lines:
//
//   map_ms 123.456
//   peak_rss_kib 41234
//   title ChronolistEx
//
// Meant for a private X server with no window manager (see measure-startup):
// any top-level map there is the child's. Exit status 0 on success, 1 when no
// window was measured, 2 on bad usage.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr double kTermGraceMs = 2000;  // after SIGTERM, before SIGKILL
constexpr double kKillGraceMs = 2000;  // after SIGKILL, before giving up
constexpr int kPollSliceMs = 10;       // how often an early child exit is noticed

volatile std::sig_atomic_t gInterrupted = 0;

void OnSignal(int) {
  gInterrupted = 1;
}

double NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// What the child tells the parent over a close-on-exec pipe: the moment it is
// about to exec, and if exec (or chdir) fails, why.
struct ChildReport {
  enum Kind : int { kAboutToExec, kChdirFailed, kExecFailed } kind;
  int error;
  double atMs;
};

struct Options {
  const char* cwd = nullptr;
  double timeoutMs = 30000;
  double settleMs = 0;
  bool quietChild = false;
  std::vector<char*> command;  // null-terminated for execvp
};

[[noreturn]] void Usage(const char* message) {
  std::fprintf(stderr,
               "time_to_map: %s\n"
               "usage: time_to_map [--cwd DIR] [--timeout SECONDS] [--settle MS] [--quiet-child] "
               "-- COMMAND [ARG...]\n",
               message);
  std::exit(kExitUsage);
}

double ParseNumber(const char* text, const char* option) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(value >= 0) || value > 1e7) {
    Usage((std::string(option) + " wants a non-negative number").c_str());
  }
  return value;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--") {
      ++i;
      break;
    } else if (arg == "--cwd" && hasValue) {
      options.cwd = argv[++i];
    } else if (arg == "--timeout" && hasValue) {
      options.timeoutMs = ParseNumber(argv[++i], "--timeout") * 1000;
    } else if (arg == "--settle" && hasValue) {
      options.settleMs = ParseNumber(argv[++i], "--settle");
    } else if (arg == "--quiet-child") {
      options.quietChild = true;
    } else {
      Usage(("unknown or incomplete option " + arg).c_str());
    }
  }
  if (i >= argc) {
    Usage("no command after --");
  }
  options.command.assign(argv + i, argv + argc);
  options.command.push_back(nullptr);
  return options;
}

void Send(int fd, const ChildReport& report) {
  // Nothing to do if it fails: the parent then sees EOF and says so.
  const ssize_t ignored = write(fd, &report, sizeof report);
  (void)ignored;
}

// Runs in the forked child: only async-signal-safe calls from here to exec.
[[noreturn]] void RunChild(const Options& options, int reportFd) {
  setpgid(0, 0);  // its own group, so a wrapper's children are ended with it
  if (options.quietChild) {
    const int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) {
      dup2(devNull, STDOUT_FILENO);
      dup2(devNull, STDERR_FILENO);
      close(devNull);
    }
  }
  ChildReport report{ChildReport::kAboutToExec, 0, 0};
  if (options.cwd != nullptr && chdir(options.cwd) != 0) {
    report = {ChildReport::kChdirFailed, errno, 0};
    Send(reportFd, report);
    _exit(127);
  }
  report.atMs = NowMs();
  Send(reportFd, report);
  execvp(options.command[0], options.command.data());
  report = {ChildReport::kExecFailed, errno, 0};
  Send(reportFd, report);
  _exit(127);
}

// Reads one report; nullopt at EOF, which after kAboutToExec means exec worked.
std::optional<ChildReport> ReadReport(int fd) {
  ChildReport report{};
  auto* bytes = reinterpret_cast<char*>(&report);
  std::size_t got = 0;
  while (got < sizeof report) {
    const ssize_t n = read(fd, bytes + got, sizeof report - got);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return std::nullopt;
    }
    got += static_cast<std::size_t>(n);
  }
  return report;
}

std::string WindowTitle(Display* display, Window window) {
  const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr && type == utf8 && format == 8) {
    title.assign(reinterpret_cast<char*>(data), count);
  } else {
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name != nullptr) {
      title = name;
      XFree(name);
    }
  }
  if (data != nullptr) {
    XFree(data);
  }
  return title;
}

// The window may be gone by the time we ask about it; that is not an error.
int IgnoreXErrors(Display*, XErrorEvent*) {
  return 0;
}

struct Reaped {
  bool done = false;
  int status = 0;
  rusage usage{};
};

Reaped TryReap(pid_t pid) {
  Reaped r;
  const pid_t got = wait4(pid, &r.status, WNOHANG, &r.usage);
  r.done = got == pid;
  return r;
}

// SIGTERM to the child's group, SIGKILL after a grace period; each wait bounded.
std::optional<Reaped> Terminate(pid_t pid) {
  const int signals[] = {SIGTERM, SIGKILL};
  const double graces[] = {kTermGraceMs, kKillGraceMs};
  for (int step = 0; step < 2; ++step) {
    if (kill(-pid, signals[step]) != 0 && errno == ESRCH) {
      kill(pid, signals[step]);  // the child may not have reached setpgid
    }
    const double deadline = NowMs() + graces[step];
    while (NowMs() < deadline) {
      if (Reaped r = TryReap(pid); r.done) {
        return r;
      }
      poll(nullptr, 0, kPollSliceMs);
    }
  }
  return std::nullopt;
}

std::string DescribeExit(int status) {
  if (WIFEXITED(status)) {
    return "exited with status " + std::to_string(WEXITSTATUS(status));
  }
  if (WIFSIGNALED(status)) {
    return std::string("was killed by signal ") + strsignal(WTERMSIG(status));
  }
  return "stopped";
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);

  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "time_to_map: cannot open X display '%s'\n", name ? name : "");
    return kExitFailed;
  }
  XSetErrorHandler(IgnoreXErrors);
  fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
  const Window root = DefaultRootWindow(display);
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, True);  // the selection is in place and nothing older is queued

  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);

  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) {
    std::perror("time_to_map: pipe2");
    return kExitFailed;
  }
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) {
    std::perror("time_to_map: fork");
    return kExitFailed;
  }
  if (pid == 0) {
    close(pipeFds[0]);
    RunChild(options, pipeFds[1]);
  }
  setpgid(pid, pid);  // also here, so kill(-pid) works whichever runs first
  close(pipeFds[1]);

  const auto started = ReadReport(pipeFds[0]);
  const auto failed =
      started && started->kind == ChildReport::kAboutToExec ? ReadReport(pipeFds[0]) : started;
  close(pipeFds[0]);
  if (!started || failed) {
    if (failed && failed->kind == ChildReport::kChdirFailed) {
      std::fprintf(stderr, "time_to_map: cannot enter %s: %s\n", options.cwd,
                   std::strerror(failed->error));
    } else if (failed) {
      std::fprintf(stderr, "time_to_map: cannot run %s: %s\n", options.command[0],
                   std::strerror(failed->error));
    } else {
      std::fprintf(stderr, "time_to_map: the child died before exec\n");
    }
    int status = 0;
    waitpid(pid, &status, 0);  // it has exited or is about to
    return kExitFailed;
  }
  const double execMs = started->atMs;

  // Wait for the first top-level map, the child's exit, the timeout, or a signal.
  const int xFd = ConnectionNumber(display);
  std::optional<double> mappedMs;
  std::string title;
  std::optional<Reaped> early;
  const double deadline = execMs + options.timeoutMs;
  while (!mappedMs && !gInterrupted) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect) {
        mappedMs = NowMs();
        title = WindowTitle(display, event.xmap.window);
        break;
      }
    }
    if (mappedMs) {
      break;
    }
    if (Reaped r = TryReap(pid); r.done) {
      early = r;
      break;
    }
    const double left = deadline - NowMs();
    if (left <= 0) {
      break;
    }
    pollfd pfd{xFd, POLLIN, 0};
    poll(&pfd, 1, static_cast<int>(left < kPollSliceMs ? left + 1 : kPollSliceMs));
  }

  if (early) {
    std::fprintf(stderr, "time_to_map: %s %s before mapping a window\n", options.command[0],
                 DescribeExit(early->status).c_str());
    return kExitFailed;
  }

  if (mappedMs && options.settleMs > 0) {
    const double until = NowMs() + options.settleMs;
    while (!gInterrupted && NowMs() < until) {
      poll(nullptr, 0, kPollSliceMs);
    }
  }

  const auto reaped = Terminate(pid);
  XCloseDisplay(display);
  if (!reaped) {
    std::fprintf(stderr, "time_to_map: %s (pid %d) survived SIGKILL\n", options.command[0],
                 static_cast<int>(pid));
    return kExitFailed;
  }
  if (gInterrupted) {
    std::fprintf(stderr, "time_to_map: interrupted\n");
    return kExitFailed;
  }
  if (!mappedMs) {
    std::fprintf(stderr, "time_to_map: %s mapped no window within %.0f s\n", options.command[0],
                 options.timeoutMs / 1000);
    return kExitFailed;
  }

  std::printf("map_ms %.3f\n", *mappedMs - execMs);
  std::printf("peak_rss_kib %ld\n", reaped->usage.ru_maxrss);
  std::printf("title %s\n", title.c_str());
  return 0;
}
