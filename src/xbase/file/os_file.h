// The operating system's file calls behind XBO_DiskFile, one implementation
// per platform: os_file_posix.cpp (flock for the sharing modes, open file
// description locks for byte ranges, fsync, rename) and os_file_windows.cpp
// (CreateFile share modes, LockFileEx, FlushFileBuffers, MoveFileEx). Paths
// are UTF-8. A failed call leaves its error code for LastError().
#pragma once

#include <cstdint>
#include <string>

namespace xb::os {

// An open file: a descriptor on POSIX, a HANDLE on Windows.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

enum class OpenFailure { kNone, kNotFound, kRefused };

// Opens `path` for reading, or reading and writing. Shared: every other
// opener that shares may read and write too; unshared: nobody else may have
// the file open. `create` makes a missing file and empties an existing one.
// kNoFile on failure, with the reason in `failure`.
FileHandle OpenFile(const std::string &path, bool shared, bool read_write, bool create,
                    OpenFailure *failure);
bool CloseFile(FileHandle file);
// Makes the empty file `path`; false when it exists already or cannot be made.
bool CreateNewFile(const std::string &path);

// The error code of the last failed call of this thread (errno or
// GetLastError), as the engine's messages show it.
int LastError();

// Transfers at a 64-bit offset. The number of bytes moved (fewer than asked
// at the end of the file, 0 past it); -1 on an error.
int64_t ReadAt(FileHandle file, void *buffer, int64_t count, int64_t offset);
int64_t WriteAt(FileHandle file, const void *buffer, int64_t count, int64_t offset);

bool FileSize(FileHandle file, int64_t *size);
// Whether `path` names the very file `file` has open (not another file
// renamed over the name since, nor none): device and inode here, volume
// serial number and file index on Windows.
bool SameFile(FileHandle file, const std::string &path);
// Puts the file's data on the disk. A file opened only for reading has
// nothing to flush, which counts as done.
bool FlushFile(FileHandle file);
bool TruncateFile(FileHandle file, int64_t size);

// Byte-range locks, never waiting. An exclusive lock excludes every other
// lock of the range; a shared one (what a read-only opener can hold) only
// exclusive ones. Two handles of one process exclude each other as two
// processes do.
bool LockRange(FileHandle file, int64_t offset, int64_t length, bool exclusive);
bool UnlockRange(FileHandle file, int64_t offset, int64_t length);
// Whether another handle holds a lock in the range.
bool RangeLockedByOthers(FileHandle file, int64_t offset, int64_t length);

// Renames `from` to `to`, replacing a file of that name, and makes the
// rename itself durable.
bool RenameFile(const std::string &from, const std::string &to);

// Makes the new file `path` and opens it for reading and writing, unshared,
// so that for as long as it is open it shows as being written (RemoveUnheld
// leaves it alone). kNoFile on failure, with `*name_taken` telling whether
// a file of that name was there (or appeared) so that another name may do.
FileHandle CreateHeldFile(const std::string &path, bool *name_taken);
// Gives `file` the owner, group and permission bits of the file `model`;
// the owner only where the system permits, the group then alone. Nothing on
// Windows, where a file takes its rights from its folder. Failures leave the
// file as it is.
void CopyOwnership(FileHandle file, const std::string &model);
// Renames `source`, which `*file` has open unshared and read-write, over
// `target` in one step and makes the rename durable; `*file` is then the
// target's handle, shared with `shared`. `*holder`, unless null or kNoFile,
// has the old target open: on Windows, which renames only files nobody has
// open, it and `*file` are closed first and `*file` opened again afterwards
// (`*holder` stays kNoFile); elsewhere both stay as they are. False when the
// rename failed: `*file` then has `source` open (kNoFile should it not open
// again).
bool MoveHeldFileOver(FileHandle *file, const std::string &source, const std::string &target,
                      bool shared, FileHandle *holder);
// Closes `file` and removes the file `path` it has open, while nobody else
// can take it where the system allows.
bool CloseAndRemove(FileHandle file, const std::string &path);
// Removes the file `path` unless somebody has it open in any mode that
// OpenFile or CreateHeldFile gives.
void RemoveUnheld(const std::string &path);

}  // namespace xb::os
