// The B-tree of one CDX tag (or of the tag directory): a cursor over the path
// of loaded nodes from the root to the current entry, search and walk with
// equal keys ordered by record number, insertion with leaf and branch splits
// that keep the sibling links of each level, and deletion. Nodes are read and
// written through an IndexPageStore (layout in cdx_format.h); the nodes read
// are kept (index_page_cache.h) until DropPages.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "xbase/index/cdx_format.h"
#include "xbase/index/index_page_cache.h"
#include "xbase/index/index_page_store.h"

namespace xb {

class CdxTree {
 public:
  struct Layout {
    CdxKeyForm form;
    bool descending = false;
    // Bytes of a stored key that a search may match (general ordering: the
    // primary weights); 0 for the whole key.
    uint16_t match_length = 0;
  };

  // `name` names the index in "Index file %s is corrupted"; `record_limit`
  // gives the greatest record number a leaf must hold when it is written
  // (the table's record count, or the file size for the directory).
  CdxTree(IndexPageStore &store, std::string name, std::function<uint64_t()> record_limit);

  void SetLayout(const Layout &layout) {
    layout_ = layout;
    DropPages();
  }
  const Layout &layout() const { return layout_; }
  int64_t root() const { return root_; }
  // Also forgets every kept node: the tree may have been written anew.
  void SetRoot(int64_t root);
  // Called with the new root position after a root split.
  void OnRootChanged(std::function<void(int64_t)> handler) {
    on_root_changed_ = std::move(handler);
  }
  // Writes an empty root leaf at `position` and makes it the root.
  void WriteEmptyRoot(int64_t position);

  // Forgets the cursor; the nodes read stay kept for later searches.
  void Drop() { path_.clear(); }
  // Forgets the cursor and every kept node: the file may have changed.
  void DropPages() {
    path_.clear();
    cache_.Clear();
  }
  const XBobjIndexKeyData *Current() const;
  // True when the next step in that direction lands on another entry of
  // the leaf the cursor stands on, so that it needs no node.
  bool StepStaysInLeaf(bool forward) const;

  // Navigation in stored order: the record number of the new current entry,
  // 0 when it ran off an end (Next and Prior need a position).
  uint32_t First();
  uint32_t Last();
  uint32_t Next();
  uint32_t Prior();

  // Puts the cursor on the first entry (the lowest record among equal keys)
  // whose key does not order before `key`, comparing only as many bytes as
  // `key` has; true when it matches (KeyMatches with `exact`). Off the tree
  // when every key orders before `key`.
  bool Seek(std::string_view key, bool exact);
  // Puts the cursor on the entry with this key and record number.
  bool Locate(std::string_view key, uint32_t record);
  // Inserts an entry at its place among equal keys by ascending record
  // number (descending tags too); the cursor rests on it.
  void Insert(std::string_view key, uint32_t record);
  // Removes the entry with this key and record number; false when there is
  // none. Drops the cursor.
  bool Remove(std::string_view key, uint32_t record);

  // Walks every node once, as the file holds it now: the entries in order,
  // and what is wrong with the structure (nodes reached twice, leaves at
  // different depths, keys out of order, branch entries that are not their
  // child's last entry, broken sibling links, a missing root flag).
  struct CheckResult {
    std::vector<XBobjIndexKeyData> entries;
    std::vector<std::string> problems;
    size_t nodes = 0;
  };
  CheckResult Check();

 private:
  using NodePtr = std::shared_ptr<CdxNode>;
  struct Level {
    int64_t position = 0;
    NodePtr node;  // may be shared with the cache: change it through Own
    size_t index = 0;
  };

  // In-memory key form: character keys without trailing blanks, the others
  // padded to the key length with their pad byte.
  std::string Normal(std::string_view key) const;
  int Order(std::string_view a, uint32_t ra, std::string_view b, uint32_t rb) const;
  int OrderKey(std::string_view a, std::string_view b) const;
  // The greatest record number a node's leaf entries must hold: the
  // store's limit, or a greater record of the node itself.
  uint64_t RecordLimit(const CdxNode &node) const;
  NodePtr Load(int64_t position);
  // A node's bytes in memory form, its links checked against `file_end`.
  CdxNode Decode(const std::string &bytes, int64_t file_end) const;
  // Writes a node and keeps a copy of it as the node at `position`.
  void Write(int64_t position, const CdxNode &node);
  // The level's node, made the level's own (copied when the cache or another
  // level shares it) so that it may be changed.
  static CdxNode &Own(Level &level);
  void Push(int64_t position, NodePtr node, size_t index);
  uint32_t CurrentRecord() const;
  // From the root towards a leaf, in each node to the first entry for which
  // `before` is false. False when a branch has no such entry (every key
  // orders before the target); with `clamp` the last child is taken instead.
  template <typename Before>
  bool Descend(Before before, bool clamp);
  // Down from `position` to the first (or last) entry of its subtree; false
  // when the leaf reached is empty.
  bool DescendEdge(int64_t position, bool first);
  // From an exhausted leaf to the next (or previous) entry: 0 at the end.
  uint32_t Climb(bool forward);
  // Writes path_[level] and its ancestors as far as they changed, splitting
  // nodes that do not fit. True when a node was split.
  bool StoreUp(size_t level);
  // Moves leading entries of `node` into new nodes to its left until it
  // fits; returns the new nodes' parent entries in order.
  std::vector<XBobjIndexKeyData> SplitOff(int64_t position, CdxNode &node);
  bool Fits(const CdxNode &node) const;
  void Relink(uint32_t position, bool set_left, uint32_t target);
  // Sibling links of the nodes of one level, in key order.
  struct Links {
    int64_t position;
    uint32_t left;
    uint32_t right;
  };
  void CheckNode(int64_t position, size_t depth, std::unordered_set<int64_t> &seen,
                 std::vector<std::vector<Links>> &levels, int &leaf_depth, CheckResult &result);

  IndexPageStore &store_;
  std::string name_;
  std::function<uint64_t()> record_limit_;
  Layout layout_;
  int64_t root_ = 0;
  std::function<void(int64_t)> on_root_changed_;
  std::vector<Level> path_;
  IndexPageCache<CdxNode> cache_;
};

}  // namespace xb
