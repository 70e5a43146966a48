// Replacing whole files and noticing replaced ones: temporaries written beside
// a file and renamed over it, the file identity check and reopening, and the
// removal of temporaries whose writer died; see disk_file.h.
#include <filesystem>
#include <random>

#include "xbase/file/disk_file.h"
#include "xbase/file/fs_path.h"
#include "xbase/file/os_file.h"
#include "xbase/file/text_case.h"
#include "xbase/xbase_error.h"
#include "xbase/xbase_messages.h"

namespace xb {
namespace {

constexpr int kTemporaryNameTries = 100;
constexpr size_t kRandomPartLength = 6;

std::string RandomPart() {
  static const char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static std::mt19937_64 engine{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  std::string part(kRandomPartLength, ' ');
  for (char &c : part) c = kLetters[pick(engine)];
  return part;
}

}  // namespace

bool XBO_DiskFile::Replaced() const {
  return fd_ != os::kNoFile && !os::SameFile(fd_, file_name_);
}

void XBO_DiskFile::DiskReopen() {
  os::OpenFailure failure;
  const os::FileHandle fd = OpenNamed(shared_, read_write_, &failure);
  if (fd == os::kNoFile) {
    if (failure == os::OpenFailure::kNotFound) RaiseError(msg::kFileNotFound, {file_name_});
    RaiseError(msg::kAccessDenied, {file_name_});
  }
  if (fd_ != os::kNoFile) os::CloseFile(fd_);
  TakeHandle(fd, shared_, read_write_);
}

void XBO_DiskFile::DiskCreateTemporary(const std::string &kind) {
  if (fd_ != os::kNoFile) DiskClose();
  const std::filesystem::path target = FsPath(file_name_);
  const std::string start = kind + "-" + PathText(target.filename()) + "-";
  const std::string extension = LowerCp1251(PathText(target.extension()));
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    const std::string name = PathText(target.parent_path() / FsPath(start + RandomPart() + extension));
    bool name_taken = false;
    const os::FileHandle fd = os::CreateHeldFile(name, &name_taken);
    if (fd == os::kNoFile) {
      if (name_taken) continue;
      break;
    }
    target_ = file_name_;
    file_name_ = name;
    exists_ = true;
    TakeHandle(fd, false, true);
    return;
  }
  RaiseError(msg::kCouldNotCreate,
             {PathText(target.parent_path() / FsPath(start + "XXXXXX" + extension))});
}

void XBO_DiskFile::DiskReplaceTarget(bool shared, XBO_DiskFile *holder) {
  if (fd_ == os::kNoFile || !Temporary()) RaiseError(msg::kErrorOnRename, {file_name_});
  if (!os::FlushFile(fd_)) RaiseError(msg::kErrorOnFlush, {file_name_});
  os::CopyOwnership(fd_, target_);
  const bool held = holder != nullptr && holder->fd_ != os::kNoFile;
  const bool moved =
      os::MoveHeldFileOver(&fd_, file_name_, target_, shared, held ? &holder->fd_ : nullptr);
  if (held && holder->fd_ == os::kNoFile) {
    // The system closed it for the rename.
    XBobjFileColl::Instance().Unregister(holder);
    holder->lock_count_ = 0;
    if (!moved) {
      try {
        holder->DiskReopen();
      } catch (...) {
        // The rename's failure is the one to report.
      }
    }
  }
  if (fd_ == os::kNoFile) XBobjFileColl::Instance().Unregister(this);
  if (!moved) RaiseError(msg::kErrorOnRename, {file_name_});
  file_name_ = target_;
  target_.clear();
  if (fd_ == os::kNoFile) RaiseError(msg::kAccessDenied, {file_name_});
  shared_ = shared;
  position_ = 0;
  written_ = false;
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
  other.fd_ = os::kNoFile;
  other.lock_count_ = 0;
  other.target_.clear();
  if (fd_ != os::kNoFile) XBobjFileColl::Instance().Register(this);
}

void XBO_DiskFile::RemoveStaleTemporaries(
    const std::string &directory,
    const std::function<bool(const std::string &, const std::string &)> &belongs) {
  std::error_code ec;
  std::filesystem::directory_iterator it(directory.empty() ? FsPath(".") : FsPath(directory), ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    // "<kind>-<target's name>-XXXXXX<extension>"; kinds hold no '-'.
    const std::string name = PathText(it->path().filename());
    const size_t first = name.find('-');
    const size_t last = name.rfind('-');
    if (first == std::string::npos || last <= first ||
        name.size() - last - 1 < kRandomPartLength ||
        !belongs(name.substr(0, first), name.substr(first + 1, last - first - 1))) {
      continue;
    }
    os::RemoveUnheld(PathText(it->path()));
  }
}

}  // namespace xb
