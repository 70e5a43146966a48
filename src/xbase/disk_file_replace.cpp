// Replacing whole files and noticing replaced ones: temporaries written beside
// a file and renamed over it, the file identity check and reopening, and the
// removal of temporaries whose writer died; see disk_file.h.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "xbase/disk_file.h"
#include "xbase/file_identity.h"
#include "xbase/text_case.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

constexpr int kTemporaryNameTries = 100;
constexpr size_t kRandomPartLength = 6;

std::string RandomPart() {
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::mt19937 engine(device() ^ static_cast<unsigned>(::getpid()));
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string part(kRandomPartLength, ' ');
  for (char &c : part) c = kLetters[pick(engine)];
  return part;
}

// Makes a rename or a new name in `dir` durable.
void FlushDirectory(const std::string &dir) {
  const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;
  ::fsync(dfd);
  ::close(dfd);
}

}  // namespace

bool XBO_DiskFile::Replaced() const { return fd_ >= 0 && !SameFile(fd_, file_name_); }

void XBO_DiskFile::DiskReopen() {
  const int fd = OpenDescriptor(file_name_, shared_, read_write_, false);
  if (fd < 0) {
    if (errno == ENOENT) RaiseError(msg::kFileNotFound, {file_name_});
    RaiseError(msg::kAccessDenied, {file_name_});
  }
  if (fd_ >= 0) {
    ::close(fd_);
  } else {
    XBobjFileColl::Instance().Register(this);
  }
  fd_ = fd;
  position_ = 0;
  lock_count_ = 0;
  written_ = false;
}

void XBO_DiskFile::DiskCreateTemporary(const std::string &kind) {
  if (fd_ >= 0) DiskClose();
  const std::filesystem::path target(file_name_);
  const std::string start = kind + "-" + target.filename().string() + "-";
  const std::string extension = LowerCp1251(target.extension().string());
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    const std::string name = (target.parent_path() / (start + RandomPart() + extension)).string();
    const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST || errno == EINTR) continue;
      break;
    }
    // Someone removing stale temporaries may have caught the file between
    // its creation and the flock: then it is theirs, and we take another.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !SameFile(fd, name)) {
      ::close(fd);
      continue;
    }
    target_ = file_name_;
    file_name_ = name;
    fd_ = fd;
    exists_ = true;
    shared_ = false;
    read_write_ = true;
    position_ = 0;
    lock_count_ = 0;
    written_ = false;
    XBobjFileColl::Instance().Register(this);
    return;
  }
  RaiseError(msg::kCouldNotCreate,
             {(target.parent_path() / (start + "XXXXXX" + extension)).string()});
}

void XBO_DiskFile::DiskReplaceTarget(bool shared) {
  if (fd_ < 0 || !Temporary()) RaiseError(msg::kErrorOnRename, {file_name_});
  if (::fsync(fd_) != 0) RaiseError(msg::kErrorOnFlush, {file_name_});
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0) {
    // Only the owner's group where the owner cannot be given away.
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
      // The file stays ours; a file of our own is still the user's file.
    }
    if (::fchmod(fd_, old.st_mode & 07777) != 0) {
      // Keeps the mode it was created with.
    }
  }
  if (std::rename(file_name_.c_str(), target_.c_str()) != 0) {
    RaiseError(msg::kErrorOnRename, {file_name_});
  }
  file_name_ = target_;
  target_.clear();
  FlushDirectory(std::filesystem::path(file_name_).parent_path().string());
  written_ = false;
  if (shared && !shared_) {
    if (::flock(fd_, LOCK_SH | LOCK_NB) != 0) RaiseError(msg::kAccessDenied, {file_name_});
    shared_ = true;
  }
}

void XBO_DiskFile::TakeOver(XBO_DiskFile &other) {
  if (&other == this) return;
  DiskClose();
  fd_ = other.fd_;
  file_name_ = other.file_name_;
  target_ = other.target_;
  exists_ = true;
  shared_ = other.shared_;
  read_write_ = other.read_write_;
  position_ = other.position_;
  lock_count_ = other.lock_count_;
  lock_offset_ = other.lock_offset_;
  lock_length_ = other.lock_length_;
  written_ = other.written_;
  XBobjFileColl::Instance().Unregister(&other);
  other.fd_ = -1;
  other.lock_count_ = 0;
  other.target_.clear();
  if (fd_ >= 0) XBobjFileColl::Instance().Register(this);
}

void XBO_DiskFile::RemoveStaleTemporaries(
    const std::string &directory,
    const std::function<bool(const std::string &, const std::string &)> &belongs) {
  std::error_code ec;
  std::filesystem::directory_iterator it(directory.empty() ? "." : directory, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    // "<kind>-<target's name>-XXXXXX<extension>"; kinds hold no '-'.
    const std::string name = it->path().filename().string();
    const size_t first = name.find('-');
    const size_t last = name.rfind('-');
    if (first == std::string::npos || last <= first ||
        name.size() - last - 1 < kRandomPartLength ||
        !belongs(name.substr(0, first), name.substr(first + 1, last - first - 1))) {
      continue;
    }
    const std::string path = it->path().string();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && SameFile(fd, path)) ::unlink(path.c_str());
    ::close(fd);
  }
}

}  // namespace xb
