// The engine's file names are UTF-8 text with '/' between folders on every
// platform. std::filesystem reads plain char strings in the system's narrow
// code page on Windows, so every path handed to it, or taken from it, goes
// through these two.
#pragma once

#include <filesystem>
#include <string>

namespace xb {

inline std::filesystem::path FsPath(const std::string &utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string PathText(const std::filesystem::path &path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace xb
