// Bottom-up building of CDX tags and the update of a compound file's
// directory. Nodes are written once, each at a position taken when the node
// was started, so that a full node already knows where its right neighbour
// goes; a full node hands its last key up to the level above.
#include "xbase/cdx_build.h"

#include <algorithm>
#include <memory>

#include "xbase/byte_helpers.h"
#include "xbase/cdx_key.h"
#include "xbase/dbase_fld.h"
#include "xbase/disk_file.h"
#include "xbase/expr_handler.h"
#include "xbase/index_file.h"
#include "xbase/index_tag.h"
#include "xbase/text_case.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {

namespace {

[[noreturn]] void Corrupted(const std::string &file_name) {
  RaiseError(msg::kIndexCorrupted, {file_name});
}

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

// The key a tag stores for an expression value: its type and form are fixed
// by the value on the current record when the tag is made.
class CdxKeyMaker {
 public:
  CdxKeyMaker(const ExpValue &sample, bool general) {
    if (sample.type == ExpType::kDate) {
      type_ = IndexKeyType::kDate;
    } else if (sample.type == ExpType::kNumber || sample.type == ExpType::kInteger ||
               sample.type == ExpType::kDateTime) {
      type_ = IndexKeyType::kNumeric;
    }
    general_ = general && type_ == IndexKeyType::kCharacter;
    form_.general = general_;
    form_.pad = type_ == IndexKeyType::kCharacter ? ' ' : '\0';
    if (type_ != IndexKeyType::kCharacter) {
      form_.key_length = 8;
    } else {
      const size_t text = sample.type == ExpType::kBoolean ? 1 : sample.text.size();
      const size_t length = general_ ? 2 * text : text;
      // A key with no text on the sample record (an empty key expression,
      // or one that trims an empty field) still needs stored key bytes.
      form_.key_length = static_cast<uint16_t>(length == 0 ? kCdxDirectoryKeyLength
                                                           : std::min<size_t>(length, 0xFFFF));
    }
  }

  const CdxKeyForm &Form() const { return form_; }

  std::string EntryKey(const ExpValue &value) const {
    const bool text = value.type == ExpType::kText || value.type == ExpType::kMemo ||
                      value.type == ExpType::kUnknown;
    const bool number = value.type == ExpType::kNumber || value.type == ExpType::kInteger ||
                        value.type == ExpType::kDateTime || value.type == ExpType::kDate;
    switch (type_) {
      case IndexKeyType::kCharacter:
        if (value.type == ExpType::kBoolean) return value.logic ? "T" : "F";
        if (!text) RaiseError(kVariantMismatch);
        return general_ ? CdxGeneralKey(value.text, true, form_.key_length)
                        : CdxMachineKey(value.text, true, form_.key_length);
      case IndexKeyType::kNumeric:
        if (!number) RaiseError(kVariantMismatch);
        return CdxNumberKey(value.number);
      case IndexKeyType::kDate:
        if (!number) RaiseError(kVariantMismatch);
        return CdxDateKey(static_cast<int32_t>(value.number));
    }
    return std::string();
  }

 private:
  IndexKeyType type_ = IndexKeyType::kCharacter;
  bool general_ = false;
  CdxKeyForm form_;
};

// Walks the table in physical order, deleted records included and filters
// ignored, and gives the sorter the key of every record whose FOR condition
// holds. The table returns to its record and state.
void SortTable(XBO_dBaseFld &table, TxbExpHandler &key, TxbExpHandler *condition,
               const CdxKeyMaker &keys, XBobjSortCDX &sort) {
  table.RefreshHeader();
  const int64_t count = table.RecordCount();
  const int64_t saved = table.RecordNumber();
  const int saved_state = table.TableState();
  table.SetTableState(kStateIndexing);
  try {
    table.DiskProgress(-1, 1, count);
    for (int64_t r = 1; r <= count; ++r) {
      table.GoToRecord(r);
      table.DiskProgress(1, r, 0);
      if (condition) {
        const ExpValue holds = condition->Evaluate();
        if (holds.type != ExpType::kBoolean || !holds.logic) continue;
      }
      sort.AddKey(keys.EntryKey(key.Evaluate()), static_cast<uint32_t>(r));
    }
    table.DiskProgress(0, 0, 0);
  } catch (...) {
    table.SetTableState(saved_state);
    throw;
  }
  table.SetTableState(saved_state);
  if (saved > 0 && saved <= table.RecordCount()) table.GoToRecord(saved);
}

// A header position read from the directory: a whole tag header inside the
// file, at a node boundary.
bool ValidHeaderPosition(uint32_t position, uint64_t file_size) {
  return position != 0 && position % kCdxNodeSize == 0 &&
         uint64_t{position} + kCdxTagHeaderSize <= file_size;
}

}  // namespace

std::string CdxDirectoryName(const std::string &tag_name) {
  std::string name = UpperCp1251(tag_name.substr(0, kCdxDirectoryKeyLength));
  const size_t last = name.find_last_not_of(' ');
  name.resize(last == std::string::npos ? 0 : last + 1);
  return name;
}

std::string CdxDiskStore::ReadPage(int64_t position, size_t size) {
  std::string bytes(size, '\0');
  const int64_t got = disk_.DiskRead(bytes.data(), static_cast<int64_t>(size), position);
  bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return bytes;
}

void CdxDiskStore::WritePage(int64_t position, std::string_view bytes) {
  disk_.DiskWrite(bytes.data(), static_cast<int64_t>(bytes.size()), position);
}

int64_t CdxDiskStore::AllocPage(size_t size) {
  const int64_t node = kCdxNodeSize;
  if (next_free_ < 0) next_free_ = (disk_.DiskSize() + node - 1) / node * node;
  const int64_t position = next_free_;
  next_free_ += static_cast<int64_t>(size);
  return position;
}

int64_t CdxDiskStore::EndOfFilePos() { return std::max(next_free_, disk_.DiskSize()); }

std::vector<XBobjIndexKeyData> ReadCdxLeaves(IndexPageStore &store, uint32_t root,
                                             const CdxKeyForm &form, uint64_t file_size,
                                             const std::string &file_name) {
  const uint64_t max_steps = file_size / kCdxNodeSize;
  uint64_t steps = 0;
  auto load = [&](uint32_t position) {
    if (++steps > max_steps) Corrupted(file_name);
    return DecodeCdxNode(store.ReadPage(position, kCdxNodeSize), form, file_size, file_name);
  };
  CdxNode node = load(root);
  while (!node.leaf) {
    if (node.entries.empty()) Corrupted(file_name);
    node = load(node.entries.front().child);
  }
  std::vector<XBobjIndexKeyData> entries;
  for (;;) {
    entries.insert(entries.end(), node.entries.begin(), node.entries.end());
    if (node.right == kCdxNoSibling) break;
    node = load(node.right);
    if (!node.leaf) Corrupted(file_name);
  }
  return entries;
}

std::vector<CdxDirectoryEntry> ReadCdxDirectory(IndexPageStore &store,
                                                const CdxTagHeader &directory, uint64_t file_size,
                                                const std::string &file_name) {
  const CdxKeyForm form{directory.key_length, ' ', false};
  std::vector<CdxDirectoryEntry> tags;
  for (const XBobjIndexKeyData &e :
       ReadCdxLeaves(store, directory.root, form, file_size, file_name)) {
    if (!ValidHeaderPosition(e.record, file_size)) Corrupted(file_name);
    tags.push_back(CdxDirectoryEntry{UpperCp1251(e.key), e.record});
  }
  return tags;
}

CdxTagContents ReadCdxTag(const std::string &path, const std::string &tag_name, char pad) {
  XBO_DiskFile disk(path);
  if (!disk.Exists()) RaiseError(msg::kFileNotFound, {path});
  disk.DiskOpen(true, false);
  CdxDiskStore store(disk);
  const std::string file_name = IndexBaseName(disk.FileName());
  const uint64_t size = static_cast<uint64_t>(disk.DiskSize());
  const CdxTagHeader directory =
      DecodeCdxTagHeader(store.ReadPage(0, kCdxTagHeaderSize), size, file_name);
  if (!directory.directory) Corrupted(file_name);
  const std::string name = CdxDirectoryName(tag_name);
  for (const CdxDirectoryEntry &tag : ReadCdxDirectory(store, directory, size, file_name)) {
    if (tag.name != name) continue;
    CdxTagContents contents;
    contents.header =
        DecodeCdxTagHeader(store.ReadPage(tag.header, kCdxTagHeaderSize), size, file_name);
    contents.entries =
        ReadCdxLeaves(store, contents.header.root,
                      CdxKeyForm{contents.header.key_length, pad,
                                 contents.header.collation == CdxCollation::kGeneral},
                      size, file_name);
    return contents;
  }
  RaiseError(msg::kCannotFindTag, {tag_name});
}

void CdxIndexOn(XBO_dBaseFld &table, const std::string &path, const std::string &tag_name,
                const std::string &key_expression, const std::string &for_expression, bool unique,
                bool descending, bool general) {
  const std::string name = CdxDirectoryName(tag_name);
  if (name.empty()) RaiseError(msg::kCannotFindTag, {tag_name});
  TxbExpHandler key(&table.ExpressionLink(), false, table.Alias(), key_expression);
  std::unique_ptr<TxbExpHandler> condition;
  if (!for_expression.empty()) {
    condition = std::make_unique<TxbExpHandler>(&table.ExpressionLink(), false, table.Alias(),
                                                for_expression);
  }
  const CdxKeyMaker keys(key.Evaluate(), general);
  // Every key is made before the file is touched: a failing expression
  // leaves the file as it was.
  XBobjSortCDX sort(keys.Form(), descending);
  SortTable(table, key, condition.get(), keys, sort);

  XBO_DiskFile disk(path);
  if (disk.Exists()) {
    disk.DiskOpen(false, true);
  } else {
    disk.DiskCreate();
  }
  CdxDiskStore store(disk);
  const std::string file_name = IndexBaseName(disk.FileName());
  CdxTagHeader directory;
  std::vector<CdxDirectoryEntry> tags;
  if (disk.DiskSize() <= static_cast<int64_t>(kCdxNodeSize)) {
    // Too short to hold a directory: the file starts afresh.
    disk.DiskTruncate(0);
    directory = NewCdxDirectoryHeader(0);
    store.AllocPage(kCdxTagHeaderSize);
  } else {
    const uint64_t size = static_cast<uint64_t>(disk.DiskSize());
    directory = DecodeCdxTagHeader(store.ReadPage(0, kCdxTagHeaderSize), size, file_name);
    if (!directory.directory) Corrupted(file_name);
    tags = ReadCdxDirectory(store, directory, size, file_name);
  }

  CdxTagHeader header;
  header.key_length = keys.Form().key_length;
  header.unique = unique;
  header.descending = descending;
  header.collation = keys.Form().general ? CdxCollation::kGeneral : CdxCollation::kMachine;
  header.key_expression = key_expression;
  header.for_expression = for_expression;
  header.update_counter = directory.update_counter + 1;
  const int64_t header_position = store.AllocPage(kCdxTagHeaderSize);
  table.RefreshHeader();
  header.root = static_cast<uint32_t>(sort.WriteTree(
      store, static_cast<uint64_t>(std::max<int64_t>(table.RecordCount(), 0)), unique,
      [&table](int code, int value, int total) { table.DiskProgress(code, value, total); }));
  store.WritePage(header_position, EncodeCdxTagHeader(header));

  // The directory: the new tag in place of one of the same name, sorted by
  // name, written anew behind everything else; its header at 0 goes last,
  // so until then the file's old directory stays whole.
  std::erase_if(tags, [&](const CdxDirectoryEntry &e) { return e.name == name; });
  tags.push_back(CdxDirectoryEntry{name, static_cast<uint32_t>(header_position)});
  XBobjSortCDX names(CdxKeyForm{kCdxDirectoryKeyLength, ' ', false}, false);
  for (const CdxDirectoryEntry &e : tags) names.AddKey(e.name, e.header);
  directory.root = static_cast<uint32_t>(
      names.WriteTree(store, static_cast<uint64_t>(store.EndOfFilePos()), true));
  directory.update_counter = header.update_counter;
  store.WritePage(0, EncodeCdxTagHeader(directory));
  disk.DiskClose();
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
