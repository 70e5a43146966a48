// NTX B-tree operations over the page cursor (see ntx_tree.h).
#include "xbase/index/ntx_tree.h"

#include <algorithm>

#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

// Deeper paths than this can only come from pages that point back up.
constexpr size_t kMaxDepth = 32;

}  // namespace

NtxTree::NtxTree(IndexPageStore &store, Layout layout, std::string name)
    : store_(store),
      layout_(layout),
      name_(std::move(name)),
      cache_(kCachedIndexBytes / kNtxPageSize) {}

void NtxTree::SetRoot(int64_t root) {
  root_ = root;
  DropPages();
}

int NtxTree::Order(std::string_view a, std::string_view b) const {
  const int c = CompareKeys(a, b);
  return layout_.descending ? -c : c;
}

int NtxTree::OrderPrefix(std::string_view stored, std::string_view search) const {
  const int c = CompareKeyPrefix(stored, search);
  return layout_.descending ? -c : c;
}

std::string NtxTree::Padded(std::string_view key) const {
  std::string padded(key.substr(0, layout_.key_length));
  padded.resize(layout_.key_length, ' ');
  return padded;
}

NtxTree::PagePtr NtxTree::Load(int64_t position) {
  if (PagePtr kept = cache_.Find(position)) return kept;
  // A page behind the end this store remembers may have been added since.
  if (position < kNtxPageSize || position % kNtxPageSize != 0 ||
      (position + kNtxPageSize > store_.EndOfFilePos() &&
       position + kNtxPageSize > store_.FreshEndOfFilePos())) {
    RaiseError(msg::kIndexCorrupted, {name_});
  }
  const std::string bytes = store_.ReadPage(position, kNtxPageSize);
  auto page = std::make_shared<NtxPage>(
      DecodeNtxPage(bytes, layout_.key_length, layout_.max_entries, name_));
  cache_.Put(position, page);
  return page;
}

void NtxTree::Write(int64_t position, const NtxPage &page) {
  // Should the write fail, nothing is known of the page any more.
  cache_.Erase(position);
  store_.WritePage(position, EncodeNtxPage(page, layout_.key_length, layout_.max_entries));
  cache_.Put(position, std::make_shared<NtxPage>(page));
}

NtxPage &NtxTree::Own(Level &level) {
  if (level.page.use_count() > 1) level.page = std::make_shared<NtxPage>(*level.page);
  return *level.page;
}

void NtxTree::Push(int64_t position, PagePtr page, size_t index) {
  if (path_.size() >= kMaxDepth) {
    path_.clear();
    RaiseError(msg::kIndexCorrupted, {name_});
  }
  path_.push_back(Level{position, std::move(page), index});
}

uint32_t NtxTree::Child(const NtxPage &page, size_t slot) {
  return slot < page.entries.size() ? page.entries[slot].child : page.rightmost;
}

bool NtxTree::Positioned() const { return Current() != nullptr; }

bool NtxTree::StepStaysInLeaf(bool forward) const {
  if (!Positioned() || !path_.back().page->leaf) return false;
  const Level &top = path_.back();
  return forward ? top.index + 1 < top.page->entries.size() : top.index > 0;
}

const XBobjIndexKeyData *NtxTree::Current() const {
  if (path_.empty()) return nullptr;
  const Level &top = path_.back();
  if (top.index >= top.page->entries.size()) return nullptr;
  return &top.page->entries[top.index];
}

uint32_t NtxTree::CurrentRecord() const {
  const XBobjIndexKeyData *entry = Current();
  return entry ? entry->record : 0;
}

void NtxTree::DescendFirst(int64_t position) {
  while (true) {
    PagePtr page = Load(position);
    const bool leaf = page->leaf;
    const int64_t child = leaf ? 0 : Child(*page, 0);
    Push(position, std::move(page), 0);
    if (leaf) break;
    position = child;
  }
  if (path_.back().page->entries.empty()) ClimbNext();
}

void NtxTree::DescendLast(int64_t position) {
  while (true) {
    PagePtr page = Load(position);
    const size_t count = page->entries.size();
    if (page->leaf) {
      Push(position, std::move(page), count == 0 ? 0 : count - 1);
      break;
    }
    const int64_t child = page->rightmost;
    Push(position, std::move(page), count);
    position = child;
  }
  if (path_.back().page->entries.empty()) ClimbPrior();
}

uint32_t NtxTree::ClimbNext() {
  while (true) {
    path_.pop_back();
    if (path_.empty()) return 0;
    Level &parent = path_.back();
    if (parent.index < parent.page->entries.size()) return CurrentRecord();
  }
}

uint32_t NtxTree::ClimbPrior() {
  while (true) {
    path_.pop_back();
    if (path_.empty()) return 0;
    Level &parent = path_.back();
    if (parent.index > 0) {
      --parent.index;
      return CurrentRecord();
    }
  }
}

template <typename Before>
void NtxTree::Descend(Before before) {
  path_.clear();
  int64_t position = root_;
  while (true) {
    PagePtr page = Load(position);
    const auto &entries = page->entries;
    const size_t i = std::partition_point(entries.begin(), entries.end(), before) - entries.begin();
    const bool leaf = page->leaf;
    const int64_t child = leaf ? 0 : Child(*page, i);
    Push(position, std::move(page), i);
    if (leaf) break;
    position = child;
  }
}

uint32_t NtxTree::First() {
  path_.clear();
  DescendFirst(root_);
  return CurrentRecord();
}

uint32_t NtxTree::Last() {
  path_.clear();
  DescendLast(root_);
  return CurrentRecord();
}

uint32_t NtxTree::Next() {
  if (!Positioned()) return 0;
  Level &top = path_.back();
  if (top.page->leaf) {
    if (++top.index < top.page->entries.size()) return CurrentRecord();
    return ClimbNext();
  }
  ++top.index;
  DescendFirst(Child(*top.page, top.index));
  return CurrentRecord();
}

uint32_t NtxTree::Prior() {
  if (!Positioned()) return 0;
  Level &top = path_.back();
  if (top.page->leaf) {
    if (top.index > 0) {
      --top.index;
      return CurrentRecord();
    }
    return ClimbPrior();
  }
  DescendLast(Child(*top.page, top.index));
  return CurrentRecord();
}

bool NtxTree::Seek(std::string_view key, bool exact) {
  Descend([&](const XBobjIndexKeyData &e) { return OrderPrefix(e.key, key) < 0; });
  if (!Positioned()) ClimbNext();
  const XBobjIndexKeyData *entry = Current();
  return entry != nullptr && KeyMatches(entry->key, key, exact);
}

bool NtxTree::Locate(std::string_view key, uint32_t record) {
  const std::string padded = Padded(key);
  Seek(padded, true);
  for (const XBobjIndexKeyData *e = Current(); e && CompareKeys(e->key, padded) == 0;
       Next(), e = Current()) {
    if (e->record == record) return true;
  }
  path_.clear();
  return false;
}

void NtxTree::Insert(std::string_view key, uint32_t record) {
  const std::string padded = Padded(key);
  // Equal keys count as smaller, so the new entry lands behind them.
  Descend([&](const XBobjIndexKeyData &e) { return Order(e.key, padded) <= 0; });
  Level &leaf = path_.back();
  std::vector<XBobjIndexKeyData> &entries = Own(leaf).entries;
  entries.insert(entries.begin() + leaf.index, XBobjIndexKeyData{padded, record, 0});
  if (StoreUp(path_.size() - 1)) Locate(padded, record);
}

bool NtxTree::StoreUp(size_t level) {
  bool split = false;
  while (true) {
    Level &current = path_[level];
    NtxPage &page = Own(current);
    std::vector<XBobjIndexKeyData> &entries = page.entries;
    if (entries.size() <= layout_.max_entries) {
      Write(current.position, page);
      return split;
    }
    split = true;
    // The first ceil(count / 2) entries move to a new page; the last of them
    // becomes the parent's entry for it.
    const size_t half = (entries.size() + 1) / 2;
    NtxPage left;
    left.leaf = page.leaf;
    left.entries.assign(std::make_move_iterator(entries.begin()),
                        std::make_move_iterator(entries.begin() + half - 1));
    XBobjIndexKeyData separator = std::move(entries[half - 1]);
    if (!left.leaf) left.rightmost = separator.child;
    entries.erase(entries.begin(), entries.begin() + half);
    const int64_t left_position = store_.AllocPage(kNtxPageSize);
    Write(left_position, left);
    Write(current.position, page);
    separator.child = static_cast<uint32_t>(left_position);
    if (level == 0) {
      NtxPage root;
      root.leaf = false;
      root.entries.push_back(std::move(separator));
      root.rightmost = static_cast<uint32_t>(current.position);
      const int64_t root_position = store_.AllocPage(kNtxPageSize);
      Write(root_position, root);
      root_ = root_position;
      path_.clear();
      if (on_root_changed_) on_root_changed_(root_);
      return true;
    }
    Level &parent = path_[level - 1];
    std::vector<XBobjIndexKeyData> &above = Own(parent).entries;
    above.insert(above.begin() + parent.index, std::move(separator));
    --level;
  }
}

bool NtxTree::Remove(std::string_view key, uint32_t record) {
  if (!Locate(key, record)) return false;
  size_t level = path_.size() - 1;
  if (!path_[level].page->leaf) {
    // A branch entry takes the greatest entry of its left subtree, which
    // leaves its leaf.
    const size_t branch = level;
    int64_t position = Child(*path_[branch].page, path_[branch].index);
    while (true) {
      PagePtr page = Load(position);
      const size_t count = page->entries.size();
      const bool leaf = page->leaf;
      const int64_t child = leaf ? 0 : page->rightmost;
      Push(position, std::move(page), leaf ? (count == 0 ? 0 : count - 1) : count);
      if (leaf) break;
      position = child;
    }
    if (path_.back().page->entries.empty()) RaiseError(msg::kIndexCorrupted, {name_});
    std::vector<XBobjIndexKeyData> &leaf_entries = Own(path_.back()).entries;
    XBobjIndexKeyData greatest = std::move(leaf_entries.back());
    leaf_entries.pop_back();
    NtxPage &branch_page = Own(path_[branch]);
    XBobjIndexKeyData &target = branch_page.entries[path_[branch].index];
    target.key = std::move(greatest.key);
    target.record = greatest.record;
    Write(path_[branch].position, branch_page);
    level = path_.size() - 1;
  } else {
    Level &leaf = path_[level];
    std::vector<XBobjIndexKeyData> &entries = Own(leaf).entries;
    entries.erase(entries.begin() + leaf.index);
  }
  if (!path_[level].page->entries.empty() || level == 0) {
    Write(path_[level].position, *path_[level].page);
  } else {
    RemoveEmpty(level);
  }
  path_.clear();
  return true;
}

// path_[level] has no entries left (a leaf) or nothing under it (a branch
// whose only child went away). It leaves the tree without losing a key: the
// parent's entry that pointed to it moves down into the neighbouring subtree.
void NtxTree::RemoveEmpty(size_t level) {
  while (true) {
    if (level == 0) {
      NtxPage empty;
      Write(path_[0].position, empty);
      return;
    }
    path_.resize(level);
    Level &parent = path_.back();
    NtxPage &parent_page = Own(parent);
    std::vector<XBobjIndexKeyData> &entries = parent_page.entries;
    if (entries.empty()) {
      --level;  // the empty page was the parent's only child
      continue;
    }
    XBobjIndexKeyData moved;
    bool to_front = true;
    if (parent.index < entries.size()) {
      moved = std::move(entries[parent.index]);
      entries.erase(entries.begin() + parent.index);
    } else {
      moved = std::move(entries.back());
      entries.pop_back();
      parent_page.rightmost = moved.child;
      parent.index = entries.size();
      to_front = false;
    }
    Write(parent.position, parent_page);
    // The moved entry orders before every key of the subtree now in its slot
    // (or after every key of the new rightmost subtree).
    int64_t position = Child(parent_page, parent.index);
    while (true) {
      PagePtr page = Load(position);
      const size_t count = page->entries.size();
      const bool leaf = page->leaf;
      const size_t slot = to_front ? 0 : count;
      const int64_t child = leaf ? 0 : Child(*page, slot);
      Push(position, std::move(page), slot);
      if (leaf) break;
      position = child;
    }
    Level &leaf = path_.back();
    moved.child = 0;
    std::vector<XBobjIndexKeyData> &leaf_entries = Own(leaf).entries;
    leaf_entries.insert(leaf_entries.begin() + leaf.index, std::move(moved));
    StoreUp(path_.size() - 1);
    return;
  }
}

NtxTree::CheckResult NtxTree::Check() {
  CheckResult result;
  std::unordered_set<int64_t> seen;
  int leaf_depth = -1;
  DropPages();  // the pages as they are on disk, not as last read
  try {
    CheckPage(root_, 0, seen, leaf_depth, result);
  } catch (const std::exception &e) {
    result.problems.push_back(e.what());
  }
  for (size_t i = 1; i < result.entries.size(); ++i) {
    if (Order(result.entries[i - 1].key, result.entries[i].key) > 0) {
      result.problems.push_back("key out of order at entry " + std::to_string(i + 1) + " (record " +
                                std::to_string(result.entries[i].record) + ")");
    }
  }
  result.pages = seen.size();
  path_.clear();
  return result;
}

void NtxTree::CheckPage(int64_t position, size_t depth, std::unordered_set<int64_t> &seen,
                        int &leaf_depth, CheckResult &result) {
  if (depth >= kMaxDepth) RaiseError(msg::kIndexCorrupted, {name_});
  if (!seen.insert(position).second) {
    result.problems.push_back("page " + std::to_string(position) + " is reached twice");
    return;
  }
  const PagePtr kept = Load(position);
  const NtxPage &page = *kept;
  if (page.leaf) {
    if (leaf_depth < 0) leaf_depth = static_cast<int>(depth);
    if (leaf_depth != static_cast<int>(depth)) {
      result.problems.push_back("leaf page " + std::to_string(position) +
                                " is at another depth than the first leaf");
    }
    if (page.entries.empty() && depth > 0) {
      result.problems.push_back("leaf page " + std::to_string(position) + " is empty");
    }
    result.entries.insert(result.entries.end(), page.entries.begin(), page.entries.end());
    return;
  }
  for (const XBobjIndexKeyData &e : page.entries) {
    CheckPage(e.child, depth + 1, seen, leaf_depth, result);
    result.entries.push_back(XBobjIndexKeyData{e.key, e.record, 0});
  }
  CheckPage(page.rightmost, depth + 1, seen, leaf_depth, result);
}

}  // namespace xb
