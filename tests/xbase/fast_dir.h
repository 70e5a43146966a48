// A test directory on tmpfs where there is one (/dev/shm): every append is
// flushed, and thousands of flushes to a disk would make a test slow, not
// better.
#pragma once

#include <filesystem>
#include <string>

#include "support/common/temp_dir.h"
#include "xbase/file/fs_path.h"

namespace xb::testing {

inline std::string FastDirParent() {
  std::error_code ec;
  return std::filesystem::is_directory("/dev/shm", ec)
             ? "/dev/shm"
             : PathText(std::filesystem::temp_directory_path());
}

class FastDir : public testing_support::TempDir {
 public:
  FastDir() : TempDir(FastDirParent()) {}
};

}  // namespace xb::testing
