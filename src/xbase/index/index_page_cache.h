// The decoded pages an index tree keeps between searches and walks, by file
// position, so that a search over pages read before reads none. Bounded:
// when full, the page used longest ago goes. Whoever may have changed the
// file behind the tree's back (another process, another table object, a
// rebuild) makes the tree clear it; the tree's own writes replace the
// pages they wrote.
//
// Cached pages are shared with the tree's cursor and never changed in place:
// a tree that changes a page first takes its own copy (see the trees' Own).
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <unordered_map>
#include <utility>

namespace xb {

// How much of its file one tree keeps at most, in page bytes as stored (in
// memory a page takes two to three times that): 4 MiB hold the whole tree of
// an income table of over 100 000 rows (searches for keys spread over it hit
// a leaf read before), and of a bigger tree every branch page and the
// leaves used last.
inline constexpr size_t kCachedIndexBytes = size_t{4} << 20;

template <typename Page>
class IndexPageCache {
 public:
  using Pointer = std::shared_ptr<Page>;

  // Keeps at most `capacity` pages.
  explicit IndexPageCache(size_t capacity) : capacity_(capacity) {}

  // The page at `position`, or null; a page found counts as used now.
  Pointer Find(int64_t position) {
    const auto it = index_.find(position);
    if (it == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, it->second);
    return it->second->second;
  }

  void Put(int64_t position, Pointer page) {
    if (capacity_ == 0) return;
    const auto it = index_.find(position);
    if (it != index_.end()) {
      it->second->second = std::move(page);
      order_.splice(order_.begin(), order_, it->second);
      return;
    }
    if (index_.size() >= capacity_) {
      index_.erase(order_.back().first);
      order_.pop_back();
    }
    order_.emplace_front(position, std::move(page));
    index_.emplace(position, order_.begin());
  }

  void Erase(int64_t position) {
    const auto it = index_.find(position);
    if (it == index_.end()) return;
    order_.erase(it->second);
    index_.erase(it);
  }

  void Clear() {
    index_.clear();
    order_.clear();
  }

  size_t Size() const { return index_.size(); }

 private:
  using Entry = std::pair<int64_t, Pointer>;

  size_t capacity_;
  std::list<Entry> order_;  // most recently used first
  std::unordered_map<int64_t, typename std::list<Entry>::iterator> index_;
};

}  // namespace xb
