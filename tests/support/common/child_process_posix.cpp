// Child processes on Linux: posix_spawn of the running program; see
// child_process_os.h.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "support/common/child_process.h"
#include "support/common/child_process_os.h"
#include "xbase/file/os_system.h"

extern char **environ;

namespace testing_support {

std::intptr_t StartThisProgram(const std::vector<std::string> &args) {
  const std::string program = xb::os::ProgramFilePath();
  std::vector<char *> argv{const_cast<char *>(program.c_str())};
  for (const std::string &a : args) argv.push_back(const_cast<char *>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = ::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (rc != 0) throw std::runtime_error("cannot start " + program);
  return pid;
}

int WaitForProcess(std::intptr_t process) {
  int status = 0;
  while (::waitpid(static_cast<pid_t>(process), &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  // A signal gives 128 + its number, as the shell says; SIGKILL gives 137.
  static_assert(kKilledStatus == 128 + SIGKILL);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

void KillThisProcess() {
  ::kill(::getpid(), SIGKILL);
  ::_exit(kKilledStatus);
}

}  // namespace testing_support
