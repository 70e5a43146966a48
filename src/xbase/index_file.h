// XBobjIndexFile: one open index file of a table, whatever the format: its
// disk file, its tags, the next free page, the lock protocol's index lock and
// the update counter through which processes notice each other's changes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "xbase/disk_file.h"
#include "xbase/index_page_store.h"
#include "xbase/index_tag.h"

namespace xb {

class XBO_dBaseFld;
class TxbExpUserLink;

class XBobjIndexFile : public IndexPageStore {
 public:
  // `path` is the full file name; the table owns this index file and outlives
  // it.
  XBobjIndexFile(XBO_dBaseFld &table, const std::string &path);
  ~XBobjIndexFile() override;
  XBobjIndexFile(const XBobjIndexFile &) = delete;
  XBobjIndexFile &operator=(const XBobjIndexFile &) = delete;

  // Page access on the disk file.
  int64_t AllocPage(size_t size) override;
  int64_t EndOfFilePos() override;
  std::string ReadPage(int64_t position, size_t size) override;
  void WritePage(int64_t position, std::string_view bytes) override;

  // Rebuilds every tag in place from its own expressions and flags.
  virtual void ReindexFile() = 0;
  // Keeps every tag current after an append (`appended`) or a rewrite of
  // `record`: the update counter goes up and the header is rewritten first.
  virtual void UpdateKeys(int64_t record, bool appended);
  // Takes the entries of `record`, whose contents are in the table's record
  // buffer, out of every tag (a cancelled append); the update counter goes
  // up as for UpdateKeys.
  virtual void RemoveRecordKeys(int64_t record);
  // On a shared file: true (and every loaded page dropped, the tags' roots
  // read again) when another process changed the file since this one last
  // read or wrote its update counter.
  virtual bool ChangedByOthers() = 0;
  // Takes the index lock offsets of a lock protocol (TxbLokProtocol).
  virtual void SetIndexLockProtocol(int protocol);

  // The index lock, 100 tries 50 ms apart; "Can not Lock file %s" on failure.
  void LockIndex();
  void UnlockIndex();

  // The tag of that name (letter case and trailing blanks ignored) or null.
  XBobjIndexTag *FindTag(const std::string &name);
  std::vector<std::unique_ptr<XBobjIndexTag>> &Tags() { return tags_; }

  // The file name without directory, and the full path.
  const std::string &Name() const { return name_; }
  const std::string &Path() const { return disk_.FileName(); }
  XBO_DiskFile &Disk() { return disk_; }
  XBO_dBaseFld &Table() { return table_; }
  // The table's expression link, in which key and FOR expressions compile.
  TxbExpUserLink *Link();
  // Character keys upper-cased (set by building with a "general" order).
  bool General() const { return general_; }
  void SetGeneral(bool general) { general_ = general; }
  uint16_t UpdateCounter() const { return update_counter_; }

 protected:
  // The counter after one more update: from 0x7FFF it starts again at 1.
  static uint16_t NextCounter(uint16_t counter);

  XBO_dBaseFld &table_;
  XBO_DiskFile disk_;
  std::string name_;
  std::vector<std::unique_ptr<XBobjIndexTag>> tags_;
  int64_t next_free_ = -1;  // -1: take the file size
  bool general_ = false;
  uint16_t update_counter_ = 0;
  int64_t lock_offset_ = 0x7FFFFFFE;
  int64_t lock_length_ = 1;
};

// The last path component of a file name ('/' or '\\' separated).
std::string IndexBaseName(const std::string &path);

}  // namespace xb
