// An append that fails half way on a full disk leaves the file as it was. A
// full disk is made with a file size limit of the writing process
// (RLIMIT_FSIZE), which Windows does not have.
#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "support/common/child_process.h"
#include "support/common/temp_dir.h"
#include "xbase/table_fixture.h"  // tests/xbase

namespace xb {
namespace {

using testing::AppendValues;
using testing::ErrorOf;
using testing::MakeNumberedTable;
using testing_support::ReadFileBytes;

constexpr int64_t kHeaderLength = 385;  // the income layout: 11 fields
constexpr int64_t kRecordLength = 154;

// Child "full-disk-append" TABLE: writes beyond 10 bytes past the table's end
// fail as on a full disk (EFBIG); the append must fail with the engine's
// write error and leave the count at 3.
int AppendOnAFullDisk(const std::vector<std::string> &args) {
  const std::string &path = args.at(0);
  signal(SIGXFSZ, SIG_IGN);
  const rlim_t limit = ReadFileBytes(path).size() + 10;
  const rlimit lim{limit, limit};
  if (setrlimit(RLIMIT_FSIZE, &lim) != 0) return 1;
  XBO_dBHandler t(path, true, true);
  const std::string error = ErrorOf([&] { AppendValues(t, {"4"}); });
  if (error != "Error 27 in Write of file " + path + " at block " +
                   std::to_string(kHeaderLength + 3 * kRecordLength)) {
    return 2;
  }
  return t.RecordCount() == 3 ? 0 : 3;
}
const testing_support::ChildRegistration kFullDisk("full-disk-append", &AppendOnAFullDisk);

TEST(WriteBatch, AppendFailingOnAFullDiskLeavesTheFileAsItWas) {
  testing_support::TempDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  const std::string before = ReadFileBytes(path);
  EXPECT_EQ(testing_support::ChildProcess("full-disk-append", {path}).Wait(), 0);
  EXPECT_EQ(ReadFileBytes(path), before);
}

}  // namespace
}  // namespace xb
