// XBobjIndexFile: one open index file of a table, whatever the format: its
// disk file, its tags, the next free page, the lock protocol's index lock and
// the update counter through which processes notice each other's changes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "xbase/file/disk_file.h"
#include "xbase/index/index_page_store.h"
#include "xbase/index/index_tag.h"
#include "xbase/table/lock_protocols.h"

namespace xb {

class XBO_dBaseFld;
class TxbExpUserLink;

// The kind in the names of the temporaries index builds write
// ("xbindex-<index file's name>-XXXXXX.ntx"), which the next open or build
// of the index, or open of its table, removes when their writer died. Other
// processes look for it: DO NOT CHANGE.
inline constexpr char kIndexTemporary[] = "xbindex";

class XBobjIndexFile : public IndexPageStore {
 public:
  // `path` is the full file name; the table owns this index file and outlives
  // it.
  XBobjIndexFile(XBO_dBaseFld &table, const std::string &path);
  ~XBobjIndexFile() override;
  XBobjIndexFile(const XBobjIndexFile &) = delete;
  XBobjIndexFile &operator=(const XBobjIndexFile &) = delete;

  // Page access on the disk file. The end of the file is asked of the
  // system once and then followed through this object's own writes, until
  // the file changes behind its back.
  int64_t AllocPage(size_t size) override;
  int64_t EndOfFilePos() override;
  int64_t FreshEndOfFilePos() override;
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
  // Called before every search and walk step. On a shared file: true when
  // another process or table object changed the file since this one last
  // read or wrote its update counter, or was still changing it (holding the
  // index lock) when this one last saw a change, so that what was read then
  // may be half old; every page read is then forgotten and the tags'
  // headers read again (TakeChangedFile). Costs one small read of the
  // header; a lock query only when something changed. While this object
  // holds the index lock it reads the counter once, at the first check
  // after taking the lock: every writer, a rebuild too, takes that lock
  // before it changes the file, so nobody else can change it until this
  // object lets the lock go.
  virtual bool ChangedByOthers();
  // Takes the index lock offsets of a lock protocol (TxbLokProtocol).
  virtual void SetIndexLockProtocol(int protocol);

  // The index lock, 100 tries 50 ms apart; "Can not Lock file %s" on failure.
  void LockIndex();
  void UnlockIndex();

  // When another process has replaced the file (a build renames a new file
  // over the old one and then bumps the old one's update counter, so that
  // its holders look): opens the file the name gives now, with the same
  // modes, takes the index lock again if it was held, and reads the tags
  // from it into the same tag objects (a selected tag stays selected). True
  // when it reopened. It costs one stat of the name, so call it only when
  // the update counter changed (ChangedByOthers does): searches on an
  // unchanged file stay free of it.
  bool ReopenIfReplaced();

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
  // The last check found another process or object holding the index lock
  // after a change: what was read since may be half old.
  bool OthersWereWriting() const { return others_were_writing_; }

 protected:
  // The update counter as the file holds it now, from a few header bytes
  // ("Index file %s is corrupted" when they cannot be read), and as this
  // object last read or wrote it.
  virtual uint32_t StoredCounter() = 0;
  virtual uint32_t KnownCounter() const = 0;
  // Takes `counter` as the known one and reads the tags' headers again.
  virtual void ReloadHeaders(uint32_t counter) = 0;
  // The one place where a file that others changed is taken in again: the
  // end of the file and the next free page are learned anew, every tag
  // forgets the pages it read, and the headers are read again.
  void TakeChangedFile(uint32_t counter);
  // After this object cut the file short: its end is learned anew.
  void ForgetFileEnd() { known_end_ = -1; }

  // The counter after one more update: from 0x7FFF it starts again at 1.
  static uint16_t NextCounter(uint16_t counter);

  // Writes the whole file anew (a build, a reindex) so that a crash leaves
  // the old index or the new one, never a half: `build` writes into a
  // temporary beside the file (this object's disk file meanwhile), which then
  // replaces the file in one step, keeping its owner, group and permission
  // bits. With `copy_old` the temporary starts as a copy of the old file (a
  // compound file keeps its other tags). Meanwhile the old file, when there
  // is one, is held under the index lock so that no writer changes it; at
  // the end its update counter goes up (MarkReplaced) so that every other
  // holder notices and reopens. A disk file that was open is then the new
  // file, open with the table's sharing. On failure the temporary is removed
  // and the old file is as it was, its tags read again.
  void Rebuild(bool copy_old, const std::function<void()> &build);
  // Reads the tags again from a file that replaced the one they were read
  // from, into the same tag objects.
  virtual void ReloadTags() = 0;
  // Makes the update counter in the header of the replaced file `old` go up.
  virtual void MarkReplaced(XBO_DiskFile &old) = 0;
  // The index lock on `file`, waiting as LockIndex does.
  void LockWaiting(XBO_DiskFile &file);

  XBO_dBaseFld &table_;
  XBO_DiskFile disk_;
  std::string name_;
  std::vector<std::unique_ptr<XBobjIndexTag>> tags_;
  int64_t next_free_ = -1;  // -1: take the file size
  int64_t known_end_ = -1;  // -1: ask the system
  bool general_ = false;
  uint16_t update_counter_ = 0;
  int64_t lock_offset_ = kDefaultLockOffsets.index_offset;
  int64_t lock_length_ = kDefaultLockOffsets.index_length;
  // The last check found another holder of the index lock.
  bool others_were_writing_ = false;
  // The counter was checked while this object held the index lock, which it
  // has held since: no check is needed until it lets the lock go.
  bool checked_under_lock_ = false;

 private:
  // ChangedByOthers' look at the counter, done whatever the lock.
  bool LookForChanges();
};

// The last path component of a file name ('/' or '\\' separated).
std::string IndexBaseName(const std::string &path);

}  // namespace xb
