// xbtool on a scratch table: create, append, delete, dump, info and pack, and
// the engine's error texts with a non-zero exit status on failure.
#include <gtest/gtest.h>

#include <QProcess>

#include "support/common/temp_dir.h"
#include "xbase/index/ntx_format.h"

namespace {

struct XbtoolRun {
  int exit_code;
  std::string out, err;
};

XbtoolRun Xbtool(const QStringList &args) {
  QProcess process;
  process.start(QStringLiteral(VEDIL_BINARY_DIR "/xbtool"), args);
  process.waitForFinished(60000);
  return {process.exitCode(), process.readAllStandardOutput().toStdString(),
          process.readAllStandardError().toStdString()};
}

TEST(Xbtool, KeepsATableFromCreationToPack) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("t.dbf"));
  ASSERT_EQ(Xbtool({"create", table, "F01;C;5;0", "AMOUNT;N;8;2"}).exit_code, 0);
  EXPECT_EQ(Xbtool({"append", table, "F01=one", "AMOUNT=1.5"}).out, "Appended record 1\n");
  EXPECT_EQ(Xbtool({"append", table, "f01=two"}).exit_code, 0);
  EXPECT_EQ(Xbtool({"delete", table, "1"}).exit_code, 0);
  EXPECT_EQ(Xbtool({"dump", table}).out, "      1 * one|1.50\n      2   two|0.00\n");
  EXPECT_EQ(Xbtool({"dump", table, "--active"}).out, "      2   two|0.00\n");
  const XbtoolRun info = Xbtool({"info", table});
  EXPECT_NE(info.out.find("Records:       2\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Header length: 97\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("    2  AMOUNT      N        8    2       6\n"), std::string::npos);
  EXPECT_EQ(Xbtool({"pack", table}).exit_code, 0);
  EXPECT_EQ(Xbtool({"dump", table}).out, "      1   two|0.00\n");
}

TEST(Xbtool, FailuresPrintTheEngineTextAndExitNonZero) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("t.dbf"));
  ASSERT_EQ(Xbtool({"create", table, "AMOUNT;N;4;0"}).exit_code, 0);
  const XbtoolRun too_big = Xbtool({"append", table, "AMOUNT=123456"});
  EXPECT_EQ(too_big.exit_code, 1);
  EXPECT_EQ(too_big.err, "numeric value too big in field AMOUNT - 123456\n");
  const XbtoolRun missing = Xbtool({"dump", QString::fromStdString(dir.File("none"))});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.err, "File " + dir.File("none.DBF") + " could not be found\n");
  EXPECT_EQ(Xbtool({"delete", table, "x"}).exit_code, 2);
  EXPECT_EQ(Xbtool({"frobnicate"}).exit_code, 2);
  EXPECT_EQ(Xbtool({"dump", table}).out, "");  // the failed append left no record
}

}  // namespace

TEST(XbtoolExpressions, EvalAndFilteredDump) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("dvel.dbf"));
  ASSERT_EQ(Xbtool({"create", table, "F04;C;13;0", "F10;C;5;0", "AMOUNT;N;8;2"}).exit_code, 0);
  ASSERT_EQ(Xbtool({"append", table, "F04=1234567890", "F10=101", "AMOUNT=2.5"}).exit_code, 0);
  ASSERT_EQ(Xbtool({"append", table, "F04=77", "F10=820", "AMOUNT=10"}).exit_code, 0);
  EXPECT_EQ(Xbtool({"eval", table, "f04+f10"}).out, "\"1234567890   101  \" (Text)\n");
  EXPECT_EQ(Xbtool({"eval", table, "dvel->amount * 2", "2"}).out, "20 (Number)\n");
  EXPECT_EQ(Xbtool({"eval", table, "F04 = '123*'"}).out, ".T. (Boolean)\n");
  const XbtoolRun bad = Xbtool({"eval", table, "F04 + 1"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.err, "The two sides of an operation do not match\n");
  EXPECT_EQ(Xbtool({"eval", table, "F04", "3"}).exit_code, 2);
  EXPECT_EQ(Xbtool({"dump", table, "--filter", "AMOUNT > 5"}).out, "      2   77|820|10.00\n");
  const XbtoolRun not_logical = Xbtool({"dump", table, "--filter", "F10"});
  EXPECT_EQ(not_logical.exit_code, 1);
  EXPECT_EQ(not_logical.err, "Filter expression must return boolean result\n");
}

TEST(XbtoolIndexes, IndexSeekDumpAndVerify) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("dvel.dbf"));
  const QString ntx = QString::fromStdString(dir.File("dvel.ntx"));
  ASSERT_EQ(Xbtool({"create", table, "F04;C;13;0", "F10;C;5;0"}).exit_code, 0);
  for (const char *id : {"555", "333", "999", "111"}) {
    ASSERT_EQ(Xbtool({"append", table, QString("F04=") + id, "F10=101"}).exit_code, 0);
  }
  EXPECT_EQ(Xbtool({"index", table, ntx, "f04+f10"}).out,
            "4 keys of length 18 written to " + ntx.toStdString() + "\n");
  EXPECT_EQ(Xbtool({"seek", table, ntx, "333          101"}).out, "2\n");
  const XbtoolRun miss = Xbtool({"seek", table, ntx, "333"});
  EXPECT_EQ(miss.exit_code, 1);
  EXPECT_EQ(miss.out, "not found\n");
  EXPECT_EQ(Xbtool({"dump", table, "--index", ntx}).out,
            "      4   111|101\n      2   333|101\n      1   555|101\n      3   999|101\n");
  EXPECT_EQ(Xbtool({"verify", table, ntx}).out, "OK: 4 entries in 1 pages, 0 problems\n");
  // A record changed by a program that did not keep the index.
  std::string bytes = testing_support::ReadFileBytes(dir.File("dvel.dbf"));
  bytes[bytes.find("999")] = '8';
  testing_support::WriteFileBytes(dir.File("dvel.dbf"), bytes);
  const XbtoolRun faulty = Xbtool({"verify", table, ntx});
  EXPECT_EQ(faulty.exit_code, 1);
  EXPECT_NE(faulty.out.find("record 3 is indexed under \"999"), std::string::npos) << faulty.out;
}

// Two equal keys in an index flagged unique are a problem verify prints.
TEST(XbtoolIndexes, VerifyReportsEqualKeysOfAUniqueIndex) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("dvel.dbf"));
  const QString ntx = QString::fromStdString(dir.File("dvel.ntx"));
  ASSERT_EQ(Xbtool({"create", table, "F10;C;5;0"}).exit_code, 0);
  for (const char *code : {"820", "101", "820"}) {
    ASSERT_EQ(Xbtool({"append", table, QString("F10=") + code}).exit_code, 0);
  }
  ASSERT_EQ(Xbtool({"index", table, ntx, "f10"}).exit_code, 0);
  std::string bytes = testing_support::ReadFileBytes(dir.File("dvel.ntx"));
  bytes[xb::kNtxOffUnique] = 1;
  testing_support::WriteFileBytes(dir.File("dvel.ntx"), bytes);
  const XbtoolRun faulty = Xbtool({"verify", table, ntx});
  EXPECT_EQ(faulty.exit_code, 1);
  EXPECT_EQ(faulty.out,
            "record 3 has the same key \"820  \" as record 1 in a unique tag\n"
            "FAULTY: 3 entries in 1 pages, 1 problems\n");
}

// An NTX file's one tag is named after the file, cut to the longest tag name;
// the commands open it under that name whatever the file name's length.
TEST(XbtoolIndexes, NtxFilesWithLongNamesAreOpened) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("dvel.dbf"));
  const QString ntx = QString::fromStdString(dir.File("a_very_long_index_file_name.ntx"));
  ASSERT_EQ(Xbtool({"create", table, "F10;C;5;0"}).exit_code, 0);
  ASSERT_EQ(Xbtool({"append", table, "F10=820"}).exit_code, 0);
  const XbtoolRun built = Xbtool({"index", table, ntx, "f10"});
  EXPECT_EQ(built.exit_code, 0) << built.err;
  EXPECT_EQ(Xbtool({"seek", table, ntx, "820"}).out, "1\n");
}

TEST(XbtoolIndexes, CdxTagsAreAddedByName) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("c.dbf"));
  ASSERT_EQ(Xbtool({"create", table, "NAME;C;20;0", "N;N;5;0"}).exit_code, 0);
  for (const char *name : {"Zeta", "Alpha", "Mu"}) {
    ASSERT_EQ(Xbtool({"append", table, QString("NAME=") + name, "N=3"}).exit_code, 0);
  }
  const XbtoolRun untagged = Xbtool({"index", table, "c.cdx", "NAME"});
  EXPECT_EQ(untagged.exit_code, 2);
  EXPECT_NE(untagged.err.find("a CDX file needs a tag name"), std::string::npos) << untagged.err;
  EXPECT_EQ(Xbtool({"index", table, "c.cdx", "NAME", "--tag", "Names"}).out,
            "3 keys of length 20 written to tag NAMES of c.cdx\n");
  EXPECT_EQ(Xbtool({"index", table, "c.cdx n", "N", "--unique", "--for", "N > 0"}).out,
            "1 keys of length 8 written to tag N of c.cdx\n");
}

TEST(XbtoolIndexes, CdxTagsAreSearchedDumpedAndVerified) {
  testing_support::TempDir dir;
  const QString table = QString::fromStdString(dir.File("c.dbf"));
  ASSERT_EQ(Xbtool({"create", table, "NAME;C;20;0", "N;N;5;0"}).exit_code, 0);
  for (const char *name : {"Zeta", "Alpha", "Mu", "Alpha"}) {
    ASSERT_EQ(Xbtool({"append", table, QString("NAME=") + name, "N=3"}).exit_code, 0);
  }
  ASSERT_EQ(Xbtool({"index", table, "c.cdx", "NAME", "--tag", "Names"}).exit_code, 0);
  // The tag as its own argument or inside the file argument, any case.
  EXPECT_EQ(Xbtool({"seek", table, "c.cdx", "names", "Alpha"}).out, "2\n");
  EXPECT_EQ(Xbtool({"seek", table, "c.cdx NAMES", "Mu"}).out, "3\n");
  EXPECT_EQ(Xbtool({"seek", table, "c.cdx NAMES", "Al"}).exit_code, 1);
  EXPECT_EQ(Xbtool({"dump", table, "--index", "c.cdx Names"}).out,
            "      2   Alpha|3\n      4   Alpha|3\n      3   Mu|3\n      1   Zeta|3\n");
  EXPECT_EQ(Xbtool({"verify", table, "c.cdx", "NAMES"}).out,
            "OK: 4 entries in 1 pages, 0 problems\n");
  // A record changed behind the index's back.
  std::string bytes = testing_support::ReadFileBytes(dir.File("c.dbf"));
  bytes[bytes.find("Zeta")] = 'B';
  testing_support::WriteFileBytes(dir.File("c.dbf"), bytes);
  const XbtoolRun faulty = Xbtool({"verify", table, "c.cdx NAMES"});
  EXPECT_EQ(faulty.exit_code, 1);
  EXPECT_NE(faulty.out.find("record 1 is indexed under \"Zeta"), std::string::npos) << faulty.out;
  const XbtoolRun no_tag = Xbtool({"verify", table, "c.cdx"});
  EXPECT_EQ(no_tag.exit_code, 2);
}
