// Temporary directories and whole-file helpers for tests; see temp_dir.h.
#include "support/common/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "xbase/file/fs_path.h"

namespace testing_support {
namespace {

// A new directory with a name of its own in `parent`; its path with '/'.
std::string MakeUniqueDirectory(const std::string &parent) {
  static std::mt19937_64 random{std::random_device{}()};
  for (int tries = 0; tries < 100; ++tries) {
    char name[32];
    std::snprintf(name, sizeof name, "vedil-test-%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    const std::filesystem::path dir = xb::FsPath(parent) / name;
    std::error_code ec;
    if (std::filesystem::create_directory(dir, ec)) return xb::PathText(dir);
  }
  throw std::runtime_error("cannot make a directory in " + parent);
}

}  // namespace

TempDir::TempDir() : TempDir(xb::PathText(std::filesystem::temp_directory_path())) {}

TempDir::TempDir(const std::string &parent) : path_(MakeUniqueDirectory(parent)) {}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(xb::FsPath(path_), ec);
}

std::string ReadFileBytes(const std::string &path) {
  std::ifstream in(xb::FsPath(path), std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string &path, const std::string &bytes) {
  std::ofstream out(xb::FsPath(path), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testing_support
