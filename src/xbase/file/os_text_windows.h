// Conversions between the engine's UTF-8 paths and the UTF-16 of the Windows
// API, for the Windows implementations of the system seams only.
#pragma once

#include <string>

namespace xb::os {

std::wstring WideFromUtf8(const std::string &utf8);
std::string Utf8FromWide(const std::wstring &wide);
// Utf8FromWide with '\' turned into '/', the engine's separator.
std::string PathFromWide(const std::wstring &wide);

}  // namespace xb::os
