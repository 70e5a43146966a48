// Windows-1251 <-> QString conversion.
#include "ui/codepage.h"

#include <gtest/gtest.h>

TEST(Codepage, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const QString text = codepage::FromCp1251(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(text.at(0x98).unicode(), 0x0098);
  EXPECT_EQ(codepage::ToCp1251(text), all);
}

TEST(Codepage, CyrillicAndUnmappable) {
  EXPECT_EQ(codepage::ToCp1251(QStringLiteral("Да")), std::string("\xC4\xE0"));
  EXPECT_EQ(codepage::FromCp1251(std::string("\xB9")), QStringLiteral("№"));
  EXPECT_EQ(codepage::ToCp1251(QStringLiteral("a€ω")), std::string("a\x88?"));
  EXPECT_FALSE(codepage::FitsCp1251(QStringLiteral("ω")));
  EXPECT_TRUE(codepage::FitsCp1251(QStringLiteral("Справка №1")));
}
