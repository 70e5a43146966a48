// See fuzz_files.h.
#include "fuzz_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fuzz {
namespace {

uint32_t ReadLength(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Removes every entry of `dir` (the engine writes plain files only).
void EmptyFolder(const std::string &dir) {
  DIR *d = opendir(dir.c_str());
  if (!d) return;
  while (const dirent *e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    unlink((dir + "/" + e->d_name).c_str());
  }
  closedir(d);
}

// The process's folder: made on first use, emptied and removed at exit.
class Folder {
 public:
  Folder() {
    const char *base = "/dev/shm";
    struct stat st;
    if (stat(base, &st) != 0 || !S_ISDIR(st.st_mode) || access(base, W_OK) != 0) {
      base = std::getenv("TMPDIR");
      if (!base || !*base) base = "/tmp";
    }
    std::string pattern = std::string(base) + "/vedil-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      std::perror("vedil fuzz: cannot make a temporary folder");
      std::abort();
    }
    path_ = pattern;
  }
  ~Folder() {
    EmptyFolder(path_);
    rmdir(path_.c_str());
  }
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

const std::string &ProcessFolder() {
  static const Folder folder;
  return folder.path();
}

}  // namespace

std::vector<std::string_view> SplitParts(const uint8_t *data, size_t size, size_t count) {
  std::vector<std::string_view> parts;
  const char *p = reinterpret_cast<const char *>(data);
  size_t left = size;
  for (size_t i = 0; i + 1 < count; ++i) {
    size_t length = 0;
    if (left >= 4) {
      length = ReadLength(reinterpret_cast<const uint8_t *>(p));
      p += 4;
      left -= 4;
    } else {
      p += left;
      left = 0;
    }
    if (length > left) length = left;
    parts.emplace_back(p, length);
    p += length;
    left -= length;
  }
  parts.emplace_back(p, left);
  return parts;
}

std::string JoinParts(const std::vector<std::string> &parts) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i + 1 < parts.size()) {
      const auto n = static_cast<uint32_t>(parts[i].size());
      for (int b = 0; b < 4; ++b) out.push_back(static_cast<char>(n >> (8 * b) & 0xFF));
    }
    out += parts[i];
  }
  return out;
}

RunFiles::RunFiles() : dir_(ProcessFolder()) {}

RunFiles::~RunFiles() { EmptyFolder(dir_); }

std::string RunFiles::Path(const std::string &name) const { return dir_ + "/" + name; }

std::string RunFiles::Write(const std::string &name, std::string_view bytes) {
  const std::string path = Path(name);
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool ok = fd >= 0;
  for (size_t done = 0; ok && done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  if (fd >= 0) close(fd);
  if (!ok) {
    std::perror(("vedil fuzz: cannot write " + path).c_str());
    std::abort();
  }
  return path;
}

void Require(bool condition, const char *what) {
  if (condition) return;
  std::fprintf(stderr, "vedil fuzz: broken rule: %s\n", what);
  std::abort();
}

}  // namespace fuzz
