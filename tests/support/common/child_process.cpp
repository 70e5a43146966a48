// The platform-neutral part of the child processes of child_process.h: the
// registry of child bodies, the child's entry and the signal files.
#include "support/common/child_process.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "support/common/child_process_os.h"
#include "xbase/file/fs_path.h"
#include "xbase/file/os_system.h"

namespace testing_support {
namespace {

std::map<std::string, ChildBody> &Registry() {
  static std::map<std::string, ChildBody> registry;
  return registry;
}

}  // namespace

ChildRegistration::ChildRegistration(const char *name, ChildBody body) { Registry()[name] = body; }

void RunChildIfAsked(int argc, char **argv) {
  const std::vector<std::string> args = xb::os::ProgramArguments(argc, argv);
  if (args.size() < 2 || args[1].rfind(kChildFlag, 0) != 0) return;
  const auto it = Registry().find(args[1].substr(std::char_traits<char>::length(kChildFlag)));
  int status = 98;
  if (it != Registry().end()) {
    try {
      status = it->second(std::vector<std::string>(args.begin() + 2, args.end()));
    } catch (...) {
      status = 99;
    }
  }
  std::exit(status);
}

ChildProcess::ChildProcess(const std::string &name, const std::vector<std::string> &args) {
  std::vector<std::string> all{kChildFlag + name};
  all.insert(all.end(), args.begin(), args.end());
  process_ = StartThisProgram(all);
}

ChildProcess::~ChildProcess() { Wait(); }

int ChildProcess::Wait() {
  if (process_ != -1) {
    status_ = WaitForProcess(process_);
    process_ = -1;
  }
  return status_;
}

void SignalFile(const std::string &path) { std::ofstream(xb::FsPath(path)).put('.'); }

bool WaitForFile(const std::string &path, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::error_code ec;
  while (!std::filesystem::exists(xb::FsPath(path), ec)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace testing_support
