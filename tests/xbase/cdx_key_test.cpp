// CDX number and date keys: byte order follows numeric order, negatives
// included, and the stored form survives the zero padding of a leaf.
#include <gtest/gtest.h>

#include "xbase/cdx_key.h"
#include "xbase/index_key.h"

namespace xb {
namespace {

std::string PadZero(std::string key) {
  key.resize(8, '\0');
  return key;
}

TEST(CdxKey, NumberKeysSortLikeTheirValues) {
  const double values[] = {-1e300, -2.5, -1.0000000000000002, -1.0, -0.5, 0.0,
                           0.5,    1.0,  1.0000000000000002,  2.5,  1e300};
  for (size_t i = 0; i + 1 < std::size(values); ++i) {
    const std::string a = PadZero(CdxNumberKey(values[i]));
    const std::string b = PadZero(CdxNumberKey(values[i + 1]));
    EXPECT_LT(a, b) << values[i] << " " << values[i + 1];
  }
  EXPECT_EQ(CdxNumberKey(0.0), "\x80");
  EXPECT_EQ(CdxNumberKey(1.0), std::string("\xBF\xF0", 2));
  EXPECT_EQ(CdxNumberKey(-1.0), std::string("\x40\x0F\xFF\xFF\xFF\xFF\xFF\xFF", 8));
  EXPECT_LT(CdxDateKey(2444240), CdxDateKey(2444241));
}

}  // namespace
}  // namespace xb
