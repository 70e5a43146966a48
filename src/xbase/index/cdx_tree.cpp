// CDX B-tree operations over the node cursor (see cdx_tree.h).
#include "xbase/index/cdx_tree.h"

#include <algorithm>

#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

// Deeper paths than this can only come from nodes that point back up.
constexpr size_t kMaxDepth = 32;
// A leaf that overflows gives the entries whose sizes add up to less than
// this to a new node on its left.
constexpr size_t kLeftSplitBytes = 250;

bool SameEntry(const XBobjIndexKeyData &a, const XBobjIndexKeyData &b) {
  return a.key == b.key && a.record == b.record;
}

}  // namespace

CdxTree::CdxTree(IndexPageStore &store, std::string name, std::function<uint64_t()> record_limit)
    : store_(store),
      name_(std::move(name)),
      record_limit_(std::move(record_limit)),
      cache_(kCachedIndexBytes / kCdxNodeSize) {}

void CdxTree::SetRoot(int64_t root) {
  root_ = root;
  DropPages();
}

void CdxTree::WriteEmptyRoot(int64_t position) {
  CdxNode root;
  root.root = true;
  Write(position, root);
  SetRoot(position);
}

std::string CdxTree::Normal(std::string_view key) const {
  const CdxKeyForm &form = layout_.form;
  std::string k(key.substr(0, form.key_length));
  if (form.pad == ' ') {
    const size_t end = k.find_last_not_of(' ');
    k.resize(end == std::string::npos ? 0 : end + 1);
  } else {
    k.resize(form.key_length, form.pad);
  }
  return k;
}

int CdxTree::OrderKey(std::string_view a, std::string_view b) const {
  const int c = CompareKeys(a, b);
  return layout_.descending ? -c : c;
}

int CdxTree::Order(std::string_view a, uint32_t ra, std::string_view b, uint32_t rb) const {
  // Equal keys stay in ascending record order in descending tags too.
  const int c = OrderKey(a, b);
  if (c != 0) return c;
  return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

CdxTree::NodePtr CdxTree::Load(int64_t position) {
  if (NodePtr kept = cache_.Find(position)) return kept;
  // Nodes behind the end this store remembers may have been added since.
  int64_t end = store_.EndOfFilePos();
  if (position + kCdxNodeSize > end) end = store_.FreshEndOfFilePos();
  if (position < kCdxNodeSize || position % kCdxNodeSize != 0 || position + kCdxNodeSize > end) {
    path_.clear();
    RaiseError(msg::kIndexCorrupted, {name_});
  }
  const std::string bytes = store_.ReadPage(position, kCdxNodeSize);
  NodePtr node;
  try {
    node = std::make_shared<CdxNode>(Decode(bytes, end));
  } catch (const EXbaseError &) {
    // So may the nodes it links to.
    const int64_t fresh = store_.FreshEndOfFilePos();
    if (fresh <= end) throw;
    node = std::make_shared<CdxNode>(Decode(bytes, fresh));
  }
  cache_.Put(position, node);
  return node;
}

CdxNode CdxTree::Decode(const std::string &bytes, int64_t file_end) const {
  CdxNode node = DecodeCdxNode(bytes, layout_.form, static_cast<uint64_t>(file_end), name_);
  if (layout_.form.pad != ' ') {
    for (XBobjIndexKeyData &e : node.entries)
      e.key.resize(layout_.form.key_length, layout_.form.pad);
  }
  return node;
}

uint64_t CdxTree::RecordLimit(const CdxNode &node) const {
  uint64_t limit = record_limit_();
  for (const XBobjIndexKeyData &e : node.entries) limit = std::max<uint64_t>(limit, e.record);
  return limit;
}

void CdxTree::Write(int64_t position, const CdxNode &node) {
  uint64_t limit = RecordLimit(node);
  if (node.leaf && !Fits(node)) {
    // A leaf written when the table was smaller has narrower entries; written
    // again with only its links changed, or with fewer entries, it may not
    // fit at the width the table's count now asks for (inserts split before
    // they get here). It then keeps the narrowest width its own records
    // allow, which is never wider than the one it had.
    limit = 0;
    for (const XBobjIndexKeyData &e : node.entries) limit = std::max<uint64_t>(limit, e.record);
  }
  // Should the write fail, nothing is known of the node any more.
  cache_.Erase(position);
  store_.WritePage(position, EncodeCdxNode(node, layout_.form, limit));
  cache_.Put(position, std::make_shared<CdxNode>(node));
}

CdxNode &CdxTree::Own(Level &level) {
  if (level.node.use_count() > 1) level.node = std::make_shared<CdxNode>(*level.node);
  return *level.node;
}

void CdxTree::Push(int64_t position, NodePtr node, size_t index) {
  if (path_.size() >= kMaxDepth) {
    path_.clear();
    RaiseError(msg::kIndexCorrupted, {name_});
  }
  path_.push_back(Level{position, std::move(node), index});
}

const XBobjIndexKeyData *CdxTree::Current() const {
  if (path_.empty()) return nullptr;
  const Level &top = path_.back();
  if (!top.node->leaf || top.index >= top.node->entries.size()) return nullptr;
  return &top.node->entries[top.index];
}

bool CdxTree::StepStaysInLeaf(bool forward) const {
  if (!Current()) return false;
  const Level &top = path_.back();
  return forward ? top.index + 1 < top.node->entries.size() : top.index > 0;
}

uint32_t CdxTree::CurrentRecord() const {
  const XBobjIndexKeyData *entry = Current();
  return entry ? entry->record : 0;
}

template <typename Before>
bool CdxTree::Descend(Before before, bool clamp) {
  path_.clear();
  int64_t position = root_;
  while (true) {
    NodePtr node = Load(position);
    const auto &entries = node->entries;
    size_t i = std::partition_point(entries.begin(), entries.end(), before) - entries.begin();
    const bool leaf = node->leaf;
    if (!leaf && i == entries.size()) {
      if (!clamp || entries.empty()) {
        Push(position, std::move(node), i);
        return false;
      }
      i = entries.size() - 1;
    }
    const int64_t child = leaf ? 0 : entries[i].child;
    Push(position, std::move(node), i);
    if (leaf) return true;
    position = child;
  }
}

bool CdxTree::DescendEdge(int64_t position, bool first) {
  while (true) {
    NodePtr node = Load(position);
    const size_t count = node->entries.size();
    if (count == 0) {
      Push(position, std::move(node), 0);
      return false;
    }
    const size_t i = first ? 0 : count - 1;
    const bool leaf = node->leaf;
    const int64_t child = leaf ? 0 : node->entries[i].child;
    Push(position, std::move(node), i);
    if (leaf) return true;
    position = child;
  }
}

uint32_t CdxTree::Climb(bool forward) {
  // Empty subtrees are stepped over; a file whose nodes are shared between
  // subtrees could make that endless, so no more nodes are read than the
  // file holds.
  int64_t budget = store_.EndOfFilePos() / kCdxNodeSize + 1;
  while (true) {
    path_.pop_back();
    if (path_.empty()) return 0;
    Level &parent = path_.back();
    const bool more = forward ? parent.index + 1 < parent.node->entries.size() : parent.index > 0;
    if (!more) continue;
    if (--budget < 0) {
      path_.clear();
      RaiseError(msg::kIndexCorrupted, {name_});
    }
    parent.index = forward ? parent.index + 1 : parent.index - 1;
    if (DescendEdge(parent.node->entries[parent.index].child, forward)) return CurrentRecord();
  }
}

uint32_t CdxTree::First() {
  path_.clear();
  return DescendEdge(root_, true) ? CurrentRecord() : Climb(true);
}

uint32_t CdxTree::Last() {
  path_.clear();
  return DescendEdge(root_, false) ? CurrentRecord() : Climb(false);
}

uint32_t CdxTree::Next() {
  if (!Current()) return 0;
  Level &top = path_.back();
  if (++top.index < top.node->entries.size()) return CurrentRecord();
  return Climb(true);
}

uint32_t CdxTree::Prior() {
  if (!Current()) return 0;
  Level &top = path_.back();
  if (top.index > 0) {
    --top.index;
    return CurrentRecord();
  }
  return Climb(false);
}

bool CdxTree::Seek(std::string_view key, bool exact) {
  const bool descending = layout_.descending;
  const bool inside = Descend(
      [&](const XBobjIndexKeyData &e) {
        const int c = CompareKeyPrefix(e.key, key);
        return (descending ? -c : c) < 0;
      },
      false);
  if (!inside) {
    path_.clear();
    return false;
  }
  if (!Current()) Climb(true);
  const XBobjIndexKeyData *entry = Current();
  if (entry == nullptr) return false;
  std::string_view stored = entry->key;
  if (layout_.match_length > 0) stored = stored.substr(0, layout_.match_length);
  return KeyMatches(stored, key, exact);
}

bool CdxTree::Locate(std::string_view key, uint32_t record) {
  const std::string k = Normal(key);
  const bool inside = Descend(
      [&](const XBobjIndexKeyData &e) { return Order(e.key, e.record, k, record) < 0; }, false);
  if (inside && !Current()) Climb(true);
  const XBobjIndexKeyData *entry = Current();
  if (inside && entry && entry->record == record && CompareKeys(entry->key, k) == 0) return true;
  path_.clear();
  return false;
}

void CdxTree::Insert(std::string_view key, uint32_t record) {
  const std::string k = Normal(key);
  Descend([&](const XBobjIndexKeyData &e) { return Order(e.key, e.record, k, record) < 0; }, true);
  Level &leaf = path_.back();
  if (!leaf.node->leaf) {
    path_.clear();  // a branch without entries
    RaiseError(msg::kIndexCorrupted, {name_});
  }
  std::vector<XBobjIndexKeyData> &entries = Own(leaf).entries;
  entries.insert(entries.begin() + leaf.index, XBobjIndexKeyData{k, record, 0});
  if (StoreUp(path_.size() - 1)) Locate(k, record);
}

bool CdxTree::Fits(const CdxNode &node) const {
  if (!node.leaf) return node.entries.size() <= CdxBranchCapacity(layout_.form.key_length);
  return CdxLeafFits(node.entries, layout_.form,
                     CdxLeafEntryWidth(layout_.form.key_length, RecordLimit(node)));
}

void CdxTree::Relink(uint32_t position, bool set_left, uint32_t target) {
  CdxNode node = *Load(position);
  (set_left ? node.left : node.right) = target;
  Write(position, node);
}

std::vector<XBobjIndexKeyData> CdxTree::SplitOff(int64_t position, CdxNode &node) {
  std::vector<XBobjIndexKeyData> parents;
  while (!Fits(node) && node.entries.size() > 1) {
    size_t take = (node.entries.size() + 1) / 2;
    if (node.leaf) {
      const std::vector<size_t> sizes =
          CdxLeafEntrySizes(node.entries, layout_.form,
                            CdxLeafEntryWidth(layout_.form.key_length, RecordLimit(node)));
      size_t used = 0;
      take = 0;
      while (take < sizes.size() && used + sizes[take] < kLeftSplitBytes) used += sizes[take++];
      take = std::clamp<size_t>(take, 1, node.entries.size() - 1);
    }
    CdxNode left;
    left.leaf = node.leaf;
    left.entries.assign(std::make_move_iterator(node.entries.begin()),
                        std::make_move_iterator(node.entries.begin() + take));
    node.entries.erase(node.entries.begin(), node.entries.begin() + take);
    const auto left_position = static_cast<uint32_t>(store_.AllocPage(kCdxNodeSize));
    left.left = node.left;
    left.right = static_cast<uint32_t>(position);
    Write(left_position, left);
    if (node.left != kCdxNoSibling) Relink(node.left, false, left_position);
    node.left = left_position;
    const XBobjIndexKeyData &last = left.entries.back();
    parents.push_back(XBobjIndexKeyData{last.key, last.record, left_position});
  }
  return parents;
}

bool CdxTree::StoreUp(size_t level) {
  bool split = false;
  bool new_root = false;
  while (true) {
    std::vector<XBobjIndexKeyData> lefts = SplitOff(path_[level].position, Own(path_[level]));
    split = split || !lefts.empty();
    Level &current = path_[level];
    if (level == 0) {
      current.node->root = lefts.empty();
      Write(current.position, *current.node);
      if (lefts.empty()) break;
      // The root split: a new root above the old one and its new neighbours.
      CdxNode root;
      root.root = true;
      root.leaf = false;
      root.entries = std::move(lefts);
      const XBobjIndexKeyData &last = current.node->entries.back();
      root.entries.push_back(
          XBobjIndexKeyData{last.key, last.record, static_cast<uint32_t>(current.position)});
      const size_t index = root.entries.size() - 1;
      const int64_t position = store_.AllocPage(kCdxNodeSize);
      path_.insert(path_.begin(),
                   Level{position, std::make_shared<CdxNode>(std::move(root)), index});
      root_ = position;
      new_root = true;
      continue;  // level 0 is now the new root
    }
    Write(current.position, *current.node);
    Level &parent = path_[level - 1];
    bool changed = !lefts.empty();
    if (!current.node->entries.empty()) {
      const XBobjIndexKeyData &last = current.node->entries.back();
      if (!SameEntry(parent.node->entries[parent.index], last)) {
        XBobjIndexKeyData &slot = Own(parent).entries[parent.index];
        slot.key = last.key;
        slot.record = last.record;
        changed = true;
      }
    }
    if (!lefts.empty()) {
      std::vector<XBobjIndexKeyData> &above = Own(parent).entries;
      above.insert(above.begin() + parent.index, std::make_move_iterator(lefts.begin()),
                   std::make_move_iterator(lefts.end()));
    }
    parent.index += lefts.size();
    --level;
    if (!changed) break;
  }
  if (new_root && on_root_changed_) on_root_changed_(root_);
  return split;
}

bool CdxTree::Remove(std::string_view key, uint32_t record) {
  if (!Locate(key, record)) return false;
  size_t level = path_.size() - 1;
  std::vector<XBobjIndexKeyData> &entries = Own(path_[level]).entries;
  entries.erase(entries.begin() + path_[level].index);
  // Nodes left empty leave the tree and their level's sibling chain.
  while (level > 0 && path_[level].node->entries.empty()) {
    const CdxNode &dead = *path_[level].node;
    if (dead.left != kCdxNoSibling) Relink(dead.left, false, dead.right);
    if (dead.right != kCdxNoSibling) Relink(dead.right, true, dead.left);
    path_.resize(level);
    --level;
    Level &parent = path_[level];
    std::vector<XBobjIndexKeyData> &above = Own(parent).entries;
    above.erase(above.begin() + parent.index);
  }
  if (level == 0 && path_[0].node->entries.empty()) Own(path_[0]).leaf = true;
  // Writes the changed node; when its last entry went, the parent entries
  // take the new last key.
  StoreUp(level);
  path_.clear();
  return true;
}

CdxTree::CheckResult CdxTree::Check() {
  CheckResult result;
  std::unordered_set<int64_t> seen;
  std::vector<std::vector<Links>> levels;
  int leaf_depth = -1;
  DropPages();  // the nodes as they are on disk, not as last read
  try {
    CheckNode(root_, 0, seen, levels, leaf_depth, result);
  } catch (const std::exception &e) {
    result.problems.push_back(e.what());
  }
  for (size_t i = 1; i < result.entries.size(); ++i) {
    const XBobjIndexKeyData &a = result.entries[i - 1];
    const XBobjIndexKeyData &b = result.entries[i];
    if (Order(a.key, a.record, b.key, b.record) >= 0) {
      result.problems.push_back("key out of order at entry " + std::to_string(i + 1) + " (record " +
                                std::to_string(b.record) + ")");
    }
  }
  for (const std::vector<Links> &nodes : levels) {
    for (size_t i = 0; i < nodes.size(); ++i) {
      const uint32_t left = i == 0 ? kCdxNoSibling : static_cast<uint32_t>(nodes[i - 1].position);
      const uint32_t right =
          i + 1 == nodes.size() ? kCdxNoSibling : static_cast<uint32_t>(nodes[i + 1].position);
      if (nodes[i].left != left || nodes[i].right != right) {
        result.problems.push_back("node " + std::to_string(nodes[i].position) +
                                  " has wrong sibling links");
      }
    }
  }
  result.nodes = seen.size();
  path_.clear();
  return result;
}

void CdxTree::CheckNode(int64_t position, size_t depth, std::unordered_set<int64_t> &seen,
                        std::vector<std::vector<Links>> &levels, int &leaf_depth,
                        CheckResult &result) {
  if (depth >= kMaxDepth) RaiseError(msg::kIndexCorrupted, {name_});
  const std::string where = "node " + std::to_string(position);
  if (!seen.insert(position).second) {
    result.problems.push_back(where + " is reached twice");
    return;
  }
  const NodePtr kept = Load(position);
  const CdxNode &node = *kept;
  if (levels.size() <= depth) levels.resize(depth + 1);
  levels[depth].push_back(Links{position, node.left, node.right});
  if (node.root != (depth == 0)) result.problems.push_back(where + " has a wrong root flag");
  if (node.leaf) {
    if (leaf_depth < 0) leaf_depth = static_cast<int>(depth);
    if (leaf_depth != static_cast<int>(depth)) {
      result.problems.push_back(where + " is a leaf at another depth than the first leaf");
    }
    if (node.entries.empty() && depth > 0) result.problems.push_back(where + " is empty");
    result.entries.insert(result.entries.end(), node.entries.begin(), node.entries.end());
    return;
  }
  if (node.entries.empty()) result.problems.push_back(where + " is an empty branch");
  for (const XBobjIndexKeyData &e : node.entries) {
    const size_t before = result.entries.size();
    CheckNode(e.child, depth + 1, seen, levels, leaf_depth, result);
    if (result.entries.size() == before || !SameEntry(result.entries.back(), e)) {
      result.problems.push_back(where + " has an entry that is not its child's last entry");
    }
  }
}

}  // namespace xb
