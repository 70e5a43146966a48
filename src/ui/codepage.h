// Conversion between the program's QString texts and the Windows-1251 bytes
// that every file of the program holds. Lossless in both directions: the one
// byte 1251 leaves unassigned (0x98) maps to U+0098 and back, and a character
// that 1251 cannot hold is written as '?'. One byte is one character, so a
// position in the QString is the same position on disk.
#pragma once

#include <QString>
#include <string>

namespace codepage {

// Decodes Windows-1251 bytes into text.
QString FromCp1251(const std::string &bytes);
QString FromCp1251(const char *data, qsizetype size);

// Encodes text as Windows-1251; characters outside the code page become '?'.
std::string ToCp1251(const QString &text);

// True when every character of text has a byte in Windows-1251.
bool FitsCp1251(const QString &text);

}  // namespace codepage
