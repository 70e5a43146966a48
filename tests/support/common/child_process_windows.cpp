// Child processes on Windows: CreateProcess of the running program with a
// command line quoted as the C runtime reads it; see child_process_os.h.
#include <windows.h>

#include <stdexcept>

#include "support/common/child_process.h"
#include "support/common/child_process_os.h"
#include "xbase/file/os_system.h"
#include "xbase/file/os_text_windows.h"

namespace testing_support {
namespace {

// One argument as CommandLineToArgvW gives it back: in quotes, with the
// backslashes before a quote (and before the closing quote) doubled.
std::wstring Quoted(const std::wstring &arg) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

}  // namespace

std::intptr_t StartThisProgram(const std::vector<std::string> &args) {
  const std::wstring program = xb::os::WideFromUtf8(xb::os::ProgramFilePath());
  std::wstring line = Quoted(program);
  for (const std::string &a : args) line += L" " + Quoted(xb::os::WideFromUtf8(a));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    throw std::runtime_error("cannot start the test program again");
  }
  ::CloseHandle(info.hThread);
  return reinterpret_cast<std::intptr_t>(info.hProcess);
}

int WaitForProcess(std::intptr_t process) {
  const HANDLE handle = reinterpret_cast<HANDLE>(process);
  ::WaitForSingleObject(handle, INFINITE);
  DWORD code = 0;
  const bool known = ::GetExitCodeProcess(handle, &code);
  ::CloseHandle(handle);
  return known ? static_cast<int>(code) : -1;
}

void KillThisProcess() {
  ::TerminateProcess(::GetCurrentProcess(), kKilledStatus);
  ::ExitProcess(kKilledStatus);
}

}  // namespace testing_support
