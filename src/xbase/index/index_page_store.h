// The page-level file access an index tree needs: read, write and allocate
// fixed-size pages. The index file implements it on its disk file; tests use
// one in memory.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace xb {

class IndexPageStore {
 public:
  virtual ~IndexPageStore() = default;
  // The page at `position`; fewer bytes than a page when the file ends early.
  virtual std::string ReadPage(int64_t position, size_t size) = 0;
  virtual void WritePage(int64_t position, std::string_view bytes) = 0;
  // Takes `size` bytes at the end of the file (the next free position) and
  // returns their position.
  virtual int64_t AllocPage(size_t size) = 0;
  // The end of the file as the store knows it: a store may remember it
  // between calls (its own writes move it on) instead of asking the system.
  virtual int64_t EndOfFilePos() = 0;
  // The end of the file asked of the file itself, for a page that seems to
  // lie beyond the remembered end.
  virtual int64_t FreshEndOfFilePos() { return EndOfFilePos(); }
};

}  // namespace xb
