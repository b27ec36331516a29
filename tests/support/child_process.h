// Jobs run in a child process, so that a test may change its user, limits
// or system calls, or kill it, without touching the test program itself.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include "timelist/time_list_page.h"

namespace chronolist::test {

// Runs `job` in a child and returns its exit status, or -signal.
template <typename Job>
int InChild(Job job) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::_exit(job());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

// 0 when the page was written, else its errno (capped for an exit status).
inline int GenerateExitCode() {
  const PageWriteResult result = GenerateTimeList();
  return result.written() ? 0 : std::min(result.error.value(), 125);
}

}  // namespace chronolist::test
