// The system seam on Linux and other POSIX systems; see os_system.h.
#include "xbase/file/os_system.h"

#include <unistd.h>

namespace xb::os {

std::vector<std::string> ProgramArguments(int argc, char **argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void UseBinaryStandardStreams() {}

std::string ProgramFilePath() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  return n > 0 ? std::string(buf, static_cast<std::size_t>(n)) : std::string();
}

std::string SystemSettingsDirectory() { return "/etc"; }

std::tm LocalTime(std::time_t secs) {
  std::tm tm{};
  ::localtime_r(&secs, &tm);
  return tm;
}

}  // namespace xb::os
