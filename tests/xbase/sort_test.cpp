// The index key sorter: order, ties, limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "xbase/index/sort.h"

namespace xb {
namespace {

std::vector<std::pair<std::string, uint32_t>> Drain(TxbSort &sort) {
  std::vector<std::pair<std::string, uint32_t>> out;
  std::string key;
  uint32_t record = 0;
  while (sort.Next(key, record)) out.emplace_back(key, record);
  return out;
}

TEST(TxbSort, OrdersByKeyThenRecordInBothDirections) {
  for (bool descending : {false, true}) {
    SCOPED_TRACE(descending);
    TxbSort sort(3, descending);
    sort.Add("B", 300);
    sort.Add("A", 2);
    sort.Add("B", 256);  // record order must be numeric, not by low byte
    sort.Add("AA", 1);
    const auto out = Drain(sort);
    std::vector<std::pair<std::string, uint32_t>> want = {
        {"A  ", 2}, {"AA ", 1}, {"B  ", 256}, {"B  ", 300}};
    if (descending) want = {{"B  ", 256}, {"B  ", 300}, {"AA ", 1}, {"A  ", 2}};
    EXPECT_EQ(out, want);
  }
}

TEST(TxbSort, SpansManyBlocks) {
  TxbSort sort(18, false);
  for (uint32_t r = 5000; r >= 1; --r) sort.Add(std::to_string(r % 97), r);
  const auto out = Drain(sort);
  ASSERT_EQ(out.size(), 5000u);
  for (size_t i = 1; i < out.size(); ++i) {
    ASSERT_LE(out[i - 1], out[i]);
  }
}

// Enough keys for the radix passes, with keys shorter and longer than the
// part those passes order, many shared beginnings and duplicates, against
// a plain sort of the same pairs.
TEST(TxbSort, LargeSetsMatchAPlainSort) {
  std::mt19937 random(3);
  for (size_t length : {3u, 8u, 12u}) {
    for (bool descending : {false, true}) {
      SCOPED_TRACE(::testing::Message() << length << (descending ? " descending" : " ascending"));
      TxbSort sort(length, descending);
      std::vector<std::pair<std::string, uint32_t>> want;
      for (uint32_t r = 1; r <= 3000; ++r) {
        std::string key(length, ' ');
        for (char &c : key) c = "AB\xff "[random() % 4];
        sort.Add(key, r);
        want.emplace_back(key, r);
      }
      std::sort(want.begin(), want.end(), [&](const auto &a, const auto &b) {
        if (a.first != b.first) return descending ? a.first > b.first : a.first < b.first;
        return a.second < b.second;
      });
      EXPECT_EQ(Drain(sort), want);
    }
  }
}

TEST(TxbSort, RejectsLongKeysAndLateAdds) {
  try {
    TxbSort sort(240, false);
    FAIL();
  } catch (const std::exception &e) {
    EXPECT_STREQ(e.what(), "Sort key length must be 1-240 bytes, is 241");
  }
  TxbSort sort(239, false);
  sort.Add("x", 1);
  std::string key;
  uint32_t record;
  ASSERT_TRUE(sort.Next(key, record));
  try {
    sort.Add("y", 2);
    FAIL();
  } catch (const std::exception &e) {
    EXPECT_STREQ(e.what(), "Cannot add sort keys after beginning retrieval");
  }
}

}  // namespace
}  // namespace xb
