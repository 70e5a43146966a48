// Tests that need a second process start their own test program again as a
// named child: the child's body is a plain function registered under a name,
// so the same test runs on Linux (posix_spawn) and on Windows (CreateProcess).
// Parent and child signal each other through files in the test's directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A child's body: gets the arguments it was started with and returns the
// process's exit status.
using ChildBody = int (*)(const std::vector<std::string> &args);

// Registers `body` under `name` while the program starts, e.g.
//   const ChildRegistration kAppender("append", &AppendRows);
class ChildRegistration {
 public:
  ChildRegistration(const char *name, ChildBody body);
};

// The first thing a test program's main does: when the program was started
// as a child, runs that child's body and ends the process with its status
// (99 when the body throws, 98 when no child has the name).
void RunChildIfAsked(int argc, char **argv);

// The exit status of a child that ended through KillThisProcess.
inline constexpr int kKilledStatus = 137;
// Ends this process at once, as a crash or a kill would: no destructors, no
// buffers flushed, nothing closed but by the system.
[[noreturn]] void KillThisProcess();

// This test program started again as the child `name` with `args`.
class ChildProcess {
 public:
  ChildProcess(const std::string &name, const std::vector<std::string> &args = {});
  // Waits for a child that was not waited for.
  ~ChildProcess();
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess &operator=(const ChildProcess &) = delete;

  // Waits for the child to end; its exit status (kKilledStatus when it was
  // killed). Later calls give the same value.
  int Wait();

 private:
  std::intptr_t process_ = -1;
  int status_ = -1;
};

// Creates the (empty) file `path`: a signal to the other process.
void SignalFile(const std::string &path);
// Waits until `path` exists; false when it did not appear within the time.
bool WaitForFile(const std::string &path, int timeout_ms = 30000);

}  // namespace testing_support
