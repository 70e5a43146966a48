// The file calls on Windows; see os_file.h. Sharing is the share mode of
// CreateFile (read and write for a shared opening, none for an exclusive
// one); range locks are LockFileEx locks, which belong to the handle, and
// Windows enforces them on reads and writes of other handles. A rename over
// a file needs every handle of that file closed, so the replacing rename
// closes its own handle first and opens the new file after it.
#include <windows.h>

#include "xbase/file/os_file.h"
#include "xbase/file/os_text_windows.h"

namespace xb::os {
namespace {

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

OVERLAPPED At(int64_t offset) {
  OVERLAPPED ov{};
  ov.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
  ov.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return ov;
}

DWORD Low(int64_t v) { return static_cast<DWORD>(static_cast<uint64_t>(v) & 0xFFFFFFFFu); }
DWORD High(int64_t v) { return static_cast<DWORD>(static_cast<uint64_t>(v) >> 32); }

// One transfer is at most this many bytes (ReadFile and WriteFile count in
// 32 bits).
constexpr int64_t kMaxTransfer = 1 << 30;

}  // namespace

FileHandle OpenFile(const std::string &path, bool shared, bool read_write, bool create,
                    OpenFailure *failure) {
  const DWORD access = GENERIC_READ | (read_write ? GENERIC_WRITE : 0);
  const DWORD share = shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
  const HANDLE h =
      ::CreateFileW(WideFromUtf8(path).c_str(), access, share, nullptr,
                    create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = ::GetLastError();
    *failure = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? OpenFailure::kNotFound
                                                                          : OpenFailure::kRefused;
    return kNoFile;
  }
  *failure = OpenFailure::kNone;
  return reinterpret_cast<FileHandle>(h);
}

bool CloseFile(FileHandle file) { return ::CloseHandle(Handle(file)) != 0; }

bool CreateNewFile(const std::string &path) {
  const HANDLE h = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

int LastError() { return static_cast<int>(::GetLastError()); }

int64_t ReadAt(FileHandle file, void *buffer, int64_t count, int64_t offset) {
  OVERLAPPED ov = At(offset);
  DWORD done = 0;
  const DWORD want = static_cast<DWORD>(count < kMaxTransfer ? count : kMaxTransfer);
  if (!::ReadFile(Handle(file), buffer, want, &done, &ov)) {
    if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
    return -1;
  }
  return done;
}

int64_t WriteAt(FileHandle file, const void *buffer, int64_t count, int64_t offset) {
  OVERLAPPED ov = At(offset);
  DWORD done = 0;
  const DWORD want = static_cast<DWORD>(count < kMaxTransfer ? count : kMaxTransfer);
  if (!::WriteFile(Handle(file), buffer, want, &done, &ov)) return -1;
  if (done == 0) {
    ::SetLastError(ERROR_DISK_FULL);
    return -1;
  }
  return done;
}

bool FileSize(FileHandle file, int64_t *size) {
  LARGE_INTEGER n{};
  if (!::GetFileSizeEx(Handle(file), &n)) return false;
  *size = n.QuadPart;
  return true;
}

bool SameFile(FileHandle file, const std::string &path) {
  BY_HANDLE_FILE_INFORMATION held{};
  if (!::GetFileInformationByHandle(Handle(file), &held)) return false;
  // Opened for no access at all, which no share mode refuses.
  const HANDLE named_handle =
      ::CreateFileW(WideFromUtf8(path).c_str(), 0,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (named_handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION named{};
  const bool known = ::GetFileInformationByHandle(named_handle, &named) != 0;
  ::CloseHandle(named_handle);
  return known && held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
         held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow;
}

bool FlushFile(FileHandle file) {
  if (::FlushFileBuffers(Handle(file))) return true;
  // A handle without write access cannot be flushed, and has nothing to flush.
  return ::GetLastError() == ERROR_ACCESS_DENIED;
}

bool TruncateFile(FileHandle file, int64_t size) {
  LARGE_INTEGER to{};
  to.QuadPart = size;
  return ::SetFilePointerEx(Handle(file), to, nullptr, FILE_BEGIN) && ::SetEndOfFile(Handle(file));
}

bool LockRange(FileHandle file, int64_t offset, int64_t length, bool exclusive) {
  OVERLAPPED ov = At(offset);
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  return ::LockFileEx(Handle(file), flags, 0, Low(length), High(length), &ov) != 0;
}

bool UnlockRange(FileHandle file, int64_t offset, int64_t length) {
  OVERLAPPED ov = At(offset);
  return ::UnlockFileEx(Handle(file), 0, Low(length), High(length), &ov) != 0;
}

bool RangeLockedByOthers(FileHandle file, int64_t offset, int64_t length) {
  // Windows cannot be asked; a lock that is granted and given back at once
  // tells. It is only asked about ranges this handle does not hold.
  if (!LockRange(file, offset, length, true)) return true;
  UnlockRange(file, offset, length);
  return false;
}

bool RenameFile(const std::string &from, const std::string &to) {
  return ::MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

FileHandle CreateHeldFile(const std::string &path, bool *name_taken) {
  const HANDLE h = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = ::GetLastError();
    *name_taken = err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
    return kNoFile;
  }
  *name_taken = false;
  return reinterpret_cast<FileHandle>(h);
}

void CopyOwnership(FileHandle, const std::string &) {}

bool MoveHeldFileOver(FileHandle *file, const std::string &source, const std::string &target,
                      bool shared, FileHandle *holder) {
  if (holder != nullptr && *holder != kNoFile) {
    CloseFile(*holder);
    *holder = kNoFile;
  }
  CloseFile(*file);
  *file = kNoFile;
  const bool renamed = RenameFile(source, target);
  const DWORD rename_error = ::GetLastError();
  OpenFailure failure;
  *file = OpenFile(renamed ? target : source, shared && renamed, true, false, &failure);
  ::SetLastError(rename_error);
  return renamed;
}

bool CloseAndRemove(FileHandle file, const std::string &path) {
  CloseFile(file);
  return ::DeleteFileW(WideFromUtf8(path).c_str()) != 0;
}

void RemoveUnheld(const std::string &path) {
  // A file somebody has open cannot be deleted: no opening here shares
  // deletion.
  ::DeleteFileW(WideFromUtf8(path).c_str());
}

}  // namespace xb::os
