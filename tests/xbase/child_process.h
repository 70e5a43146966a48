// Helpers for engine tests that run table work in child processes: a fork
// that runs a body and exits with its result, waiting for a child, and a
// scratch directory on tmpfs where many flushes cost little.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/common/temp_dir.h"

namespace xb::testing {

// A fresh directory on tmpfs where there is one: every append is flushed, and
// thousands of flushes to a disk would make a test slow, not better.
class FastDir : public testing_support::TempDir {
 public:
  FastDir() : TempDir(Parent()) {}

 private:
  static std::string Parent() {
    std::error_code ec;
    return std::filesystem::is_directory("/dev/shm", ec)
               ? "/dev/shm"
               : std::filesystem::temp_directory_path().string();
  }
};

// Runs `body` in a child process, which exits with its result (99 when it
// throws) and never returns; returns the child's pid.
template <typename F>
pid_t Spawn(F body) {
  const pid_t pid = fork();
  if (pid == 0) {
    int code = 0;
    try {
      code = body();
    } catch (...) {
      code = 99;
    }
    _exit(code);
  }
  return pid;
}

// The child's exit status, or 128 + the signal that ended it.
inline int WaitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace xb::testing
