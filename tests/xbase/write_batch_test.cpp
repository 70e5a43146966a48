// Write batches: one flush and one header write for many appends and
// rewrites, rows visible to others once the batch ends, nesting, and rolling
// a batch back to the file as it was (index keys included). An append that
// fails on a full disk: write_batch_full_disk_posix.cpp.
#include "xbase/table/write_batch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "support/common/child_process.h"
#include "support/common/temp_dir.h"
#include "xbase/fast_dir.h"  // tests/xbase
#include "xbase/file/byte_helpers.h"
#include "xbase/index/ntx_tag.h"
#include "xbase/index/ntx_verify.h"
#include "xbase/table_fixture.h"  // tests/xbase

namespace xb {
namespace {

using testing::AppendValues;
using testing::ErrorOf;
using testing::FastDir;
using testing::MakeNumberedTable;
using testing_support::ChildProcess;
using testing_support::ReadFileBytes;

constexpr int64_t kHeaderLength = 385;  // the income layout: 11 fields
constexpr int64_t kRecordLength = 154;

// Counts the flushes of the table file.
class CountingTable : public XBO_dBHandler {
 public:
  using XBO_dBHandler::XBO_dBHandler;
  void DiskFlush() override {
    ++flushes;
    XBO_dBHandler::DiskFlush();
  }
  int flushes = 0;
};

uint32_t CountOnDisk(const std::string &path) { return GetLE32(ReadFileBytes(path).data() + 4); }

// Child "batch-seen" TABLE: the rows of the batch are there, and the header
// lock is free again.
int SeeTheBatch(const std::vector<std::string> &args) {
  XBO_dBHandler o(args.at(0), true, true);
  if (o.RecordCount() != 53) return 1;
  o.GoToRecord(53);
  if (o.StringGet(1) != "53") return 2;
  o.GoToRecord(2);
  if (o.StringGet(1) != "two") return 3;
  AppendValues(o, {"54"});
  return o.RecordNumber() == 54 ? 0 : 4;
}
const testing_support::ChildRegistration kBatchSeen("batch-seen", &SeeTheBatch);

TEST(WriteBatch, FlushesOnceAndOthersSeeTheRowsWhenItEnds) {
  FastDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 2);
  CountingTable t(path, true, true);
  AppendValues(t, {"3"});
  EXPECT_EQ(t.flushes, 1);  // a single append keeps its flush
  {
    TxbWriteBatch batch(t);
    for (int i = 4; i <= 53; ++i) AppendValues(t, {std::to_string(i)});
    t.GoToRecord(2);
    t.StringPut(1, "two");
    t.WriteRecord(2);
    EXPECT_EQ(t.flushes, 1);
    EXPECT_EQ(CountOnDisk(path), 3u);  // the header is written when the batch ends
    batch.Commit();
  }
  EXPECT_EQ(t.flushes, 2);
  const std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(GetLE32(bytes.data() + 4), 53u);
  ASSERT_EQ(bytes.size(), static_cast<size_t>(kHeaderLength + 53 * kRecordLength + 1));
  EXPECT_EQ(bytes.back(), '\x1A');
  EXPECT_EQ(ChildProcess("batch-seen", {path}).Wait(), 0);
}

TEST(WriteBatch, InnerBatchesLeaveTheEndToTheOutermost) {
  FastDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 1);
  CountingTable t(path, true, true);
  {
    TxbWriteBatch outer(t);
    {
      TxbWriteBatch inner(t);
      AppendValues(t, {"2"});
      inner.Commit();
    }
    {
      TxbWriteBatch inner(t);
      AppendValues(t, {"3"});
      inner.Rollback();
    }
    EXPECT_TRUE(t.InWriteBatch());
    EXPECT_EQ(t.flushes, 0);
    EXPECT_EQ(CountOnDisk(path), 1u);
    // Left without Commit: the end of the scope commits.
  }
  EXPECT_FALSE(t.InWriteBatch());
  EXPECT_EQ(t.flushes, 1);
  EXPECT_EQ(CountOnDisk(path), 3u);
  EXPECT_EQ(t.RecordCount(), 3);
}

// Child "batch-then-wait" TABLE STARTED: appends two rows in one batch on
// the indexed table, signalling STARTED after the first and waiting a while
// before the second, by when the parent's append is waiting.
int BatchThenWait(const std::vector<std::string> &args) {
  XBO_dBHandler t(args.at(0), true, true);
  t.IndexOpen("t.ntx", "t");
  TxbWriteBatch batch(t);
  AppendValues(t, {"b1"});
  testing_support::SignalFile(args.at(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  AppendValues(t, {"b2"});
  batch.Commit();
  return 0;
}
const testing_support::ChildRegistration kBatchThenWait("batch-then-wait", &BatchThenWait);

// A batch holds the index locks before the header lock, as every append
// takes them: another user's append waits for the batch to end instead of
// holding an index lock the batch needs while it waits for the header lock.
TEST(WriteBatch, BatchAndAnotherUsersAppendDoNotWaitCrosswise) {
  FastDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 1);
  {
    XBO_dBHandler t(path, false, true);
    t.IndexOn("t.ntx", "t", "f01", "", 1, 0);
  }
  const std::string started = dir.File("started");
  ChildProcess batcher("batch-then-wait", {path, started});
  ASSERT_TRUE(testing_support::WaitForFile(started));
  XBO_dBHandler t(path, true, true);
  t.IndexOpen("t.ntx", "t");
  EXPECT_EQ(ErrorOf([&] { AppendValues(t, {"other"}); }), "no error");
  EXPECT_EQ(batcher.Wait(), 0);
  EXPECT_EQ(t.RecordNumber(), 4);
  EXPECT_EQ(t.FindInTag("t", "b2"), 3);
}

TEST(WriteBatch, RollbackPutsTheFileAndItsIndexBackAsTheyWere) {
  FastDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 5);
  XBO_dBHandler t(path, true, true);
  t.IndexOn("t.ntx", "t", "f01", "", 1, 0);
  t.IndexOpen("t.ntx", "t");
  const std::string before = ReadFileBytes(path);
  {
    TxbWriteBatch batch(t);
    for (int i = 1; i <= 40; ++i) AppendValues(t, {"new" + std::to_string(i)});
    EXPECT_EQ(t.FindInTag("t", "new3"), 8);
    batch.Rollback();
  }
  EXPECT_EQ(ReadFileBytes(path), before);
  EXPECT_EQ(t.RecordCount(), 5);
  EXPECT_EQ(t.FindInTag("t", "new3"), 0);
  const NtxVerifyReport report = VerifyNtxTag(t, static_cast<XBobjNTXTag &>(*t.CurrentTag()));
  EXPECT_TRUE(report.problems.empty()) << report.problems.front();
  EXPECT_EQ(report.entries, 5u);
  AppendValues(t, {"six"});  // the table goes on where it stood
  EXPECT_EQ(t.RecordNumber(), 6);
  EXPECT_EQ(t.FindInTag("t", "six"), 6);
}

TEST(WriteBatch, RollbackKeepsTheRewritesOfTheBatch) {
  FastDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  const size_t size_before = ReadFileBytes(path).size();
  XBO_dBHandler t(path, true, true);
  TxbWriteBatch batch(t);
  t.GoToRecord(1);
  t.StringPut(1, "one");
  t.WriteRecord(1);
  AppendValues(t, {"4"});
  batch.Rollback();
  EXPECT_TRUE(t.Eof());  // it stood on a dropped record
  XBO_dBHandler o(path, true, false);
  EXPECT_EQ(o.RecordCount(), 3);
  o.GoToRecord(1);
  EXPECT_EQ(o.StringGet(1), "one");
  EXPECT_EQ(ReadFileBytes(path).size(), size_before);
}

}  // namespace
}  // namespace xb
