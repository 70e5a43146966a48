// A fresh directory for one test, removed with everything in it at the end.
#pragma once

#include <string>

namespace testing_support {

class TempDir {
 public:
  TempDir();
  // The same below `parent` instead of the system's temporary directory.
  explicit TempDir(const std::string &parent);
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;

  // The directory's path, without a trailing slash.
  const std::string &path() const { return path_; }
  // path() + "/" + name.
  std::string File(const std::string &name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Reads or writes a whole file as bytes.
std::string ReadFileBytes(const std::string &path);
void WriteFileBytes(const std::string &path, const std::string &bytes);

}  // namespace testing_support
