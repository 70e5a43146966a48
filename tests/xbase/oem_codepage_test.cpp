// The 1251 <-> 866 translation of the dataset adapter.
#include "xbase/file/oem_codepage.h"

#include <gtest/gtest.h>

TEST(OemCodepage, CyrillicRoundTripsThroughCp866) {
  // "Иван Петров" in Windows-1251, then the same letters in code page 866.
  const std::string ansi = "\xC8\xE2\xE0\xED \xCF\xE5\xF2\xF0\xEE\xE2";
  const std::string oem = "\x88\xA2\xA0\xAD \x8F\xA5\xE2\xE0\xAE\xA2";
  EXPECT_EQ(xb::AnsiToOem(ansi), oem);
  EXPECT_EQ(xb::OemToAnsi(oem), ansi);
}

TEST(OemCodepage, AsciiUnchangedAndMissingCharactersBecomeQuestionMarks) {
  EXPECT_EQ(xb::AnsiToOem("ABC 123"), "ABC 123");
  // 0x80 is the Cyrillic Ђ in 1251, which code page 866 lacks.
  EXPECT_EQ(xb::AnsiToOem("\x80"), "?");
}
