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
#include "xbase/index/cdx_format.h"
#include "xbase/index/cdx_tag.h"
#include "xbase/index/cdx_verify.h"
#include "xbase/table/write_batch.h"

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
  {
    XBO_dBHandler t(path, false, true);
    t.IndexOpen("small.cdx", "");
    EXPECT_EQ(ErrorOf([&] { t.SetTag("Countries"); }), "Cannot find index tag Countries");
  }
  // Read once the exclusive table has let go of its index file.
  const std::string fresh = ReadFileBytes(dir.File("small.cdx"));
  ASSERT_EQ(fresh.size(), 1536u);
  EXPECT_EQ(GetLE32(&fresh[0]), 1024u);
  EXPECT_EQ(static_cast<uint8_t>(fresh[14]), 0xE0);
  EXPECT_EQ(GetLE16(&fresh[1024]), 3);  // root leaf
  EXPECT_EQ(GetLE16(&fresh[1026]), 0);
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
  // Find with exact matching compares a record's primary weights only.
  t.SetExact(true);
  EXPECT_TRUE(t.Find("beta"));
  EXPECT_EQ(t.RecordNumber(), 1);
  EXPECT_FALSE(t.Find("bet"));
  const IndexVerifyReport report = VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag()));
  EXPECT_TRUE(report.problems.empty()) << report.problems.front();
}

using Model = std::set<std::pair<std::string, uint32_t>>;

Model TagEntries(XBO_dBHandler &t) {
  auto &tag = static_cast<XBobjCDXTag &>(*t.CurrentTag());
  CdxTree::CheckResult check = tag.Tree().Check();
  EXPECT_TRUE(check.problems.empty()) << check.problems.front();
  Model out;
  for (const auto &e : check.entries) out.emplace(e.key, e.record);
  EXPECT_EQ(out.size(), check.entries.size());
  return out;
}

TEST(CdxIndex, AppendsAndRewritesKeepTheTagEqualToAModel) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  XBO_dBHandler t(path, false, true);
  AddCdxTag(t, dir.File("c.cdx"), "NAME", "NAME", 30);
  AddCdxTag(t, dir.File("c.cdx"), "BIG", "CODE", 2, "POP > 50");
  t.IndexOpen("c.cdx", "name");
  std::mt19937 random(9);
  Model names;
  Model big;
  std::vector<std::pair<std::string, double>> rows;  // current name and POP
  auto random_name = [&] {
    return "N" + std::to_string(random() % 40) + std::string(random() % 20, 'q');
  };
  for (int batch = 0; batch < 8; ++batch) {
    for (int step = 0; step < 100; ++step) {
      const std::string name = random_name();
      const int pop = static_cast<int>(random() % 100);
      const std::string code = name.substr(1, 2);
      if (rows.empty() || random() % 2 == 0) {
        AppendCountry(t, code, name, std::to_string(pop));
        rows.emplace_back(name, pop);
        const auto r = static_cast<uint32_t>(rows.size());
        names.emplace(name, r);
        if (pop > 50) big.emplace(code, r);
      } else {
        const auto r = static_cast<uint32_t>(random() % rows.size() + 1);
        t.GoToRecord(r);
        const std::string old_code = rows[r - 1].first.substr(1, 2);
        t.StringPut("CODE", code);
        t.StringPut("NAME", name);
        t.StringPut("POP", std::to_string(pop));
        t.WriteRecord(r);
        names.erase({rows[r - 1].first, r});
        names.emplace(name, r);
        big.erase({old_code, r});
        if (pop > 50) big.emplace(code, r);
        rows[r - 1] = {name, pop};
      }
    }
    t.SetTag("NAME");
    ASSERT_EQ(TagEntries(t), names) << "batch " << batch;
    t.SetTag("big");
    Model stored = TagEntries(t);
    Model expected;
    for (const auto &[code, r] : big)
      expected.emplace(code.substr(0, code.find_last_not_of(' ') + 1), r);
    ASSERT_EQ(stored, expected) << "batch " << batch;
  }
  for (const char *name : {"NAME", "BIG"}) {
    t.SetTag(name);
    const IndexVerifyReport report = VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag()));
    EXPECT_TRUE(report.problems.empty()) << report.problems.front();
    EXPECT_TRUE(std::string(name) != "NAME" || report.pages >= 3) << "no split";
  }
  // A damaged entry is what the check reports.
  t.SetTag("NAME");
  auto &tag = static_cast<XBobjCDXTag &>(*t.CurrentTag());
  tag.RemoveKey(names.begin()->first, names.begin()->second);
  const IndexVerifyReport damaged = VerifyCdxTag(t, tag);
  ASSERT_EQ(damaged.problems.size(), 1u);
  EXPECT_EQ(damaged.problems[0],
            "record " + std::to_string(names.begin()->second) + " has no entry");
}

// A tag flagged unique that holds two equal keys passed the check.
TEST(CdxIndex, VerifyFindsEqualKeysInAUniqueTag) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  XBO_dBHandler t(path, false, true);
  for (const char *code : {"BG", "AT", "BG"}) AppendCountry(t, code, "x");
  AddCdxTag(t, dir.File("c.cdx"), "CODE", "CODE", 2);
  t.IndexOpen("c.cdx", "CODE");
  auto &tag = static_cast<XBobjCDXTag &>(*t.CurrentTag());
  EXPECT_EQ(VerifyCdxTag(t, tag).problems, std::vector<std::string>{});
  const int64_t at = tag.HeaderPosition();
  t.IndexOpen("", "");  // closes the index files
  std::string bytes = ReadFileBytes(dir.File("c.cdx"));
  CdxTagHeader header =
      DecodeCdxTagHeader(bytes.substr(at, kCdxTagHeaderSize), bytes.size(), "c.cdx");
  header.unique = true;
  bytes.replace(at, kCdxTagHeaderSize, EncodeCdxTagHeader(header));
  WriteFileBytes(dir.File("c.cdx"), bytes);
  t.IndexOpen("c.cdx", "CODE");
  EXPECT_EQ(
      VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag())).problems,
      std::vector<std::string>{"record 3 has the same key \"BG\" as record 1 in a unique tag"});
}

TEST(CdxIndex, AnotherTableObjectSeesNewKeys) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  {
    XBO_dBHandler t(path, false, true);
    for (int i = 0; i < 30; ++i) AppendCountry(t, "X", "B" + std::to_string(100 + i));
    AddCdxTag(t, dir.File("c.cdx"), "NAME", "NAME", 30);
  }
  const uint32_t counter = GetBE32(ReadFileBytes(dir.File("c.cdx")).data() + kCdxOffUpdateCounter);
  XBO_dBHandler a(path, true, true);
  XBO_dBHandler b(path, true, true);
  a.IndexOpen("c.cdx", "NAME");
  b.IndexOpen("c.cdx", "NAME");
  EXPECT_EQ(b.FindInTag("NAME", "B107"), 8);
  for (int i = 0; i < 200; ++i) AppendCountry(a, "Y", "A" + std::to_string(1000 + i));  // splits
  EXPECT_EQ(GetBE32(ReadFileBytes(dir.File("c.cdx")).data() + kCdxOffUpdateCounter), counter + 200);
  EXPECT_EQ(b.FindInTag("NAME", "A1199"), 230);
  EXPECT_EQ(b.FindInTag("NAME", "B107"), 8);
  b.GoToRecord(kGoFirst);
  EXPECT_EQ(b.RecordNumber(), 31);
  b.GoToRecord(kGoLast);
  EXPECT_EQ(b.RecordNumber(), 30);
}

TEST(CdxIndex, PackRebuildsEveryTag) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  XBO_dBHandler t(path, false, true);
  for (int i = 0; i < 120; ++i) AppendCountry(t, "X", "B" + std::to_string(100 + i), "1");
  AddCdxTag(t, dir.File("c.cdx"), "NAME", "NAME", 30);
  AddCdxTag(t, dir.File("c.cdx"), "POP", "POP", 8);
  // A file written elsewhere may end between nodes: new nodes still start
  // on a node boundary.
  WriteFileBytes(dir.File("c.cdx"), ReadFileBytes(dir.File("c.cdx")) + "xyz");
  t.IndexOpen("c.cdx", "NAME");
  for (int r = 1; r <= 120; r += 2) {
    t.GoToRecord(r);
    t.DeleteRecord();
  }
  t.Pack();
  EXPECT_EQ(t.FindInTag("NAME", "B101"), 1);
  EXPECT_EQ(t.FindInTag("NAME", "B100"), 0);
  EXPECT_EQ(t.FindInTag("POP", "1"), 1);
  for (const char *name : {"NAME", "POP"}) {
    t.SetTag(name);
    const IndexVerifyReport report = VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag()));
    EXPECT_TRUE(report.problems.empty()) << report.problems.front();
    EXPECT_EQ(report.entries, 60u);
  }
}

TEST(CdxIndex, DamagedFilesAreCorrupted) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  XBO_dBHandler t(path, false, true);
  for (int i = 0; i < 50; ++i) AppendCountry(t, "X", "B" + std::to_string(100 + i));
  AddCdxTag(t, dir.File("c.cdx"), "NAME", "NAME", 30);
  const std::string good = ReadFileBytes(dir.File("c.cdx"));
  struct Case {
    const char *what;
    size_t offset;
    uint8_t value;
  };
  // Offsets: the directory header at 0, its root leaf at 1024, the tag
  // header at 1536, the tag's first root at 2560.
  const Case cases[] = {
      {"directory root outside the file", kCdxOffRoot + 2, 0x7F},
      {"directory key length", kCdxOffKeyLength, 250},
      {"tag header root not a node boundary", 1536 + kCdxOffRoot, 0x11},
      {"tag without key expression", 1536 + kCdxOffExpressions, 0},
      {"directory leaf count", 1024 + kCdxNodeOffCount, 0x40},
      {"directory leaf record bits", 1024 + kCdxLeafOffRecordBits, 33},
      {"tag root leaf sibling link", 2560 + kCdxNodeOffLeft, 0x10},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    bytes[c.offset] = static_cast<char>(c.value);
    WriteFileBytes(dir.File("bad.cdx"), bytes);
    EXPECT_EQ(ErrorOf([&] {
                t.IndexOpen("bad.cdx", "NAME");
                for (t.GoToRecord(kGoFirst); !t.Eof();) t.GoToRecord(kGoNext);
              }),
              "Index file bad.cdx is corrupted");
  }
  EXPECT_EQ(ErrorOf([&] { t.IndexOpen("none.cdx", "NAME"); }),
            "File " + dir.File("none.cdx") + " could not be found");
}

}  // namespace
}  // namespace xb

namespace xb {
namespace {

// Random bytes flipped anywhere in a file: every open, walk, search and
// check ends, either normally or with the engine's error.
TEST(CdxIndex, RandomDamageNeverCrashesOrLoops) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  XBO_dBHandler t(path, false, true);
  for (int i = 0; i < 150; ++i) AppendCountry(t, "X", "B" + std::to_string(100 + i % 70), "1");
  AddCdxTag(t, dir.File("c.cdx"), "NAME", "NAME", 30);
  AddCdxTag(t, dir.File("c.cdx"), "POP", "POP", 8);
  const std::string good = ReadFileBytes(dir.File("c.cdx"));
  std::mt19937 random(3);
  int errors = 0;
  for (int round = 0; round < 300; ++round) {
    std::string bytes = good;
    for (int k = 0; k < 3; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
    WriteFileBytes(dir.File("bad.cdx"), bytes);
    try {
      t.IndexOpen("bad.cdx", "");
      for (const char *name : {"NAME", "POP"}) {
        if (!t.FindTag(name)) continue;
        t.SetTag(name);
        int steps = 0;
        for (t.GoToRecord(kGoFirst); !t.Eof() && steps < 1000; t.GoToRecord(kGoNext)) ++steps;
        ASSERT_LT(steps, 1000);
        steps = 0;
        for (t.GoToRecord(kGoLast); !t.Bof() && steps < 1000; t.GoToRecord(kGoPrior)) ++steps;
        ASSERT_LT(steps, 1000);
        t.FindInTag(name, "B120");
        VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag()));
      }
    } catch (const EXbaseError &) {
      ++errors;
    }
    t.IndexOpen("", "");
  }
  EXPECT_GT(errors, 0);
}

}  // namespace
}  // namespace xb

namespace xb {
namespace {

// A tag built by IndexOn is opened, kept current by appends and rewrites
// (splitting the built nodes), and passes the check.
TEST(CdxIndex, BuiltTagsStayCurrent) {
  TempDir dir;
  const std::string path = dir.File("c.dbf");
  CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
  XBO_dBHandler t(path, false, true);
  for (int i = 0; i < 300; ++i) AppendCountry(t, "X", "B" + std::to_string(1000 + i * 7 % 300));
  t.IndexOn("c.cdx", "Names", "NAME", "", 1, 0);
  t.IndexOpen("c.cdx", "names");
  for (int i = 0; i < 100; ++i) AppendCountry(t, "Y", "B" + std::to_string(1000 + i));
  t.GoToRecord(5);
  t.StringPut("NAME", "A0");
  t.WriteRecord(5);
  // Record 130 (7 * 129 % 300 = 3) comes before the appended record 304.
  EXPECT_EQ(t.FindInTag("NAMES", "B1003"), 130);
  t.GoToRecord(kGoFirst);
  EXPECT_EQ(t.RecordNumber(), 5);
  const IndexVerifyReport report = VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag()));
  EXPECT_TRUE(report.problems.empty()) << report.problems.front();
  EXPECT_EQ(report.entries, 400u);
}

// A built leaf has entries as narrow as the table's count then allowed;
// once appends outgrow it, rewriting that full leaf (a neighbour's split
// relinks it) still fits instead of failing the append.
TEST(CdxIndex, AppendsAfterTheCountOutgrowsTheBuiltEntryWidthKeepWorking) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, false, true);
  // A 13-byte key leaves 8 bits of a 2-byte entry for record numbers.
  auto append = [&t](int from, int rows) {
    TxbWriteBatch batch(t);
    for (int i = 0; i < rows; ++i) {
      testing::AppendValues(t, {"", "", "", std::to_string(from + 2 * i)});
    }
    batch.Commit();
  };
  append(1000, 250);
  t.IndexOn("dvel.cdx", "Ids", "F04", "", 1, 0);
  t.IndexOpen("dvel.cdx", "ids");
  append(9000, 20);  // past record 255, behind every built key
  EXPECT_EQ(t.FindInTag("IDS", "9038"), 270);
  const IndexVerifyReport report = VerifyCdxTag(t, static_cast<XBobjCDXTag &>(*t.CurrentTag()));
  EXPECT_TRUE(report.problems.empty()) << report.problems.front();
  EXPECT_EQ(report.entries, 270u);
}

// Built and updated the same way: descending tags, unique tags and general
// ordering agree between the builder and the upkeep.
TEST(CdxIndex, BuiltTagsOfEveryKindAgreeWithUpkeep) {
  struct Case {
    const char *expression;
    int unique;  // 0 unique, 1 duplicates
    int order;   // 0, 1 descending, 7 general, 8 general descending
  };
  const Case cases[] = {{"NAME", 1, 1}, {"NAME", 0, 0}, {"NAME", 1, 7},
                        {"NAME", 1, 8}, {"POP", 1, 1},  {"POP", 0, 0}};
  for (const Case &c : cases) {
    SCOPED_TRACE(std::string(c.expression) + " " + std::to_string(c.unique) + " " +
                 std::to_string(c.order));
    TempDir dir;
    const std::string path = dir.File("c.dbf");
    CreateDbfTable(path, TxbDBFTypes::FoxPro2, CountryFields());
    XBO_dBHandler t(path, false, true);
    auto row = [](int i) { return std::to_string(i * 37 % 60); };
    for (int i = 0; i < 120; ++i) AppendCountry(t, "X", (i % 2 ? "b" : "B") + row(i), row(i));
    t.IndexOn("c.cdx", "T", c.expression, "", c.unique, c.order);
    t.IndexOpen("c.cdx", "T");
    for (int i = 0; i < 80; ++i)
      AppendCountry(t, "Y", (i % 3 ? "b" : "B") + row(i + 7), row(i + 7));
    auto &tag = static_cast<XBobjCDXTag &>(*t.CurrentTag());
    const IndexVerifyReport report = VerifyCdxTag(t, tag);
    for (const auto &p : report.problems) ADD_FAILURE() << p;
    // The walk meets the keys in the tag's order, equal keys by record.
    std::vector<std::pair<std::string, uint32_t>> walk;
    for (uint32_t r = tag.StepFirst(); r != 0; r = tag.StepNext()) {
      walk.emplace_back(tag.CurrentEntry()->key, r);
    }
    const bool descending = c.order == 1 || c.order == 8;
    for (size_t i = 1; i < walk.size(); ++i) {
      const int order = CompareKeys(walk[i - 1].first, walk[i].first);
      EXPECT_TRUE(descending ? order >= 0 : order <= 0) << i;
      EXPECT_TRUE(c.unique != 0 || order != 0) << i;
    }
  }
}

}  // namespace
}  // namespace xb
