// Disk files with sharing, retrying I/O and byte-range locks; see disk_file.h.
#include "xbase/disk_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

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
  const auto abs = std::filesystem::absolute(name, ec);
  return ec ? name : abs.lexically_normal().string();
}

// Names compare without regard to letter case, as on the systems the tables
// come from: when the exact name does not exist, a file in the same directory
// whose name differs only in case is taken.
std::string ResolveCase(const std::string &path) {
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return path;
  const std::filesystem::path p(path);
  const std::string wanted = LowerAscii(p.filename().string());
  std::filesystem::directory_iterator it(p.parent_path().empty() ? "." : p.parent_path(), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (LowerAscii(it->path().filename().string()) == wanted) return it->path().string();
  }
  return path;
}

void Pause() {
  std::this_thread::sleep_for(std::chrono::milliseconds(XBO_DiskFile::kRetryPauseMs));
}

bool OfdLock(int fd, short type, int64_t offset, int64_t length) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = length;
  fl.l_pid = 0;
  while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Range locks are exclusive; a read-only descriptor can only hold a read lock,
// which still excludes every writer's lock.
short LockType(bool read_write) { return read_write ? F_WRLCK : F_RDLCK; }

}  // namespace

XBO_DiskFile::XBO_DiskFile(const std::string &file_name)
    : file_name_(ResolveCase(ExpandName(file_name))) {
  struct stat st {};
  exists_ = ::stat(file_name_.c_str(), &st) == 0;
}

XBO_DiskFile::~XBO_DiskFile() {
  if (fd_ >= 0) {
    try {
      XBO_DiskFile::DiskClose();
    } catch (...) {
      // A destructor cannot report; the descriptor is closed below regardless.
    }
  }
  if (fd_ >= 0) ::close(fd_);
}

int XBO_DiskFile::OpenDescriptor(const std::string &path, bool shared, bool read_write,
                                 bool create) {
  int flags = (read_write ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (create) flags |= O_CREAT;
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  int rc;
  do {
    rc = ::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    ::close(fd);
    errno = EACCES;
    return -1;
  }
  return fd;
}

void XBO_DiskFile::DiskOpen(bool shared, bool read_write) {
  if (fd_ >= 0) DiskClose();
  if (!exists_) RaiseError(msg::kFileNotFound, {file_name_});
  const int fd = OpenDescriptor(file_name_, shared, read_write, false);
  if (fd < 0) {
    if (errno == ENOENT) RaiseError(msg::kFileNotFound, {file_name_});
    RaiseError(msg::kAccessDenied, {file_name_});
  }
  fd_ = fd;
  shared_ = shared;
  read_write_ = read_write;
  position_ = 0;
  lock_count_ = 0;
  written_ = false;
  XBobjFileColl::Instance().Register(this);
}

void XBO_DiskFile::DiskCreate() {
  if (fd_ >= 0) DiskClose();
  int fd = OpenDescriptor(file_name_, false, true, true);
  if (fd < 0 || ::ftruncate(fd, 0) != 0) {
    if (fd >= 0) ::close(fd);
    RaiseError(msg::kCouldNotCreate, {file_name_});
  }
  ::close(fd);
  exists_ = true;
  DiskOpen(false, true);
}

void XBO_DiskFile::DiskClose() {
  if (fd_ < 0) return;
  if (lock_count_ > 0) {
    lock_count_ = 1;
    try {
      DiskUnlock();
    } catch (...) {
      // Closing the descriptor releases the lock anyway.
    }
  }
  XBobjFileColl::Instance().Unregister(this);
  const int fd = fd_;
  fd_ = -1;
  lock_count_ = 0;
  if (::close(fd) != 0 && errno != EINTR) RaiseError(msg::kErrorInClose, {file_name_});
}

int64_t XBO_DiskFile::DiskSize() {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) RaiseError(msg::kErrorFileSize, {file_name_});
  return st.st_size;
}

void XBO_DiskFile::DiskFlush() {
  if (fd_ < 0 || ::fsync(fd_) != 0) RaiseError(msg::kErrorOnFlush, {file_name_});
  written_ = false;
}

int64_t XBO_DiskFile::DiskRead(void *buffer, int64_t count, int64_t offset) {
  if (offset < 0) RaiseError(msg::kErrorInSeek, {"22", file_name_, std::to_string(offset)});
  int64_t done = 0;
  int tries = 0;
  while (done < count) {
    const ssize_t n = ::pread(fd_, static_cast<char *>(buffer) + done, count - done, offset + done);
    if (n > 0) {
      done += n;
      continue;
    }
    if (n == 0) break;  // end of file: the caller checks the count
    if (errno == EINTR) continue;
    if (++tries > kIoRetries) {
      RaiseError(msg::kErrorInRead, {std::to_string(errno), file_name_, std::to_string(offset)});
    }
    Pause();
  }
  position_ = offset + done;
  return done;
}

void XBO_DiskFile::DiskWrite(const void *buffer, int64_t count, int64_t offset) {
  if (offset < 0) RaiseError(msg::kErrorInSeek, {"22", file_name_, std::to_string(offset)});
  int64_t done = 0;
  int tries = 0;
  while (done < count) {
    const ssize_t n =
        ::pwrite(fd_, static_cast<const char *>(buffer) + done, count - done, offset + done);
    if (n > 0) {
      done += n;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    const int err = n < 0 ? errno : ENOSPC;
    if (++tries > kIoRetries) {
      RaiseError(msg::kErrorInWrite, {std::to_string(err), file_name_, std::to_string(offset)});
    }
    Pause();
  }
  position_ = offset + done;
  written_ = true;
}

bool XBO_DiskFile::OsLockRange(int64_t offset, int64_t length) {
  return OfdLock(fd_, LockType(read_write_), offset, length);
}

void XBO_DiskFile::OsUnlockRange(int64_t offset, int64_t length) {
  if (!OfdLock(fd_, F_UNLCK, offset, length)) RaiseError(msg::kErrorInUnlock, {file_name_});
}

bool XBO_DiskFile::OsRangeTakenByOthers(int64_t offset, int64_t length) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = length;
  if (fcntl(fd_, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
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
  if (::ftruncate(fd_, size) != 0) RaiseError(msg::kErrorInTruncate, {file_name_});
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
  if (fd_ < 0 || ::ftruncate(fd_, end.size) != 0) RaiseError(msg::kErrorInTruncate, {file_name_});
  if (!end.bytes.empty()) {
    DiskWrite(end.bytes.data(), static_cast<int64_t>(end.bytes.size()), end.offset);
  }
}

void XBO_DiskFile::DiskRename(const std::string &new_name) {
  const bool was_open = fd_ >= 0;
  const bool shared = shared_, read_write = read_write_;
  if (was_open) DiskClose();
  const std::string target = ExpandName(new_name);
  if (std::rename(file_name_.c_str(), target.c_str()) != 0) {
    RaiseError(msg::kErrorOnRename, {file_name_});
  }
  file_name_ = target;
  exists_ = true;
  if (was_open) DiskOpen(shared, read_write);
}

void XBO_DiskFile::ReplaceWithFile(const std::string &new_file) {
  const std::string source = ExpandName(new_file);
  const int fd = OpenDescriptor(source, shared_, read_write_, false);
  if (fd < 0) RaiseError(msg::kAccessDenied, {source});
  if (std::rename(source.c_str(), file_name_.c_str()) != 0) {
    ::close(fd);
    RaiseError(msg::kErrorOnRename, {source});
  }
  // Make the rename itself durable before the old descriptor goes.
  const std::string dir = std::filesystem::path(file_name_).parent_path().string();
  const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  if (lock_count_ > 0) DiskUnlockAll();
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
  position_ = 0;
  written_ = false;
  XBobjFileColl::Instance().Register(this);
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
