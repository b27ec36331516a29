#include "app_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace chronolist::gui {
namespace {

// How long the main thread must sleep undisturbed to count as idle.
constexpr auto kIdleQuiet = std::chrono::milliseconds(50);

std::string ReadAll(int fd) {
  std::string text;
  if (fd < 0) {
    return text;
  }
  char buffer[4096];
  off_t offset = 0;
  for (;;) {
    const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return text;
    }
    text.append(buffer, static_cast<size_t>(got));
    offset += got;
  }
}

int MemoryFile(const char* name) {
  const int fd = ::memfd_create(name, MFD_CLOEXEC);
  if (fd < 0) {
    throw std::runtime_error(std::string("memfd_create: ") + std::strerror(errno));
  }
  return fd;
}

std::vector<std::string> MergedEnvironment(
    const std::map<std::string, std::optional<std::string>>& overrides) {
  std::vector<std::string> merged;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable(*entry);
    const std::string name = variable.substr(0, variable.find('='));
    if (overrides.find(name) == overrides.end()) {
      merged.push_back(variable);
    }
  }
  for (const auto& [name, value] : overrides) {
    if (value) {
      merged.push_back(name + "=" + *value);
    }
  }
  return merged;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  pointers.reserve(strings.size() + 1);
  for (auto& text : strings) {
    pointers.push_back(text.data());
  }
  pointers.push_back(nullptr);
  return pointers;
}

// Between fork and exec only async-signal-safe calls are allowed; a failure is
// reported to the parent as an errno over `report`.
[[noreturn]] void RunChild(const char* program, char* const* argv, char* const* envp,
                           const char* workingDirectory, int stdoutFd, int stderrFd,
                           const std::vector<int>& inheritedFds, pid_t parent, int report) {
  auto fail = [report](int error) {
    ssize_t ignored = ::write(report, &error, sizeof error);
    (void)ignored;
    ::_exit(127);
  };
  ::setpgid(0, 0);
  // Dies with the test binary even when that one is killed outright.
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != parent) {
    ::_exit(127);
  }
  const int devNull = ::open("/dev/null", O_RDONLY);
  if (devNull < 0 || ::dup2(devNull, 0) < 0 || ::dup2(stdoutFd, 1) < 0 || ::dup2(stderrFd, 2) < 0) {
    fail(errno);
  }
  for (const int fd : inheritedFds) {
    const int flags = ::fcntl(fd, F_GETFD);
    if (flags < 0 || ::fcntl(fd, F_SETFD, flags & ~FD_CLOEXEC) < 0) {
      fail(errno);
    }
  }
  if (workingDirectory[0] != '\0' && ::chdir(workingDirectory) != 0) {
    fail(errno);
  }
  ::execvpe(program, argv, envp);
  fail(errno);
  ::_exit(127);
}

struct MainThreadSample {
  bool waitingForEvents = false;
  unsigned long long switches = 0;
};

// An event loop with nothing to do sleeps in poll() on several descriptors
// (its wake-up pipe and the display connection). With a task ready it polls
// without a timeout and so never sleeps there, and a wait for the display's
// reply to a request polls the connection alone.
std::optional<MainThreadSample> SampleMainThread(pid_t pid) {
  const std::string task = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid);
  std::ifstream syscallFile(task + "/syscall");
  std::string line;
  if (!std::getline(syscallFile, line)) {
    return std::nullopt;
  }
  MainThreadSample sample;
  std::istringstream fields(line);
  long number = -1;
  std::string firstArgument;
  std::string descriptorCount;
  if (fields >> number >> firstArgument >> descriptorCount) {
    bool inPoll = false;
#ifdef SYS_poll
    inPoll = inPoll || number == SYS_poll;
#endif
#ifdef SYS_ppoll
    inPoll = inPoll || number == SYS_ppoll;
#endif
    sample.waitingForEvents = inPoll && std::stoull(descriptorCount, nullptr, 16) > 1;
  }
  std::ifstream status(task + "/status");
  for (std::string entry; std::getline(status, entry);) {
    if (entry.starts_with("voluntary_ctxt_switches:") ||
        entry.starts_with("nonvoluntary_ctxt_switches:")) {
      sample.switches += std::stoull(entry.substr(entry.find(':') + 1));
    }
  }
  return sample;
}

}  // namespace

AppProcess::AppProcess(std::vector<std::string> argv, const LaunchOptions& options)
    : argv_(std::move(argv)) {
  if (argv_.empty()) {
    throw std::invalid_argument("AppProcess needs a program name");
  }
  stdoutFd_ = MemoryFile("stdout");
  stderrFd_ = MemoryFile("stderr");

  std::vector<std::string> args = argv_;
  std::vector<std::string> env = MergedEnvironment(options.environment);
  std::vector<char*> argPointers = Pointers(args);
  std::vector<char*> envPointers = Pointers(env);
  const std::string workingDirectory = options.workingDirectory.string();

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
  }
  const pid_t parent = ::getpid();
  pid_ = ::fork();
  if (pid_ < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    throw std::runtime_error(std::string("fork: ") + std::strerror(error));
  }
  if (pid_ == 0) {
    ::close(report[0]);
    RunChild(args.front().c_str(), argPointers.data(), envPointers.data(), workingDirectory.c_str(),
             stdoutFd_, stderrFd_, options.inheritedFds, parent, report[1]);
  }
  // Also set here, so that a signal to the group cannot race the child's own call.
  ::setpgid(pid_, pid_);
  ::close(report[1]);
  int childError = 0;
  ssize_t got;
  do {
    got = ::read(report[0], &childError, sizeof childError);
  } while (got < 0 && errno == EINTR);
  ::close(report[0]);
  if (got == static_cast<ssize_t>(sizeof childError)) {
    Reap(true);
    throw std::runtime_error("cannot start " + argv_.front() + ": " + std::strerror(childError));
  }
}

AppProcess::~AppProcess() {
  if (pid_ > 0 && !status_) {
    Terminate(std::chrono::milliseconds(1000));
  }
  ::close(stdoutFd_);
  ::close(stderrFd_);
}

bool AppProcess::Reap(bool block) {
  if (status_) {
    return true;
  }
  // Look without reaping first: while the child is a zombie its pid cannot be
  // reused, so the group signal below reaches only what it left behind.
  siginfo_t info{};
  int result;
  do {
    result =
        ::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT | (block ? 0 : WNOHANG));
  } while (result < 0 && errno == EINTR);
  if (result != 0 || info.si_pid != pid_) {
    return false;
  }
  ::kill(-pid_, SIGKILL);
  int raw = 0;
  pid_t done;
  do {
    done = ::waitpid(pid_, &raw, 0);
  } while (done < 0 && errno == EINTR);
  if (done != pid_) {
    return false;
  }
  status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return true;
}

bool AppProcess::Running() {
  return !Reap(false);
}

std::optional<int> AppProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (!WaitUntil([this] { return Reap(false); }, timeout)) {
    return std::nullopt;
  }
  return status_;
}

bool AppProcess::WaitUntilIdle(std::chrono::milliseconds timeout) {
  std::optional<MainThreadSample> before;
  const auto idle = [&] {
    if (!Running()) {
      return true;
    }
    std::optional<MainThreadSample> now = SampleMainThread(pid_);
    if (!now) {
      if (!Running()) {
        return true;
      }
      throw std::runtime_error("cannot read /proc/" + std::to_string(pid_) + "/task/" +
                               std::to_string(pid_) + "/syscall of " + argv_.front() +
                               "; this needs /proc and leave to trace one's own child");
    }
    // Asleep in the loop both times and never woken in between.
    if (before && before->waitingForEvents && now->waitingForEvents &&
        before->switches == now->switches) {
      return true;
    }
    before = now;
    return false;
  };
  return WaitUntil(idle, timeout, kIdleQuiet) && Running();
}

int AppProcess::Terminate(std::chrono::milliseconds grace) {
  if (!Reap(false)) {
    ::kill(-pid_, SIGTERM);
    if (!WaitForExit(grace)) {
      ::kill(-pid_, SIGKILL);
      Reap(true);
    }
  }
  return *status_;
}

std::string AppProcess::Stdout() const {
  return ReadAll(stdoutFd_);
}

std::string AppProcess::Stderr() const {
  return ReadAll(stderrFd_);
}

}  // namespace chronolist::gui
