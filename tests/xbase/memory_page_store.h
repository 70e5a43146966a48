// An index page store held in a string, for tree and build tests without
// files. The first page (the header) is reserved on creation.
#pragma once

#include <string>

#include "xbase/index/index_page_store.h"

namespace testing_support {

class MemoryPageStore : public xb::IndexPageStore {
 public:
  explicit MemoryPageStore(size_t reserved = 1024) : bytes_(reserved, '\0') {}

  std::string ReadPage(int64_t position, size_t size) override {
    ++reads;
    if (position >= static_cast<int64_t>(bytes_.size())) return std::string();
    return bytes_.substr(position, size);
  }
  void WritePage(int64_t position, std::string_view bytes) override {
    if (position + bytes.size() > bytes_.size()) bytes_.resize(position + bytes.size(), '\0');
    bytes_.replace(position, bytes.size(), bytes);
  }
  int64_t AllocPage(size_t size) override {
    const int64_t position = bytes_.size();
    bytes_.resize(bytes_.size() + size, '\0');
    return position;
  }
  int64_t EndOfFilePos() override { return bytes_.size(); }

  std::string &bytes() { return bytes_; }
  // Pages read so far.
  size_t reads = 0;

 private:
  std::string bytes_;
};

}  // namespace testing_support
