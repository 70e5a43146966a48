// CDX indexes on real tables: opening (fresh directory, tag names regardless
// of case, the structural-index flag of the table header), searching and
// walking with equal keys in record order, upkeep after appends and rewrites
// against a model with the check agreeing, another process's changes, and
// damaged files.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>

#include "table_fixture.h"
#include "xbase/cdx_tag.h"
#include "xbase/cdx_verify.h"

namespace xb {
namespace {

using testing::ErrorOf;
using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// Adds a tag to `cdx_path` (created when missing) and fills it from the
// table's records one insert at a time.
void AddCdxTag(XBO_dBHandler &t, const std::string &cdx_path, const std::string &name,
               const std::string &expression, uint16_t key_length, const std::string &for_expr = "",
               CdxCollation collation = CdxCollation::kMachine) {
  if (!std::ifstream(cdx_path).good()) WriteFileBytes(cdx_path, "");
  XBobjCDXFile file(t, cdx_path);
  file.Open();
  const int64_t header = file.AllocPage(kCdxTagHeaderSize);
  const int64_t root = file.AllocPage(kCdxNodeSize);
  CdxNode empty;
  empty.root = true;
  file.WritePage(root, EncodeCdxNode(empty, CdxKeyForm{key_length, ' ', false}, 0));
  CdxTagHeader h;
  h.root = static_cast<uint32_t>(root);
  h.key_length = key_length;
  h.key_expression = expression;
  h.for_expression = for_expr;
  h.collation = collation;
  file.WritePage(header, EncodeCdxTagHeader(h));
  XBobjCDXTag &tag = file.AddTagAt(name, header);
  t.RefreshHeader();
  for (int64_t r = 1; r <= t.RecordCount(); ++r) {
    t.GoToRecord(r);
    if (tag.EvaluateFor()) tag.InsertKey(tag.CurrentRecordKey(), static_cast<uint32_t>(r));
  }
}

std::vector<DbfFieldSpec> CountryFields() {
  return {{"CODE", 'C', 2, 0}, {"NAME", 'C', 30, 0}, {"POP", 'N', 10, 1}};
}

void AppendCountry(XBO_dBHandler &t, const std::string &code, const std::string &name,
                   const std::string &pop = "0") {
  testing::AppendValues(t, {code, name, pop});
}

std::vector<uint32_t> TagOrder(XBO_dBHandler &t) {
  std::vector<uint32_t> records;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) {
    records.push_back(static_cast<uint32_t>(t.RecordNumber()));
  }
  return records;
}

TEST(CdxIndex, OpensTagsRegardlessOfCaseAndMarksTheStructuralIndex) {
  TempDir dir;
  const std::string path = dir.File("Countries.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  {
    XBO_dBHandler t(path, false, true);
    for (const char *c : {"RO", "BG", "AT", "DE", "BG"}) AppendCountry(t, c, std::string("N") + c);
    AddCdxTag(t, dir.File("Other.cdx"), "Countries", "NAME", 30);
    AddCdxTag(t, dir.File("Other.cdx"), "Code", "CODE", 2);
  }
  // The structural index is the CDX named like the table.
  WriteFileBytes(dir.File("Countries.cdx"), ReadFileBytes(dir.File("Other.cdx")));
  auto flag = [&] { return ReadFileBytes(path)[28] & 1; };
  {
    XBO_dBHandler t(path, true, false);
    t.IndexOpen("Countries.cdx", "countries");
    EXPECT_EQ(TagOrder(t), (std::vector<uint32_t>{3, 2, 5, 4, 1}));
    t.IndexOpen("Other.cdx", "CODE");
    EXPECT_EQ(flag(), 0) << "read-only tables stay as they are";
  }
  {
    XBO_dBHandler t(path, true, true);
    t.IndexOpen("Other.cdx", "code");
    EXPECT_EQ(flag(), 0);
    t.IndexOpen("COUNTRIES.CDX", "Code");
    EXPECT_EQ(flag(), 1);
    // Equal keys come in record order; a search finds the first of them.
    EXPECT_EQ(TagOrder(t), (std::vector<uint32_t>{3, 2, 5, 4, 1}));
    EXPECT_EQ(t.FindInTag("code", "BG"), 2);
    EXPECT_EQ(t.FindInTag("CODE", "B"), 0);
    EXPECT_TRUE(t.Find("DE"));
    EXPECT_EQ(t.RecordNumber(), 4);
    EXPECT_EQ(ErrorOf([&] { t.SetTag("nope"); }), "Cannot find index tag nope");
  }
  // A file of 512 bytes or less is a new file: a fresh, empty directory.
  WriteFileBytes(dir.File("small.cdx"), std::string(512, 'x'));
  XBO_dBHandler t(path, false, true);
  t.IndexOpen("small.cdx", "");
  const std::string fresh = ReadFileBytes(dir.File("small.cdx"));
  ASSERT_EQ(fresh.size(), 1536u);
  EXPECT_EQ(GetLE32(&fresh[0]), 1024u);
  EXPECT_EQ(static_cast<uint8_t>(fresh[14]), 0xE0);
  EXPECT_EQ(GetLE16(&fresh[1024]), 3);  // root leaf
  EXPECT_EQ(GetLE16(&fresh[1026]), 0);
  EXPECT_EQ(ErrorOf([&] { t.SetTag("Countries"); }), "Cannot find index tag Countries");
}

TEST(CdxIndex, NumberKeysAndGeneralOrdering) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  XBO_dBHandler t(path, false, true);
  AppendCountry(t, "AA", "beta", "12.5");
  AppendCountry(t, "BB", "Alpha", "-3");
  AppendCountry(t, "CC", "\xE0\xE1", "0");  // аб
  AppendCountry(t, "DD", "ALPHA", "1000000");
  AppendCountry(t, "EE", "Zulu", "-250.5");
  AddCdxTag(t, dir.File("c.cdx"), "POP", "POP", 8);
  AddCdxTag(t, dir.File("c.cdx"), "NAME", "NAME", 60, "", CdxCollation::kGeneral);
  t.IndexOpen("c.cdx", "pop");
  EXPECT_EQ(TagOrder(t), (std::vector<uint32_t>{5, 2, 3, 1, 4}));
  EXPECT_EQ(t.FindInTag("POP", "12.5"), 1);
  EXPECT_EQ(t.FindInTag("POP", "-250.5"), 5);
  EXPECT_EQ(t.FindInTag("POP", "12"), 0);
  t.SetTag("name");
  // Alphabetical without regard to case, Latin before Cyrillic; capitals
  // first among texts equal but for case.
  EXPECT_EQ(TagOrder(t), (std::vector<uint32_t>{4, 2, 1, 5, 3}));
  EXPECT_EQ(t.FindInTag("NAME", "alpha"), 4);
  EXPECT_EQ(t.FindInTag("NAME", "\xC0\xC1"), 3);
  const IndexVerifyReport report = VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag()));
  EXPECT_TRUE(report.problems.empty()) << report.problems.front();
}

}  // namespace
}  // namespace xb
