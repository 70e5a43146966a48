// XBobjNTXTag: the single tag of an NTX file: its header (ntx_format.h), its
// B-tree and the NTX key bytes; and XBobjNTXFile, the file that holds it.
#pragma once

#include <string>

#include "xbase/index/index_file.h"
#include "xbase/index/index_tag.h"
#include "xbase/index/ntx_format.h"
#include "xbase/index/ntx_tree.h"

namespace xb {

class XBobjNTXTag : public XBobjIndexTag {
 public:
  // The header sits at offset 0 of every NTX file.
  static constexpr int64_t kHeaderPosition = 0;
  // Tag names are the file's base name, at most this long.
  static constexpr size_t kMaxTagName = 16;

  XBobjNTXTag(XBobjIndexFile &file, std::string name);

  std::string NormalizeKey(const ExpValue &value, bool trim) const override;
  void InsertKey(const std::string &key, uint32_t record) override;
  bool PlainTextKeys() const override { return true; }
  void ReadRoot() override;
  void ReadTagHeader() override;
  void WriteTagHeader() override;

  uint32_t StepFirst() override { return tree_.First(); }
  uint32_t StepLast() override { return tree_.Last(); }
  uint32_t StepNext() override { return tree_.Next(); }
  uint32_t StepPrior() override { return tree_.Prior(); }
  bool StepStaysInLeaf(bool forward) const override { return tree_.StepStaysInLeaf(forward); }
  bool SeekKey(const std::string &key, bool exact) override { return tree_.Seek(key, exact); }
  const XBobjIndexKeyData *CurrentEntry() const override { return tree_.Current(); }
  bool LocateEntry(const std::string &key, uint32_t record) override {
    return tree_.Locate(key, record);
  }
  bool RemoveKey(const std::string &key, uint32_t record) override {
    return tree_.Remove(key, record);
  }
  void DropPages() override { tree_.DropPages(); }
  void ReleaseCursor() override { tree_.Drop(); }

  // Sets up a new tag: expressions, flags, and the key layout learned from
  // the table's current record buffer. Raises the sort's error for keys too
  // long to sort, before anything is written.
  void Define(const std::string &key_expression, const std::string &for_expression, bool unique,
              bool descending);
  // Walks the table, sorts the keys and writes the whole tree and the header
  // into the file from `first_page` on.
  void Build();

  NtxTree &Tree() { return tree_; }
  const NtxHeader &Header() const { return header_; }

 private:
  void ApplyHeader();

  NtxHeader header_;
  NtxTree tree_;
};

// The name of an NTX file's one tag: the file's base name without its
// extension, cut to the longest tag name.
std::string NtxTagNameOf(const std::string &path);

class XBobjNTXFile : public XBobjIndexFile {
 public:
  using XBobjIndexFile::XBobjIndexFile;

  // Writes a new index file (an existing one is replaced in one step, see
  // Rebuild) for the table and leaves it closed.
  static void Create(XBO_dBaseFld &table, const std::string &path,
                     const std::string &key_expression, const std::string &for_expression,
                     bool unique, bool descending, bool general);

  // Opens the file with the table's sharing and mode and reads its tag.
  void Open();

  void ReindexFile() override;

 protected:
  void ReloadTags() override;
  void MarkReplaced(XBO_DiskFile &old) override;

 public:

  XBobjNTXTag &Tag() { return static_cast<XBobjNTXTag &>(*tags_.front()); }

 protected:
  uint32_t StoredCounter() override;
  uint32_t KnownCounter() const override { return update_counter_; }
  void ReloadHeaders(uint32_t counter) override;
};

}  // namespace xb
