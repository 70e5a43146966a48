// XBO_DiskFile: one file on disk with shared or exclusive opening, retrying
// reads and writes at 64-bit offsets, and one nestable byte-range lock.
// The operating system's calls are behind os_file.h: sharing is held for the
// life of the handle, and range locks belong to the handle, so two objects on
// the same file in one process exclude each other just as two processes do.
// A whole file is replaced in one step by a temporary written beside it and
// renamed over it (disk_file_replace.cpp), and an object learns when another
// process has replaced the file it holds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "xbase/file/os_file.h"

namespace xb {

class XBO_DiskFile {
 public:
  static constexpr int kLockWaitMs = 5000;
  static constexpr int kRetryPauseMs = 50;
  static constexpr int kIoRetries = 3;
  // Opens of a name that keeps being renamed over before giving up.
  static constexpr int kReopenTries = 20;
  static constexpr int64_t kFullLockLength = 0x7FFFFFFF;

  // Expands the name (relative names against the current directory; names
  // with "\\" or a drive colon are kept) and notes whether the file exists.
  explicit XBO_DiskFile(const std::string &file_name);
  virtual ~XBO_DiskFile();
  XBO_DiskFile(const XBO_DiskFile &) = delete;
  XBO_DiskFile &operator=(const XBO_DiskFile &) = delete;

  // Releases a held range lock, unregisters and closes.
  virtual void DiskClose();
  virtual int64_t DiskSize();
  virtual void DiskFlush();
  virtual void DiskUnlockAll();
  virtual bool DiskLockAll();
  // Takes or nests the file's one range lock; false at once when another
  // holder has the range. See the class comment for the rules.
  virtual bool DiskLock(int64_t offset, int64_t length);
  // Reads up to `count` bytes; a short read (end of file) is no error.
  virtual int64_t DiskRead(void *buffer, int64_t count, int64_t offset);
  virtual void DiskRename(const std::string &new_name);
  virtual void DiskOpen(bool shared, bool read_write);
  // Creates or truncates the file and opens it unshared, read-write.
  virtual void DiskCreate();
  // Progress of long operations: (-1, step, total) at the start, (step, n, 0)
  // per item, (0, n, 0) at the end. Does nothing here.
  virtual void DiskProgress(int64_t code, int64_t value, int64_t total);
  virtual void DiskTruncate(int64_t size);
  virtual void DiskUnlock();
  virtual void DiskWrite(const void *buffer, int64_t count, int64_t offset);

  // Whether the name no longer gives the file this object holds open:
  // another process has renamed a new file over it (a pack, an index build)
  // or removed it. One stat of the name; false while closed.
  bool Replaced() const;
  // Opens the file the name gives now, with the same modes, in place of the
  // one held. Range locks belonged to the old file and are gone; the caller
  // takes again what it needs. Fails as DiskOpen does.
  void DiskReopen();

  // Makes this closed object a new, empty file beside the file it names
  // (the target), named "<kind>-<target's name>-XXXXXX<target's extension
  // in lower case>", open read-write and unshared. Its sharing mode, held
  // for as long as the file is open, marks it as being written;
  // RemoveStaleTemporaries removes only temporaries nobody holds. Closing a
  // temporary that has not replaced its target removes it, and the object
  // names its target again. "Could not create file %s" on failure.
  void DiskCreateTemporary(const std::string &kind);
  bool Temporary() const { return !target_.empty(); }
  // Replaces the target by this temporary in one step: the temporary is
  // flushed, given the target's owner, group and permission bits (the owner
  // where the system permits), renamed over the target and the rename made
  // durable, so that a crash leaves the old file or the new one. This object
  // is then the target's file, open read-write, shared with `shared`.
  // `holder`, when given, has the old target open: where the system renames
  // only files nobody holds (Windows) it is closed first, and opened again
  // should the rename fail; elsewhere it keeps the old file.
  // "Error on rename of %s" when the rename fails; the temporary is then
  // still this object's.
  void DiskReplaceTarget(bool shared, XBO_DiskFile *holder = nullptr);
  // Takes over the open file of `other` (descriptor, name, modes and the
  // range lock it holds), which is left closed; the file this object had
  // open is closed first.
  void TakeOver(XBO_DiskFile &other);
  // Removes the temporaries in `directory` that `belongs` accepts, given
  // the kind and the target's name read from the temporary's name, and
  // whose writer is gone (nobody has them open: a killed writer's handle
  // went with it). A temporary a live writer holds is never
  // touched; failures are ignored.
  static void RemoveStaleTemporaries(
      const std::string &directory,
      const std::function<bool(const std::string &kind, const std::string &target)> &belongs);

  // The file's size and its bytes from `offset` on (at most `count` of
  // them), kept to put the file back after writes there (RestoreEnd).
  struct FileEnd {
    int64_t size = 0;
    int64_t offset = 0;
    std::string bytes;
  };
  FileEnd SaveEnd(int64_t offset, int64_t count = INT64_MAX);
  // Cuts the file back to the size it had when `end` was saved and writes
  // the saved bytes again, so that a write covered by them is undone byte
  // for byte: appends that failed half way (a full disk) or were cancelled.
  // For the writer that made those writes under its write lock, so it needs
  // no full access.
  void RestoreEnd(const FileEnd &end);

  const std::string &FileName() const { return file_name_; }
  bool Exists() const { return exists_; }
  bool Shared() const { return shared_; }
  bool ReadWrite() const { return read_write_; }
  bool Closed() const { return fd_ == os::kNoFile; }
  int64_t Position() const { return position_; }
  int LockCount() const { return lock_count_; }
  // Unshared, or shared and holding the whole-file lock (0, 0x7FFFFFFF).
  bool HasFullAccess() const;
  // Whether another holder (process or object) has a lock in the range;
  // asks without taking anything.
  bool LockedByOthers(int64_t offset, int64_t length) {
    return OsRangeTakenByOthers(offset, length);
  }

  // What went to the system through this object: lets tests see what an
  // operation costs without timing it.
  struct IoCounts {
    int64_t reads = 0;       // DiskRead calls
    int64_t bytes_read = 0;  // what they returned
    int64_t sizes = 0;       // DiskSize calls
  };
  const IoCounts &Counts() const { return counts_; }

 protected:
  // One non-waiting OS lock of a byte range beside the counted range lock
  // (the table's header byte uses it). False when the range is taken.
  bool OsLockRange(int64_t offset, int64_t length);
  void OsUnlockRange(int64_t offset, int64_t length);
  // Whether another holder (process or object) has a lock in the range.
  bool OsRangeTakenByOthers(int64_t offset, int64_t length);

 private:
  // Opens the file as os::OpenFile does, and makes sure the handle is the
  // file the name gives once the sharing mode is held: a file renamed over the
  // name between the open and that moment (a pack putting its copy in
  // place) would leave us holding the old one, so it is opened again.
  os::FileHandle OpenNamed(bool shared, bool read_write, os::OpenFailure *failure);
  // Makes the open `fd` this object's file, with those modes, no lock held,
  // and registers it.
  void TakeHandle(os::FileHandle fd, bool shared, bool read_write);

  std::string file_name_;
  os::FileHandle fd_ = os::kNoFile;
  bool exists_ = false;
  bool shared_ = false;
  bool read_write_ = true;
  int64_t position_ = 0;
  int lock_count_ = 0;
  int64_t lock_offset_ = 0;
  int64_t lock_length_ = 0;
  bool written_ = false;
  IoCounts counts_;
  std::string target_;  // while a temporary: the file it is to replace
};

// The process-wide registry of open disk files; files still open when the
// program ends are closed then.
class XBobjFileColl {
 public:
  static XBobjFileColl &Instance();
  void Register(XBO_DiskFile *file);
  void Unregister(XBO_DiskFile *file);
  size_t Count() const;
  // The open files whose full name equals `file_name`.
  size_t CountOpen(const std::string &file_name) const;
  ~XBobjFileColl();

 private:
  XBobjFileColl() = default;
  std::vector<XBO_DiskFile *> files_;
};

}  // namespace xb
