// What the fuzz targets that feed files share: one input cut into several
// files (a table and its index), and a private folder on tmpfs in which each
// run writes them and which is left empty after every run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// Input layout of a target that needs n files: parts 1..n-1 each as a 4-byte
// little-endian length and that many bytes (a length past the end takes what
// is left), then the last part as the rest of the input.
std::vector<std::string_view> SplitParts(const uint8_t *data, size_t size, size_t count);
// The input SplitParts cuts back into `parts` (for the seed maker).
std::string JoinParts(const std::vector<std::string> &parts);

// The files of one run, in the process's private folder (made on first use
// under /dev/shm, else $TMPDIR or /tmp, and removed when the process ends).
// The destructor removes every file in the folder, whatever wrote it.
class RunFiles {
 public:
  RunFiles();
  ~RunFiles();
  RunFiles(const RunFiles &) = delete;
  RunFiles &operator=(const RunFiles &) = delete;

  // Writes `bytes` as the file `name` in the folder; returns its full path.
  std::string Write(const std::string &name, std::string_view bytes);
  // The full path of `name` in the folder (which need not exist).
  std::string Path(const std::string &name) const;

 private:
  const std::string &dir_;
};

// Stops the run with a finding (a crash libFuzzer reports with its input)
// when `condition` does not hold; `what` says which rule broke.
void Require(bool condition, const char *what);

}  // namespace fuzz
