// See os_text_windows.h.
#include "xbase/file/os_text_windows.h"

#include <windows.h>

#include <algorithm>

namespace xb::os {

std::wstring WideFromUtf8(const std::string &utf8) {
  if (utf8.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8FromWide(const std::wstring &wide) {
  if (wide.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n,
                        nullptr, nullptr);
  return utf8;
}

std::string PathFromWide(const std::wstring &wide) {
  std::string path = Utf8FromWide(wide);
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

}  // namespace xb::os
