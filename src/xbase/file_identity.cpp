// File identity on POSIX systems; see file_identity.h.
#include "xbase/file_identity.h"

#include <sys/stat.h>

namespace xb {

bool SameFile(int descriptor, const std::string &path) {
  struct stat held {};
  struct stat named {};
  if (::fstat(descriptor, &held) != 0 || ::stat(path.c_str(), &named) != 0) return false;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace xb
