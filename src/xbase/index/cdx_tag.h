// XBobjCDXTag: one tag of a CDX compound index (or its tag directory): its
// header (cdx_format.h), its B-tree and the CDX key bytes; and XBobjCDXFile,
// the file that holds the directory and the tags.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "xbase/index/cdx_format.h"
#include "xbase/index/cdx_tree.h"
#include "xbase/index/index_file.h"
#include "xbase/index/index_tag.h"

namespace xb {

class XBobjCDXFile;

class XBobjCDXTag : public XBobjIndexTag {
 public:
  // The tag whose header is at `header_position` (0 for the directory).
  XBobjCDXTag(XBobjCDXFile &file, std::string name, int64_t header_position);

  std::string NormalizeKey(const ExpValue &value, bool trim) const override;
  // Learns the key type and with it the pad byte of stored keys.
  void InitTag() override;
  void InsertKey(const std::string &key, uint32_t record) override { tree_.Insert(key, record); }
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
  // General ordering: only the primary weights of a stored key meet a
  // search key.
  bool MatchesSearch(const std::string &stored, const std::string &search,
                     bool exact) const override;

  // Takes a header as the tag's own (read from the file, or made by a
  // build): root, key length, flags, collation; the key form follows.
  void ApplyHeader(const CdxTagHeader &header);
  const CdxTagHeader &Header() const { return header_; }
  int64_t HeaderPosition() const { return header_position_; }
  // The tag's header moved (a file that replaced the one it was read from).
  void SetHeaderPosition(int64_t position) { header_position_ = position; }
  bool General() const { return header_.collation == CdxCollation::kGeneral && !header_.directory; }
  CdxTree &Tree() { return tree_; }

 private:
  void ApplyLayout();

  int64_t header_position_;
  CdxTagHeader header_;
  CdxTree tree_;
};

class XBobjCDXFile : public XBobjIndexFile {
 public:
  XBobjCDXFile(XBO_dBaseFld &table, const std::string &path);
  ~XBobjCDXFile() override;

  // Opens the file with the table's sharing and mode. A file of more than
  // 512 bytes has its directory walked and every tag's header read; a
  // shorter one gets a fresh, empty directory (written when the file is
  // open for writing). `for_writing` opens it read-write whatever the
  // table's mode (a new tag is written into it).
  void Open(bool for_writing = false);
  // Reads the directory and every tag of the open disk file (the part of
  // Open after opening).
  void Load();

  // New nodes go at the end of the file, first rounded up to a whole node
  // (a file written elsewhere may end between nodes).
  int64_t AllocPage(size_t size) override;
  // Writes every tag's new tree into a copy of the file, which then replaces
  // it (Rebuild).
  void ReindexFile() override;
  void UpdateKeys(int64_t record, bool appended) override;
  void RemoveRecordKeys(int64_t record) override;

  XBobjCDXTag &Directory() { return *directory_; }
  // The file's update counter (the directory header's copy).
  uint32_t Counter() const { return counter_; }
  // One more update of the file: the counter goes up and the directory
  // header is rewritten.
  void CountUpdate();
  // Makes the tag whose header is at `header_position` selectable under
  // `name` (upper-cased): enters it into the directory, replacing a tag of
  // the same name (whose tag object is destroyed), and reads its header and
  // expressions.
  XBobjCDXTag &AddTagAt(const std::string &name, int64_t header_position);

  // Rebuild for the tag builder: the old file's copy is written and renamed
  // over it.
  using XBobjIndexFile::Rebuild;

 protected:
  uint32_t StoredCounter() override;
  uint32_t KnownCounter() const override { return counter_; }
  void ReloadHeaders(uint32_t counter) override;
  void ReloadTags() override;
  void MarkReplaced(XBO_DiskFile &old) override;

 private:
  // Reads the tag at `header_position` into the tag list under `name`.
  XBobjCDXTag &LoadTag(const std::string &name, int64_t header_position);
  // Reads a tag's header from its position and compiles its expressions.
  void ReadTag(XBobjCDXTag &tag);
  // The name and header position of every tag the directory lists, checked
  // against the file's size.
  std::vector<std::pair<std::string, int64_t>> ReadDirectory();
  void MakeDirectory();

  std::unique_ptr<XBobjCDXTag> directory_;
  uint32_t counter_ = 0;
};

}  // namespace xb
