// The B-tree of one NTX tag: a cursor over the path of loaded pages from the
// root to the current entry, search, in-order navigation, insertion behind
// equal keys with page and root splits, and deletion. Pages are read through
// an IndexPageStore and written back as soon as an operation changes them;
// the pages read are kept (index_page_cache.h) until DropPages.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "xbase/index/index_page_cache.h"
#include "xbase/index/index_page_store.h"
#include "xbase/index/ntx_format.h"

namespace xb {

class NtxTree {
 public:
  struct Layout {
    uint16_t key_length = 0;
    uint16_t max_entries = 0;
    bool descending = false;
  };

  // `name` names the index in "Index file %s is corrupted".
  NtxTree(IndexPageStore &store, Layout layout, std::string name);

  void SetLayout(Layout layout) {
    layout_ = layout;
    DropPages();
  }
  int64_t root() const { return root_; }
  // Also forgets every kept page: the tree may have been written anew.
  void SetRoot(int64_t root);
  // Called with the new root position after a root split.
  void OnRootChanged(std::function<void(int64_t)> handler) {
    on_root_changed_ = std::move(handler);
  }

  // Forgets the cursor; the pages read stay kept for later searches.
  void Drop() { path_.clear(); }
  // Forgets the cursor and every kept page: the file may have changed.
  void DropPages() {
    path_.clear();
    cache_.Clear();
  }
  bool Positioned() const;
  // True when the next step in that direction lands on another entry of
  // the leaf the cursor stands on, so that it needs no page.
  bool StepStaysInLeaf(bool forward) const;
  // The current entry, or nullptr when the cursor is off the tree.
  const XBobjIndexKeyData *Current() const;

  // Navigation in stored order; each returns the record number of the new
  // current entry, or 0 when it ran off an end. Next and Prior need a
  // position (0 without one).
  uint32_t First();
  uint32_t Last();
  uint32_t Next();
  uint32_t Prior();

  // Puts the cursor on the first entry whose key (only as many bytes as
  // `key` has, stored key padded with blanks) does not order before `key`;
  // true when that entry matches (KeyMatches with `exact`). Off the tree
  // (Current() == nullptr) when every key orders before `key`.
  bool Seek(std::string_view key, bool exact);
  // Puts the cursor on the entry with exactly this key and record number.
  bool Locate(std::string_view key, uint32_t record);

  // Inserts an entry behind all entries with an equal key; the cursor rests
  // on it.
  void Insert(std::string_view key, uint32_t record);
  // Removes the entry with this key and record number; false when there is
  // none. Drops the cursor.
  bool Remove(std::string_view key, uint32_t record);

  // Walks every page as the file holds it now: the entries in order, and a
  // list of what is wrong with the structure (pages outside the file or
  // visited twice, overfull pages, leaves at different depths, keys out of
  // order).
  struct CheckResult {
    std::vector<XBobjIndexKeyData> entries;
    std::vector<std::string> problems;
    size_t pages = 0;
  };
  CheckResult Check();

 private:
  using PagePtr = std::shared_ptr<NtxPage>;
  struct Level {
    int64_t position = 0;
    PagePtr page;      // may be shared with the cache: change it through Own
    size_t index = 0;  // the current entry (deepest level) or child slot
  };

  int Order(std::string_view a, std::string_view b) const;
  int OrderPrefix(std::string_view stored, std::string_view search) const;
  std::string Padded(std::string_view key) const;
  PagePtr Load(int64_t position);
  // Writes a page and keeps a copy of it as the page at `position`.
  void Write(int64_t position, const NtxPage &page);
  // The level's page, made the level's own (copied when the cache or another
  // level shares it) so that it may be changed.
  static NtxPage &Own(Level &level);
  void Push(int64_t position, PagePtr page, size_t index);
  static uint32_t Child(const NtxPage &page, size_t slot);
  uint32_t CurrentRecord() const;
  // From the root to a leaf, in each page to the first entry for which
  // `before` (the entry orders before the target) is false.
  template <typename Before>
  void Descend(Before before);
  void DescendFirst(int64_t position);
  void DescendLast(int64_t position);
  uint32_t ClimbNext();
  uint32_t ClimbPrior();
  // Writes the page at path_[level], splitting it and its ancestors while
  // they hold more than max entries. True when a split happened.
  bool StoreUp(size_t level);
  void RemoveEmpty(size_t level);
  void CheckPage(int64_t position, size_t depth, std::unordered_set<int64_t> &seen, int &leaf_depth,
                 CheckResult &result);

  IndexPageStore &store_;
  Layout layout_;
  std::string name_;
  int64_t root_ = 0;
  std::function<void(int64_t)> on_root_changed_;
  std::vector<Level> path_;
  IndexPageCache<NtxPage> cache_;
};

}  // namespace xb
