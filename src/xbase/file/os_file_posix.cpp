// The file calls on Linux and other POSIX systems; see os_file.h. Sharing is
// flock (shared or exclusive, never waiting) held for the life of the
// descriptor; range locks are open file description locks, which belong to
// the descriptor and not to the process, so two table objects on one file in
// one process exclude each other, and closing one descriptor does not drop
// the locks of another.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "xbase/file/os_file.h"

namespace xb::os {
namespace {

int Fd(FileHandle file) { return static_cast<int>(file); }

bool OfdLock(FileHandle file, short type, int64_t offset, int64_t length) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = length;
  fl.l_pid = 0;
  while (::fcntl(Fd(file), F_OFD_SETLK, &fl) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Makes a rename in the directory of `path` durable.
void SyncDirectoryOf(const std::string &path) {
  const std::string dir = std::filesystem::path(path).parent_path().string();
  const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

}  // namespace

FileHandle OpenFile(const std::string &path, bool shared, bool read_write, bool create,
                    OpenFailure *failure) {
  int flags = (read_write ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  if (create) flags |= O_CREAT;
  int fd;
  do {
    fd = ::open(path.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    *failure = errno == ENOENT ? OpenFailure::kNotFound : OpenFailure::kRefused;
    return kNoFile;
  }
  int rc;
  do {
    rc = ::flock(fd, (shared ? LOCK_SH : LOCK_EX) | LOCK_NB);
  } while (rc != 0 && errno == EINTR);
  if (rc != 0 || (create && ::ftruncate(fd, 0) != 0)) {
    ::close(fd);
    errno = EACCES;
    *failure = OpenFailure::kRefused;
    return kNoFile;
  }
  *failure = OpenFailure::kNone;
  return fd;
}

bool CloseFile(FileHandle file) { return ::close(Fd(file)) == 0 || errno == EINTR; }

bool CreateNewFile(const std::string &path) {
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

int LastError() { return errno; }

int64_t ReadAt(FileHandle file, void *buffer, int64_t count, int64_t offset) {
  while (true) {
    const ssize_t n = ::pread(Fd(file), buffer, static_cast<size_t>(count), offset);
    if (n >= 0 || errno != EINTR) return n;
  }
}

int64_t WriteAt(FileHandle file, const void *buffer, int64_t count, int64_t offset) {
  while (true) {
    const ssize_t n = ::pwrite(Fd(file), buffer, static_cast<size_t>(count), offset);
    if (n > 0) return n;
    if (n == 0) {
      errno = ENOSPC;  // nothing written: the disk is full
      return -1;
    }
    if (errno != EINTR) return -1;
  }
}

bool FileSize(FileHandle file, int64_t *size) {
  struct stat st {};
  if (::fstat(Fd(file), &st) != 0) return false;
  *size = st.st_size;
  return true;
}

bool SameFile(FileHandle file, const std::string &path) {
  struct stat held {};
  struct stat named {};
  if (::fstat(Fd(file), &held) != 0 || ::stat(path.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

bool FlushFile(FileHandle file) { return ::fsync(Fd(file)) == 0; }

bool TruncateFile(FileHandle file, int64_t size) { return ::ftruncate(Fd(file), size) == 0; }

bool LockRange(FileHandle file, int64_t offset, int64_t length, bool exclusive) {
  return OfdLock(file, exclusive ? F_WRLCK : F_RDLCK, offset, length);
}

bool UnlockRange(FileHandle file, int64_t offset, int64_t length) {
  return OfdLock(file, F_UNLCK, offset, length);
}

bool RangeLockedByOthers(FileHandle file, int64_t offset, int64_t length) {
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = offset;
  fl.l_len = length;
  if (::fcntl(Fd(file), F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

bool RenameFile(const std::string &from, const std::string &to) {
  if (std::rename(from.c_str(), to.c_str()) != 0) return false;
  SyncDirectoryOf(to);
  return true;
}

FileHandle CreateHeldFile(const std::string &path, bool *name_taken) {
  *name_taken = false;
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    *name_taken = errno == EEXIST;
    return kNoFile;
  }
  // Someone removing unheld files may have caught this one between its
  // creation and the flock: then it is gone, and another name is needed.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !SameFile(fd, path)) {
    ::close(fd);
    *name_taken = true;
    return kNoFile;
  }
  return fd;
}

void CopyOwnership(FileHandle file, const std::string &model) {
  struct stat old {};
  if (::stat(model.c_str(), &old) != 0) return;
  if (::fchown(Fd(file), old.st_uid, old.st_gid) != 0 &&
      ::fchown(Fd(file), static_cast<uid_t>(-1), old.st_gid) != 0) {
    // The file stays ours, which still leaves it the user's.
  }
  if (::fchmod(Fd(file), old.st_mode & 07777) != 0) {
    // It keeps the mode it was made with.
  }
}

bool MoveHeldFileOver(FileHandle *file, const std::string &source, const std::string &target,
                      bool shared, FileHandle *) {
  if (std::rename(source.c_str(), target.c_str()) != 0) return false;
  SyncDirectoryOf(target);
  // Giving up an exclusive flock for a shared one never waits.
  if (shared) ::flock(Fd(*file), LOCK_SH | LOCK_NB);
  return true;
}

bool CloseAndRemove(FileHandle file, const std::string &path) {
  // Removed while the flock still marks it as ours.
  const bool removed = ::unlink(path.c_str()) == 0;
  ::close(Fd(file));
  return removed;
}

void RemoveUnheld(const std::string &path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path)) ::unlink(path.c_str());
  ::close(fd);
}

}  // namespace xb::os
