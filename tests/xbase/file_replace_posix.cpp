// Files replaced under their holders: a table renamed over while open is
// followed by appends and refused to rewrites, an index rebuilt by another
// holder is followed, replacing keeps owner, group and mode, and the
// temporaries of writers that died go with the next open. Windows renames no
// file that somebody has open, and keeps no owner and mode bits: POSIX only.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "support/common/temp_dir.h"
#include "xbase/fast_dir.h"  // tests/xbase
#include "xbase/file/byte_helpers.h"
#include "xbase/index/index_file.h"
#include "xbase/index/index_verify.h"
#include "xbase/index/ntx_tag.h"
#include "xbase/index/ntx_verify.h"
#include "xbase/table/write_batch.h"
#include "xbase/table_fixture.h"  // tests/xbase

namespace xb {
namespace {

using testing::AppendValues;
using testing::ErrorOf;
using testing::FastDir;
using testing::MakeNumberedTable;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

bool Exists(const std::string &path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

// Another process's work on the table, done by hand: a new table `rows`
// long renamed over `path`, as a pack puts its copy in place.
void ReplaceByNumberedTable(const std::string &path, int rows) {
  const std::string fresh = path + ".new";
  MakeNumberedTable(fresh, rows);
  ASSERT_EQ(std::rename(fresh.c_str(), path.c_str()), 0);
}

TEST(FileReplace, AppendGoesToTheFileThatReplacedTheOneOpened) {
  for (const bool batched : {false, true}) {
    SCOPED_TRACE(batched ? "in a write batch" : "one append");
    FastDir dir;
    const std::string path = dir.File("t.dbf");
    MakeNumberedTable(path, 3);
    XBO_dBHandler t(path, true, true);
    ReplaceByNumberedTable(path, 4);
    if (batched) {
      TxbWriteBatch batch(t);
      AppendValues(t, {"x"});
      batch.Commit();
    } else {
      AppendValues(t, {"x"});
    }
    EXPECT_EQ(t.RecordNumber(), 5);
    XBO_dBHandler o(path, true, false);
    ASSERT_EQ(o.RecordCount(), 5);
    o.GoToRecord(5);
    EXPECT_EQ(o.StringGet(1), "x");
  }
}

TEST(FileReplace, RewriteInAReplacedFileFailsAndWritesNothing) {
  FastDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  XBO_dBHandler t(path, true, true);
  t.GoToRecord(2);
  t.StringPut(1, "two");
  ReplaceByNumberedTable(path, 4);
  const std::string replaced = ReadFileBytes(path);
  EXPECT_EQ(ErrorOf([&] { t.WriteRecord(2); }), "File " + path + " was replaced by another user");
  EXPECT_EQ(ReadFileBytes(path), replaced);
  AppendValues(t, {"5"});  // the object now holds the new file
  EXPECT_EQ(t.RecordNumber(), 5);
}

TEST(FileReplace, AppendToAFileReplacedByAnotherTableFails) {
  FastDir dir;
  const std::string path = dir.File("t.dbf");
  MakeNumberedTable(path, 3);
  XBO_dBHandler t(path, true, true);
  const std::string other = dir.File("other.dbf");
  CreateDbfTable(other, TxbDBFTypes::Clipper, testing::TypedFields());
  ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
  const std::string replaced = ReadFileBytes(path);
  EXPECT_EQ(ErrorOf([&] { AppendValues(t, {"4"}); }),
            "File " + path + " was replaced by another user");
  EXPECT_EQ(ReadFileBytes(path), replaced);
}

std::string Key(const std::string &f04, const std::string &f10) {
  std::string key = f04;
  key.resize(13, ' ');
  std::string code = f10;
  code.resize(5, ' ');
  return key + code;
}

void AppendRow(XBO_dBHandler &t, const std::string &f04) {
  AppendValues(t, {"", "0", "0", f04, "", "", "", "", "", "101"});
}

TEST(FileReplace, IndexRebuiltByAnotherHolderIsFollowed) {
  for (const char *index : {"dvel.ntx", "dvel.cdx"}) {
    SCOPED_TRACE(index);
    FastDir dir;
    const std::string path = dir.File("dvel.dbf");
    CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
    XBO_dBHandler a(path, true, true);
    for (const char *id : {"1111", "2222", "3333"}) AppendRow(a, id);
    a.IndexOn(index, "dvel", "f04+f10", "", 1, 0);
    a.IndexOpen(index, "dvel");
    ASSERT_EQ(a.FindInTag("dvel", Key("2222", "101")), 2);
    // Another holder appends without the index and builds it anew.
    XBO_dBHandler b(path, true, true);
    AppendRow(b, "4444");
    b.IndexOn(index, "dvel", "f04+f10", "", 1, 0);
    EXPECT_EQ(a.FindInTag("dvel", Key("4444", "101")), 4);
    AppendRow(a, "5555");  // kept current in the new file
    XBO_dBHandler c(path, true, false);
    c.IndexOpen(index, "dvel");
    EXPECT_EQ(c.FindInTag("dvel", Key("5555", "101")), 5);
    EXPECT_EQ(c.FindInTag("dvel", Key("1111", "101")), 1);
  }
}

struct Mode {
  mode_t mode;
  uid_t uid;
  gid_t gid;
};

Mode ModeOf(const std::string &path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return {static_cast<mode_t>(st.st_mode & 07777), st.st_uid, st.st_gid};
}

// Gives a file a mode and, where the test may (as root), an owner that is
// not the test's own.
Mode SetMode(const std::string &path, mode_t mode) {
  EXPECT_EQ(::chmod(path.c_str(), mode), 0);
  if (::geteuid() == 0) {
    EXPECT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  }
  return ModeOf(path);
}

void ExpectSameMode(const Mode &was, const std::string &path) {
  const Mode now = ModeOf(path);
  EXPECT_EQ(now.mode, was.mode) << path;
  EXPECT_EQ(now.uid, was.uid) << path;
  EXPECT_EQ(now.gid, was.gid) << path;
}

TEST(FileReplace, PackAndIndexBuildsKeepOwnerGroupAndMode) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, false, true);
  for (const char *id : {"1111", "2222", "3333"}) AppendRow(t, id);
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  t.IndexOn("dvel.cdx", "dvel", "f04+f10", "", 1, 0);
  const Mode table = SetMode(path, 0644);
  const Mode ntx = SetMode(dir.File("dvel.ntx"), 0640);
  const Mode cdx = SetMode(dir.File("dvel.cdx"), 0604);
  t.IndexOn("dvel.ntx", "dvel", "f04+f10", "", 1, 0);
  t.IndexOn("dvel.cdx", "dvel", "f04+f10", "", 1, 0);
  ExpectSameMode(ntx, dir.File("dvel.ntx"));
  ExpectSameMode(cdx, dir.File("dvel.cdx"));
  t.IndexOpen(std::vector<std::string>{"dvel.ntx", "dvel.cdx"}, "");
  t.GoToRecord(2);
  t.DeleteRecord();
  t.Pack();
  ASSERT_EQ(t.RecordCount(), 2);
  ExpectSameMode(table, path);
  ExpectSameMode(ntx, dir.File("dvel.ntx"));
  ExpectSameMode(cdx, dir.File("dvel.cdx"));
}

TEST(FileReplace, TemporariesOfDeadWritersGoWithTheNextOpen) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  MakeNumberedTable(path, 2);
  // Left by writers that died: nobody holds them.
  const std::vector<std::string> stale = {dir.File("xbpack-dvel.dbf-a1b2c3.dbf"),
                                          dir.File("xbpack-DVEL.DBF-d4e5f6.dbf"),
                                          dir.File("xbindex-dvel.ntx-g7h8i9.ntx")};
  // Not this table's, or not a temporary.
  const std::vector<std::string> kept = {dir.File("xbpack-other.dbf-a1b2c3.dbf"),
                                         dir.File("xbindex-other.ntx-a1b2c3.ntx"),
                                         dir.File("dvel-backup.dbf")};
  for (const auto &file : stale) WriteFileBytes(file, "x");
  for (const auto &file : kept) WriteFileBytes(file, "x");
  // A live writer's, held by its flock.
  XBO_DiskFile live(path);
  live.DiskCreateTemporary(kPackTemporary);
  ASSERT_TRUE(Exists(live.FileName()));
  { XBO_dBHandler t(path, true, false); }
  for (const auto &file : stale) EXPECT_FALSE(Exists(file)) << file;
  for (const auto &file : kept) EXPECT_TRUE(Exists(file)) << file;
  EXPECT_TRUE(Exists(live.FileName()));
  const std::string temporary = live.FileName();
  live.DiskClose();  // closed before it replaced anything: removed
  EXPECT_FALSE(Exists(temporary));
  EXPECT_EQ(live.FileName(), path);
  // An index named otherwise loses its leftovers when it is built or opened.
  XBO_dBHandler t(path, true, true);
  t.IndexOn("other.ntx", "other", "f01", "", 1, 0);
  EXPECT_FALSE(Exists(dir.File("xbindex-other.ntx-a1b2c3.ntx")));
  WriteFileBytes(dir.File("xbindex-other.ntx-b1b2c3.ntx"), "x");
  t.IndexOpen("other.ntx", "other");
  EXPECT_FALSE(Exists(dir.File("xbindex-other.ntx-b1b2c3.ntx")));
}

}  // namespace
}  // namespace xb
