// TxbSort: an in-memory sorter of index keys. Keys of one fixed length are
// kept with their record numbers in 40960-byte blocks and delivered ordered by
// key bytes (descending when asked) and, among equal keys, by ascending record
// number.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xb {

inline constexpr char kSortKeyLength[] = "Sort key length must be 1-%d bytes, is %d";
inline constexpr char kSortAddAfterRetrieval[] = "Cannot add sort keys after beginning retrieval";

class TxbSort {
 public:
  static constexpr size_t kBlockSize = 40960;
  static constexpr size_t kMaxKeyLength = 239;

  // Throws "Sort key length must be 1-240 bytes, is %d" (key length + 1) when
  // the key is longer than kMaxKeyLength.
  TxbSort(size_t key_length, bool descending);
  virtual ~TxbSort() = default;

  // Adds a key (cut or blank-padded to the key length) with its record
  // number. Throws "Cannot add sort keys after beginning retrieval" once
  // Next has been called.
  void Add(std::string_view key, uint32_t record);
  // Makes room for `count` keys at once when their number is known.
  void Reserve(size_t count) { items_.reserve(count); }
  size_t Count() const { return items_.size(); }

  // Sorts (once); with `unique` only the first of equal keys (the lowest
  // record number) stays. Count() then tells how many Next delivers.
  void Sort(bool unique = false);
  // Delivers the keys in order; false after the last one.
  bool Next(std::string &key, uint32_t &record);
  // The same without a copy: `key` views the sorter's own storage and stays
  // valid as long as the sorter lives.
  bool Next(std::string_view &key, uint32_t &record);

 protected:
  size_t key_length() const { return key_length_; }

 private:
  // One key: its first bytes as a number that orders like them (inverted
  // when descending), and where the key and its record number are stored.
  struct Item {
    uint64_t prefix;
    const char *bytes;
  };
  uint64_t PrefixOf(const char *bytes) const;
  bool Less(const Item &a, const Item &b) const;
  void RadixSortByPrefix();

  size_t key_length_;
  size_t item_size_;
  bool descending_;
  bool retrieving_ = false;
  size_t next_ = 0;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t block_used_ = kBlockSize;
  std::vector<Item> items_;
};

}  // namespace xb
