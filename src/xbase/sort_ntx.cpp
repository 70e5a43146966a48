// Bottom-up NTX build. With N keys and page capacity max, d = N / max + 1
// leaves are needed and each page of every level is filled to k = ceil(N / d)
// entries; the key that arrives at a full page is passed up as the separator
// whose left child is the page just written.
#include "xbase/sort_ntx.h"

#include <vector>

#include "xbase/ntx_format.h"

namespace xb {

namespace {

class NtxBuilder {
 public:
  NtxBuilder(IndexPageStore &store, uint16_t key_length, uint16_t max_entries, size_t target)
      : store_(store), key_length_(key_length), max_(max_entries), target_(target) {}

  // Adds an entry at `level` (0 = leaves).
  void Add(size_t level, XBobjIndexKeyData entry) {
    if (level >= levels_.size()) {
      levels_.emplace_back();
      levels_.back().leaf = level == 0;
    }
    NtxPage &page = levels_[level];
    if (page.entries.size() < target_) {
      page.entries.push_back(std::move(entry));
      return;
    }
    if (!page.leaf) {
      // The full branch's last entry becomes its rightmost child; its key
      // goes up with the page as left child, and the incoming entry starts
      // the next page of this level.
      XBobjIndexKeyData last = std::move(page.entries.back());
      page.entries.pop_back();
      page.rightmost = last.child;
      last.child = static_cast<uint32_t>(Write(page));
      Reset(level);
      levels_[level].entries.push_back(std::move(entry));
      Add(level + 1, std::move(last));
      return;
    }
    entry.child = static_cast<uint32_t>(Write(page));
    Reset(level);
    Add(level + 1, std::move(entry));
  }

  // Writes each level's last page, lowest first, each becoming the rightmost
  // child of the level above; returns the root.
  int64_t Finish() {
    if (levels_.empty()) levels_.emplace_back();
    int64_t below = 0;
    for (size_t level = 0; level < levels_.size(); ++level) {
      NtxPage &page = levels_[level];
      if (level > 0) page.rightmost = static_cast<uint32_t>(below);
      below = Write(page);
    }
    return below;
  }

  size_t Levels() const { return levels_.size(); }

 private:
  int64_t Write(const NtxPage &page) {
    const int64_t position = store_.AllocPage(kNtxPageSize);
    store_.WritePage(position, EncodeNtxPage(page, key_length_, max_));
    return position;
  }

  void Reset(size_t level) {
    levels_[level] = NtxPage();
    levels_[level].leaf = level == 0;
  }

  IndexPageStore &store_;
  uint16_t key_length_;
  uint16_t max_;
  size_t target_;
  std::vector<NtxPage> levels_;
};

}  // namespace

int64_t XBobjSortNTX::WriteTree(IndexPageStore &store, uint16_t max_entries, bool unique,
                                const Progress &progress) {
  Sort(unique);
  const size_t n = Count();
  const size_t leaves = n / max_entries + 1;
  const size_t target = (n + leaves - 1) / leaves;
  NtxBuilder builder(store, static_cast<uint16_t>(key_length()), max_entries,
                     target == 0 ? 1 : target);
  if (progress) progress(-1, 2, static_cast<int>(n));
  std::string key;
  uint32_t record = 0;
  int done = 0;
  while (Next(key, record)) {
    builder.Add(0, XBobjIndexKeyData{key, record, 0});
    if (progress) progress(2, ++done, 0);
  }
  return builder.Finish();
}

}  // namespace xb
