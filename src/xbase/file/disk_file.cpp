// Disk files with sharing, retrying I/O and byte-range locks; see disk_file.h.
#include "xbase/file/disk_file.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "xbase/file/fs_path.h"
#include "xbase/file/os_file.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

std::string LowerAscii(std::string s) {
  for (char &c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

std::string ExpandName(const std::string &name) {
  if (name.find("\\\\") != std::string::npos || (name.size() > 2 && name[1] == ':')) return name;
  std::error_code ec;
  const auto abs = std::filesystem::absolute(FsPath(name), ec);
  return ec ? name : PathText(abs.lexically_normal());
}

// Names compare without regard to letter case, as on the systems the tables
// come from: when the exact name does not exist, a file in the same directory
// whose name differs only in case is taken.
std::string ResolveCase(const std::string &path) {
  std::error_code ec;
  if (std::filesystem::exists(FsPath(path), ec)) return path;
  const std::filesystem::path p = FsPath(path);
  const std::string wanted = LowerAscii(PathText(p.filename()));
  std::filesystem::directory_iterator it(p.parent_path().empty() ? "." : p.parent_path(), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (LowerAscii(PathText(it->path().filename())) == wanted) return PathText(it->path());
  }
  return path;
}

void Pause() {
  std::this_thread::sleep_for(std::chrono::milliseconds(XBO_DiskFile::kRetryPauseMs));
}

// Range locks are exclusive; a read-only opener can only hold a shared lock,
// which still excludes every writer's lock.
bool ExclusiveLock(bool read_write) { return read_write; }

}  // namespace

XBO_DiskFile::XBO_DiskFile(const std::string &file_name)
    : file_name_(ResolveCase(ExpandName(file_name))) {
  std::error_code ec;
  exists_ = std::filesystem::exists(FsPath(file_name_), ec);
}

XBO_DiskFile::~XBO_DiskFile() {
  if (fd_ != os::kNoFile) {
    try {
      XBO_DiskFile::DiskClose();
    } catch (...) {
      // A destructor cannot report; the descriptor is closed below regardless.
    }
  }
  if (fd_ != os::kNoFile) os::CloseFile(fd_);
}

os::FileHandle XBO_DiskFile::OpenNamed(bool shared, bool read_write, os::OpenFailure *failure) {
  for (int attempt = 0; attempt < kReopenTries; ++attempt) {
    const os::FileHandle fd = os::OpenFile(file_name_, shared, read_write, false, failure);
    if (fd == os::kNoFile || os::SameFile(fd, file_name_)) return fd;
    os::CloseFile(fd);
  }
  *failure = os::OpenFailure::kRefused;
  return os::kNoFile;
}

void XBO_DiskFile::DiskOpen(bool shared, bool read_write) {
  if (fd_ != os::kNoFile) DiskClose();
  if (!exists_) RaiseError(msg::kFileNotFound, {file_name_});
  os::OpenFailure failure;
  const os::FileHandle fd = OpenNamed(shared, read_write, &failure);
  if (fd == os::kNoFile) {
    if (failure == os::OpenFailure::kNotFound) RaiseError(msg::kFileNotFound, {file_name_});
    RaiseError(msg::kAccessDenied, {file_name_});
  }
  TakeHandle(fd, shared, read_write);
}

void XBO_DiskFile::TakeHandle(os::FileHandle fd, bool shared, bool read_write) {
  fd_ = fd;
  shared_ = shared;
  read_write_ = read_write;
  position_ = 0;
  lock_count_ = 0;
  written_ = false;
  XBobjFileColl::Instance().Register(this);
}

void XBO_DiskFile::DiskCreate() {
  if (fd_ != os::kNoFile) DiskClose();
  os::OpenFailure failure;
  const os::FileHandle fd = os::OpenFile(file_name_, false, true, true, &failure);
  if (fd == os::kNoFile) RaiseError(msg::kCouldNotCreate, {file_name_});
  os::CloseFile(fd);
  exists_ = true;
  DiskOpen(false, true);
}

void XBO_DiskFile::DiskClose() {
  if (fd_ == os::kNoFile) return;
  if (lock_count_ > 0) {
    lock_count_ = 1;
    try {
      DiskUnlock();
    } catch (...) {
      // Closing the descriptor releases the lock anyway.
    }
  }
  XBobjFileColl::Instance().Unregister(this);
  const os::FileHandle fd = fd_;
  fd_ = os::kNoFile;
  lock_count_ = 0;
  if (Temporary()) {
    // Never renamed over its target: it goes.
    os::CloseAndRemove(fd, file_name_);
    file_name_ = target_;
    target_.clear();
    return;
  }
  if (!os::CloseFile(fd)) RaiseError(msg::kErrorInClose, {file_name_});
}

int64_t XBO_DiskFile::DiskSize() {
  ++counts_.sizes;
  int64_t size = 0;
  if (fd_ == os::kNoFile || !os::FileSize(fd_, &size)) {
    RaiseError(msg::kErrorFileSize, {file_name_});
  }
  return size;
}

void XBO_DiskFile::DiskFlush() {
  if (fd_ == os::kNoFile || !os::FlushFile(fd_)) RaiseError(msg::kErrorOnFlush, {file_name_});
  written_ = false;
}

int64_t XBO_DiskFile::DiskRead(void *buffer, int64_t count, int64_t offset) {
  if (offset < 0) RaiseError(msg::kErrorInSeek, {"22", file_name_, std::to_string(offset)});
  ++counts_.reads;
  int64_t done = 0;
  int tries = 0;
  while (done < count) {
    const int64_t n =
        os::ReadAt(fd_, static_cast<char *>(buffer) + done, count - done, offset + done);
    if (n > 0) {
      done += n;
      continue;
    }
    if (n == 0) break;  // end of file: the caller checks the count
    if (++tries > kIoRetries) {
      RaiseError(msg::kErrorInRead,
                 {std::to_string(os::LastError()), file_name_, std::to_string(offset)});
    }
    Pause();
  }
  position_ = offset + done;
  counts_.bytes_read += done;
  return done;
}

void XBO_DiskFile::DiskWrite(const void *buffer, int64_t count, int64_t offset) {
  if (offset < 0) RaiseError(msg::kErrorInSeek, {"22", file_name_, std::to_string(offset)});
  int64_t done = 0;
  int tries = 0;
  while (done < count) {
    const int64_t n =
        os::WriteAt(fd_, static_cast<const char *>(buffer) + done, count - done, offset + done);
    if (n > 0) {
      done += n;
      continue;
    }
    if (++tries > kIoRetries) {
      RaiseError(msg::kErrorInWrite,
                 {std::to_string(os::LastError()), file_name_, std::to_string(offset)});
    }
    Pause();
  }
  position_ = offset + done;
  written_ = true;
}

bool XBO_DiskFile::OsLockRange(int64_t offset, int64_t length) {
  return os::LockRange(fd_, offset, length, ExclusiveLock(read_write_));
}

void XBO_DiskFile::OsUnlockRange(int64_t offset, int64_t length) {
  if (!os::UnlockRange(fd_, offset, length)) RaiseError(msg::kErrorInUnlock, {file_name_});
}

bool XBO_DiskFile::OsRangeTakenByOthers(int64_t offset, int64_t length) {
  return os::RangeLockedByOthers(fd_, offset, length);
}

bool XBO_DiskFile::DiskLock(int64_t offset, int64_t length) {
  if (!shared_) {
    if (lock_count_++ == 0) {
      lock_offset_ = offset;
      lock_length_ = length;
    }
    return true;
  }
  if (lock_count_ > 0) {
    if (offset != lock_offset_ || length != lock_length_) {
      RaiseError(msg::kAnotherLockActive, {file_name_});
    }
    ++lock_count_;
    return true;
  }
  if (!OsLockRange(offset, length)) return false;
  lock_offset_ = offset;
  lock_length_ = length;
  lock_count_ = 1;
  return true;
}

void XBO_DiskFile::DiskUnlock() {
  if (lock_count_ <= 0) return;
  if (shared_ && lock_count_ == 1) OsUnlockRange(lock_offset_, lock_length_);
  --lock_count_;
}

void XBO_DiskFile::DiskUnlockAll() {
  if (lock_count_ <= 0) return;
  lock_count_ = 1;
  DiskUnlock();
}

bool XBO_DiskFile::DiskLockAll() { return shared_ ? DiskLock(0, kFullLockLength) : true; }

bool XBO_DiskFile::HasFullAccess() const {
  return !shared_ || (lock_count_ > 0 && lock_offset_ == 0 && lock_length_ == kFullLockLength);
}

void XBO_DiskFile::DiskProgress(int64_t, int64_t, int64_t) {}

void XBO_DiskFile::DiskTruncate(int64_t size) {
  if (!read_write_ || !HasFullAccess()) {
    RaiseError(msg::kRequiresFullAccess, {"Truncate", file_name_});
  }
  if (!os::TruncateFile(fd_, size)) RaiseError(msg::kErrorInTruncate, {file_name_});
}

XBO_DiskFile::FileEnd XBO_DiskFile::SaveEnd(int64_t offset, int64_t count) {
  FileEnd end;
  end.size = DiskSize();
  end.offset = std::clamp<int64_t>(offset, 0, end.size);
  const int64_t wanted = std::min(count, end.size - end.offset);
  end.bytes.resize(static_cast<size_t>(wanted));
  end.bytes.resize(static_cast<size_t>(XBO_DiskFile::DiskRead(end.bytes.data(), wanted, end.offset)));
  return end;
}

void XBO_DiskFile::RestoreEnd(const FileEnd &end) {
  if (fd_ == os::kNoFile || !os::TruncateFile(fd_, end.size)) {
    RaiseError(msg::kErrorInTruncate, {file_name_});
  }
  if (!end.bytes.empty()) {
    DiskWrite(end.bytes.data(), static_cast<int64_t>(end.bytes.size()), end.offset);
  }
}

void XBO_DiskFile::DiskRename(const std::string &new_name) {
  const bool was_open = fd_ != os::kNoFile;
  const bool shared = shared_, read_write = read_write_;
  if (was_open) DiskClose();
  const std::string target = ExpandName(new_name);
  if (!os::RenameFile(file_name_, target)) RaiseError(msg::kErrorOnRename, {file_name_});
  file_name_ = target;
  exists_ = true;
  if (was_open) DiskOpen(shared, read_write);
}

// ---------------------------------------------------------------------------

XBobjFileColl &XBobjFileColl::Instance() {
  static XBobjFileColl registry;
  return registry;
}

void XBobjFileColl::Register(XBO_DiskFile *file) {
  if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
}

void XBobjFileColl::Unregister(XBO_DiskFile *file) { std::erase(files_, file); }

size_t XBobjFileColl::Count() const { return files_.size(); }

size_t XBobjFileColl::CountOpen(const std::string &file_name) const {
  return static_cast<size_t>(std::count_if(
      files_.begin(), files_.end(), [&](XBO_DiskFile *f) { return f->FileName() == file_name; }));
}

XBobjFileColl::~XBobjFileColl() {
  // Files still open at program end: close them (their objects outlive us).
  const std::vector<XBO_DiskFile *> files = files_;
  for (XBO_DiskFile *f : files) {
    try {
      f->DiskClose();
    } catch (...) {
    }
  }
}

}  // namespace xb
