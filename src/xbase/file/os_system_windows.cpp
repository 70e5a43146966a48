// The system seam on Windows; see os_system.h.
#include "xbase/file/os_system.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <initializer_list>

#include "xbase/file/os_text_windows.h"

namespace xb::os {

std::vector<std::string> ProgramArguments(int, char **) {
  int count = 0;
  wchar_t **wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(Utf8FromWide(wide[i]));
  ::LocalFree(wide);
  return args;
}

void UseBinaryStandardStreams() {
  for (int fd : {0, 1, 2}) ::_setmode(fd, _O_BINARY);
}

std::string ProgramFilePath() {
  std::wstring buf(MAX_PATH, L'\0');
  while (true) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      buf.resize(n);
      return PathFromWide(buf);
    }
    buf.resize(buf.size() * 2);  // truncated: a longer path
  }
}

std::string SystemSettingsDirectory() {
  wchar_t buf[MAX_PATH];
  const UINT n = ::GetWindowsDirectoryW(buf, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return "C:/Windows";
  return PathFromWide(std::wstring(buf, n));
}

std::tm LocalTime(std::time_t secs) {
  std::tm tm{};
  ::localtime_s(&tm, &secs);
  return tm;
}

}  // namespace xb::os
