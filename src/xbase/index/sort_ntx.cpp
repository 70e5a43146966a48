// Bottom-up NTX build. With N keys and page capacity max, d = N / max + 1
// leaves are needed and each page of every level is filled to k = ceil(N / d)
// entries; the key that arrives at a full page is passed up as the separator
// whose left child is the page just written. When N is a multiple of k + 1
// that would pass the very last key up and leave the last leaf empty, so the
// last two leaves then share their keys instead (PageFill). Pages are
// assembled as bytes in place (the layout of ntx_format.h) and, since the
// build takes them one after the other at the end of the file, written in
// large runs.
#include "xbase/index/sort_ntx.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>

#include "xbase/file/byte_helpers.h"
#include "xbase/index/ntx_format.h"

namespace xb {

namespace {

// One entry on its way up: left child, record number, key bytes.
struct NtxBuildEntry {
  uint32_t child;
  uint32_t record;
  std::string_view key;
};

// Consecutive pages gathered into one write.
class PageRun {
 public:
  static constexpr size_t kRunPages = 64;

  explicit PageRun(IndexPageStore &store) : store_(store) {
    bytes_.reserve(kRunPages * kNtxPageSize);
  }

  int64_t Write(const char *page) {
    const int64_t position = store_.AllocPage(kNtxPageSize);
    if (!bytes_.empty() && position != start_ + static_cast<int64_t>(bytes_.size())) Flush();
    if (bytes_.empty()) start_ = position;
    bytes_.append(page, kNtxPageSize);
    if (bytes_.size() >= kRunPages * kNtxPageSize) Flush();
    return position;
  }

  void Flush() {
    if (bytes_.empty()) return;
    store_.WritePage(start_, bytes_);
    bytes_.clear();
  }

 private:
  IndexPageStore &store_;
  std::string bytes_;
  int64_t start_ = 0;
};

// The page being filled at one level.
class LevelPage {
 public:
  LevelPage(bool leaf, uint16_t key_length, uint16_t max_entries)
      : leaf_(leaf),
        key_length_(key_length),
        entry_size_(key_length + kNtxEntryFixedSize),
        first_(NtxSlotTableEnd(max_entries)),
        bytes_(kNtxPageSize, '\0') {
    for (size_t i = 0; i <= max_entries; ++i) {
      PutLE16(&bytes_[NtxSlotOffset(i)], static_cast<uint16_t>(first_ + i * entry_size_));
    }
  }

  bool leaf() const { return leaf_; }
  size_t count() const { return count_; }

  void Append(const NtxBuildEntry &e) {
    char *slot = Slot(count_++);
    PutLE32(slot + kNtxEntryOffChild, leaf_ ? 0 : e.child);
    PutLE32(slot + kNtxEntryOffRecord, e.record);
    const size_t n = std::min<size_t>(e.key.size(), key_length_);
    std::memcpy(slot + kNtxEntryOffKey, e.key.data(), n);
    std::memset(slot + kNtxEntryOffKey + n, ' ', key_length_ - n);
  }

  // Takes the last entry off a branch page: its child becomes the page's
  // rightmost child, and its slot keeps only that pointer.
  NtxBuildEntry TakeLastAsRightmost() {
    char *slot = Slot(--count_);
    NtxBuildEntry last{GetLE32(slot + kNtxEntryOffChild), GetLE32(slot + kNtxEntryOffRecord),
                       std::string_view(slot + kNtxEntryOffKey, key_length_)};
    carried_.assign(last.key);
    last.key = carried_;
    std::memset(slot + kNtxEntryOffRecord, 0, entry_size_ - kNtxEntryOffRecord);
    return last;
  }

  // The finished page's bytes; a branch page gets `rightmost` in slot count.
  const char *Finish(uint32_t rightmost) {
    PutLE16(&bytes_[kNtxPageOffCount], static_cast<uint16_t>(count_));
    if (!leaf_) PutLE32(Slot(count_), rightmost);
    return bytes_.data();
  }

  // Empties the page for the next one of its level.
  void Reset() {
    std::memset(&bytes_[first_], 0, kNtxPageSize - first_);
    count_ = 0;
  }

 private:
  char *Slot(size_t i) { return &bytes_[first_ + i * entry_size_]; }

  bool leaf_;
  uint16_t key_length_;
  size_t entry_size_;
  size_t first_;
  std::string bytes_;
  size_t count_ = 0;
  std::string carried_;
};

// How full the pages are made: every page of every level gets `target`
// entries, except the leaf numbered `short_leaf` (from 0), which gets
// `short_fill`.
struct PageFill {
  size_t target = 1;
  size_t short_leaf = SIZE_MAX;
  size_t short_fill = 0;
};

// Filled one after the other, leaves take target + 1 keys each: target
// entries and the separator passed up behind them. When that divides the key
// count, the last separator would be the last key and the last leaf would
// stay empty, which readers of the file and the index check take for damage.
// The last full leaf then keeps only the first half of its keys, so that the
// last leaf gets the rest; every other page, and every tree of any other
// count, stays as the common target makes it.
PageFill PlanPageFill(size_t keys, uint16_t max_entries) {
  const size_t leaves = keys / max_entries + 1;
  PageFill fill;
  fill.target = std::max<size_t>(1, (keys + leaves - 1) / leaves);
  if (keys == 0 || keys % (fill.target + 1) != 0) return fill;
  if (fill.target == 1) {
    // Two keys at one a page (max 2) would need three for two leaves: they
    // share the one leaf.
    fill.target = keys;
    return fill;
  }
  fill.short_leaf = keys / (fill.target + 1) - 1;
  fill.short_fill = (fill.target + 1) / 2;
  return fill;
}

class NtxBuilder {
 public:
  NtxBuilder(IndexPageStore &store, uint16_t key_length, uint16_t max_entries, PageFill fill)
      : run_(store), key_length_(key_length), max_(max_entries), fill_(fill) {}

  // Adds an entry at `level` (0 = leaves).
  void Add(size_t level, NtxBuildEntry entry) {
    if (level >= levels_.size()) levels_.emplace_back(level == 0, key_length_, max_);
    LevelPage &page = levels_[level];
    const size_t target =
        level == 0 && leaves_written_ == fill_.short_leaf ? fill_.short_fill : fill_.target;
    if (page.count() < target) {
      page.Append(entry);
      return;
    }
    if (!page.leaf()) {
      // The full branch's last entry becomes its rightmost child; its key
      // goes up with the page as left child, and the incoming entry starts
      // the next page of this level.
      NtxBuildEntry last = page.TakeLastAsRightmost();
      const uint32_t rightmost = last.child;
      last.child = static_cast<uint32_t>(run_.Write(page.Finish(rightmost)));
      page.Reset();
      page.Append(entry);
      // The level above copies the key before this page is reused.
      Add(level + 1, last);
      return;
    }
    entry.child = static_cast<uint32_t>(run_.Write(page.Finish(0)));
    page.Reset();
    ++leaves_written_;
    Add(level + 1, entry);
  }

  // Writes each level's last page, lowest first, each becoming the rightmost
  // child of the level above; returns the root.
  int64_t Finish() {
    if (levels_.empty()) levels_.emplace_back(true, key_length_, max_);
    int64_t below = 0;
    for (LevelPage &page : levels_) below = run_.Write(page.Finish(static_cast<uint32_t>(below)));
    run_.Flush();
    return below;
  }

 private:
  PageRun run_;
  uint16_t key_length_;
  uint16_t max_;
  PageFill fill_;
  size_t leaves_written_ = 0;
  // A deque: pages keep their place (and the keys they carry up) while
  // levels are added above them.
  std::deque<LevelPage> levels_;
};

}  // namespace

int64_t XBobjSortNTX::WriteTree(IndexPageStore &store, uint16_t max_entries, bool unique,
                                const Progress &progress) {
  Sort(unique);
  const size_t n = Count();
  NtxBuilder builder(store, static_cast<uint16_t>(key_length()), max_entries,
                     PlanPageFill(n, max_entries));
  if (progress) progress(-1, 2, static_cast<int>(n));
  std::string_view key;
  uint32_t record = 0;
  int done = 0;
  while (Next(key, record)) {
    builder.Add(0, NtxBuildEntry{0, record, key});
    if (progress) progress(2, ++done, 0);
  }
  return builder.Finish();
}

}  // namespace xb
