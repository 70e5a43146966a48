// The OEM translation of the dataset adapter: Windows-1251 <-> DOS code page
// 866, byte for byte. Characters that the other code page lacks become '?';
// ASCII is unchanged.
#pragma once

#include <string>

namespace xb {

// Translates Windows-1251 bytes to code page 866 (what is stored on disk when
// a dataset translates to OEM).
std::string AnsiToOem(const std::string &ansi);

// Translates code page 866 bytes back to Windows-1251.
std::string OemToAnsi(const std::string &oem);

}  // namespace xb
