// Bottom-up building of CDX tags, and the tags IndexOn adds to compound
// files. Nodes are written once, each at a position taken when the node
// was started, so that a full node already knows where its right neighbour
// goes; a full node hands its last key up to the level above.
#include "xbase/index/cdx_build.h"

#include <algorithm>
#include <memory>

#include "xbase/file/disk_file.h"
#include "xbase/file/text_case.h"
#include "xbase/index/cdx_tag.h"
#include "xbase/table/dbase_fld.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

class CdxTreeWriter {
 public:
  CdxTreeWriter(IndexPageStore &store, const CdxKeyForm &form, uint64_t record_limit)
      : store_(store),
        form_(form),
        record_limit_(record_limit),
        entry_width_(CdxLeafEntryWidth(form.key_length, record_limit)),
        branch_capacity_(CdxBranchCapacity(form.key_length)) {}

  // Adds an entry (key padded to the key length) at `level` (0 = leaves).
  void Add(size_t level, XBobjIndexKeyData entry) {
    if (level == levels_.size()) Start(level, kCdxNoSibling);
    size_t bytes = Bytes(levels_[level], entry.key);
    const Level &current = levels_[level];
    const bool full = level == 0
                          ? !current.node.entries.empty() && current.used + bytes > kCdxLeafSpace
                          : current.node.entries.size() >= branch_capacity_;
    if (full) {
      const int64_t next = store_.AllocPage(kCdxNodeSize);
      XBobjIndexKeyData up = Write(level, static_cast<uint32_t>(next));
      const uint32_t left = up.child;
      Start(level, left, next);
      Add(level + 1, std::move(up));
      bytes = Bytes(levels_[level], entry.key);
    }
    Level &target = levels_[level];
    target.used += bytes;
    target.node.entries.push_back(std::move(entry));
  }

  // Writes each level's last node, lowest first, until one node is left at
  // the top: the root, whose position is returned.
  int64_t Finish() {
    if (levels_.empty()) Start(0, kCdxNoSibling);
    for (size_t level = 0;; ++level) {
      if (level + 1 == levels_.size() && !levels_[level].wrote) {
        levels_[level].node.root = true;
        const int64_t root = levels_[level].position;
        WriteNode(level, kCdxNoSibling);
        return root;
      }
      XBobjIndexKeyData up = Write(level, kCdxNoSibling);
      Add(level + 1, std::move(up));
    }
  }

 private:
  struct Level {
    CdxNode node;
    int64_t position = 0;
    size_t used = 0;  // leaf bytes taken by the entries so far
    bool wrote = false;
  };

  size_t Bytes(const Level &level, const std::string &key) const {
    if (!level.node.leaf) return 0;
    const std::string_view previous =
        level.node.entries.empty() ? std::string_view() : level.node.entries.back().key;
    return CdxLeafEntryBytes(previous, key, form_.pad, entry_width_);
  }

  // Starts a fresh node at `level`, at `position` (taken now when -1).
  void Start(size_t level, uint32_t left, int64_t position = -1) {
    if (level == levels_.size()) levels_.emplace_back();
    Level &l = levels_[level];
    const bool wrote = l.wrote;
    l = Level();
    l.wrote = wrote;
    l.node.leaf = level == 0;
    l.node.left = left;
    l.position = position >= 0 ? position : store_.AllocPage(kCdxNodeSize);
  }

  void WriteNode(size_t level, uint32_t right) {
    Level &l = levels_[level];
    l.node.right = right;
    store_.WritePage(l.position, EncodeCdxNode(l.node, form_, record_limit_));
    l.wrote = true;
  }

  // Writes the node of `level` with its right sibling and returns the
  // entry that names it in the level above.
  XBobjIndexKeyData Write(size_t level, uint32_t right) {
    WriteNode(level, right);
    const Level &l = levels_[level];
    const XBobjIndexKeyData &last = l.node.entries.back();
    return XBobjIndexKeyData{last.key, last.record, static_cast<uint32_t>(l.position)};
  }

  IndexPageStore &store_;
  CdxKeyForm form_;
  uint64_t record_limit_;
  int entry_width_;
  size_t branch_capacity_;
  std::vector<Level> levels_;
};

// The header of a new tag whose key has `value` on the current record.
CdxTagHeader NewTagHeader(const ExpValue &value, IndexKeyType type, bool unique, bool descending,
                          bool general) {
  CdxTagHeader header;
  header.unique = unique;
  header.descending = descending;
  if (type != IndexKeyType::kCharacter) {
    header.key_length = 8;
  } else {
    const size_t text = value.type == ExpType::kBoolean ? 1 : value.text.size();
    const size_t length = general ? 2 * text : text;
    // A key with no text on the sample record (an empty field under TRIM,
    // say) still needs key bytes; longer keys are refused by the sorter.
    header.key_length = static_cast<uint16_t>(length == 0 ? kCdxDirectoryKeyLength
                                                          : std::min<size_t>(length, 0xFFFF));
    if (general) header.collation = CdxCollation::kGeneral;
  }
  return header;
}

}  // namespace

std::string CdxDirectoryName(const std::string &tag_name) {
  std::string name = UpperCp1251(tag_name.substr(0, kCdxDirectoryKeyLength));
  const size_t last = name.find_last_not_of(' ');
  name.resize(last == std::string::npos ? 0 : last + 1);
  return name;
}

void CdxIndexOn(XBO_dBaseFld &table, const std::string &path, const std::string &tag_name,
                const std::string &key_expression, const std::string &for_expression, bool unique,
                bool descending, bool general) {
  const std::string name = CdxDirectoryName(tag_name);
  if (name.empty()) RaiseError(msg::kCannotFindTag, {tag_name});
  // The new tag makes the keys, on a file object that is never opened: its
  // header position (the directory's) is not its own.
  XBobjCDXFile unopened(table, path);
  XBobjCDXTag maker(unopened, name, 0);
  maker.CompileKeyExpr(key_expression);
  maker.CompileForExpr(for_expression);
  maker.InitTag();
  const bool text = maker.KeyType() == IndexKeyType::kCharacter;
  CdxTagHeader header =
      NewTagHeader(maker.EvaluateKey(), maker.KeyType(), unique, descending, general && text);
  header.key_expression = key_expression;
  header.for_expression = for_expression;
  maker.ApplyHeader(header);
  XBobjSortCDX sort(CdxKeyForm{header.key_length, text ? ' ' : '\0', general && text}, descending);
  // The tag goes into a copy of the file, which then replaces it (Rebuild).
  XBobjCDXFile file(table, path);
  file.Rebuild(true, [&] {
    const int64_t saved = table.RecordNumber();
    maker.CollectKeys(
        [&sort](const std::string &key, uint32_t record) { sort.AddKey(key, record); });
    table.RefreshHeader();
    if (saved > 0 && saved <= table.RecordCount()) table.GoToRecord(saved);

    file.Load();
    const int64_t position = file.AllocPage(kCdxTagHeaderSize);
    header.root = static_cast<uint32_t>(sort.WriteTree(
        file, static_cast<uint64_t>(std::max<int64_t>(table.RecordCount(), 0)), unique,
        [&table](int code, int value, int total) { table.DiskProgress(code, value, total); }));
    header.update_counter = file.Counter() + 1;
    file.WritePage(position, EncodeCdxTagHeader(header));
    file.AddTagAt(name, position);
  });
}

XBobjSortCDX::XBobjSortCDX(const CdxKeyForm &form, bool descending)
    : TxbSort(form.key_length, descending), form_(form) {}

void XBobjSortCDX::AddKey(std::string key, uint32_t record) {
  key.resize(form_.key_length, form_.pad);
  Add(key, record);
}

int64_t XBobjSortCDX::WriteTree(IndexPageStore &store, uint64_t record_limit, bool unique,
                                const Progress &progress) {
  Sort(unique);
  CdxTreeWriter writer(store, form_, record_limit);
  if (progress) progress(-1, 2, static_cast<int>(Count()));
  std::string key;
  uint32_t record = 0;
  int done = 0;
  while (Next(key, record)) {
    writer.Add(0, XBobjIndexKeyData{key, record, 0});
    if (progress) progress(2, ++done, 0);
  }
  return writer.Finish();
}

}  // namespace xb
