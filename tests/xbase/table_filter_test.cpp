// The expression link of an open table and its filter: field variables and
// table functions on real records, the set of passing records, navigation
// through it in both directions, and its upkeep on appends, rewrites and pack.
#include <gtest/gtest.h>

#include <set>

#include "table_fixture.h"
#include "xbase/xbase_error.h"

namespace xb {
namespace {

using testing_support::TempDir;

// Record numbers visited from first to last and from last to first.
std::vector<int64_t> Forward(XBO_dBHandler &t) {
  std::vector<int64_t> out;
  for (t.GoToRecord(kGoFirst); !t.Eof(); t.GoToRecord(kGoNext)) out.push_back(t.RecordNumber());
  return out;
}

std::vector<int64_t> Backward(XBO_dBHandler &t) {
  std::vector<int64_t> out;
  for (t.GoToRecord(kGoLast); !t.Bof() && !t.Eof(); t.GoToRecord(kGoPrior))
    out.insert(out.begin(), t.RecordNumber());
  return out;
}

// The records whose F01 holds a multiple of 7, read without the filter.
std::vector<int64_t> MultiplesOfSeven(XBO_dBHandler &t) {
  std::vector<int64_t> out;
  for (int64_t r = 1; r <= t.RecordCount(); ++r) {
    t.GoToRecord(r);
    if (!t.IsDeleted() && std::stoi(t.StringGet(1)) % 7 == 0) out.push_back(r);
  }
  return out;
}

TEST(TableExpressions, FieldsAndFunctionsReadTheCurrentRecord) {
  TempDir dir;
  const std::string path = dir.File("dvel.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, true, true);
  testing::AppendValues(t, {"1", "0", "0", "1234567890", "", "", "", "", "", "101"});
  testing::AppendValues(t, {"2", "0", "0", "987", "", "", "", "", "", "820"});
  t.GoToRecord(1);
  TxbExpHandler key(&t.ExpressionLink(), false, t.Alias(), "f04+f10");
  EXPECT_EQ(key.Evaluate().text, "1234567890   101  ");
  struct Case {
    const char *expression;
    bool expected;
  };
  const Case cases[] = {
      {"F04 = '1234567890'", true}, {"F04 = '123*'", true},        {"F04 = '123'", false},
      {"dvel->f10 = '101'", true},  {"DVEL.F01 = '1'", true},      {"RECNO() = 1", true},
      {"TYPE('f04') = 'C'", true},  {"FIELDNO('F10') = 10", true}, {"DELETED()", false},
      {"EOF() .OR. BOF()", false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.expression);
    TxbExpHandler e(&t.ExpressionLink(), false, t.Alias(), c.expression);
    const ExpValue v = e.Evaluate();
    EXPECT_EQ(v.type, ExpType::kBoolean);
    EXPECT_EQ(v.logic, c.expected);
  }
  t.GoToRecord(2);
  EXPECT_EQ(key.Evaluate().text, "987          820  ");
}

TEST(TableFilter, VisitsExactlyThePassingRowsAndFollowsWrites) {
  TempDir dir;
  const std::string path = dir.File("big.dbf");
  testing::MakeNumberedTable(path, 10000);
  XBO_dBHandler t(path, true, true);
  t.SetFilter("MOD(VAL(F01), 7) = 0", false, true);
  EXPECT_EQ(t.Filter().passing.Count(), 1428);
  std::vector<int64_t> expected = MultiplesOfSeven(t);
  EXPECT_EQ(Forward(t), expected);
  EXPECT_EQ(Backward(t), expected);

  // A rewrite that makes a row pass, one that makes a row fail, an append
  // that passes and one that does not.
  t.GoToRecord(10);
  t.StringPut(1, "70");
  t.WriteRecord(10);
  t.GoToRecord(14);
  t.StringPut(1, "15");
  t.WriteRecord(14);
  testing::AppendValues(t, {"21"});
  testing::AppendValues(t, {"22"});
  // A deleted row stays hidden although its bit is set.
  t.GoToRecord(21);
  t.DeleteRecord();
  expected = MultiplesOfSeven(t);
  EXPECT_EQ(Forward(t), expected);
  EXPECT_EQ(Backward(t), expected);
  const TxbHugeSet &kept = t.Filter().passing;
  EXPECT_TRUE(kept.Contains(10) && !kept.Contains(14) && kept.Contains(10001) &&
              !kept.Contains(10002) && kept.Contains(21));
  // The set made afresh agrees with the one kept up to date.
  const int64_t kept_count = kept.Count();
  t.SetFilter("MOD(VAL(F01), 7) = 0", false, true);
  EXPECT_EQ(t.Filter().passing.Count(), kept_count);
  EXPECT_EQ(Forward(t), expected);

  t.SetFilter("", false, true);
  EXPECT_EQ(Forward(t).size(), 10001u);  // all but the deleted row
}

TEST(TableFilter, RefusesNonLogicalAndKeepsThePreviousFilter) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  testing::MakeNumberedTable(path, 20);
  XBO_dBHandler t(path, true, true);
  t.SetFilter("VAL(F01) > 15", false, true);
  const auto error = [&](const std::string &expression) -> std::string {
    try {
      t.SetFilter(expression, false, true);
    } catch (const EXbaseError &e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(error("F01"), "Filter expression must return boolean result");
  EXPECT_EQ(error("F01 +"), "Target value missing for + operation");
  EXPECT_EQ(error("100 / (VAL(F01) - 12) > 0"), "Division by zero in /");
  EXPECT_EQ(error("IIF(VAL(F01) < 5, .T., 'x')"), "Filter expression must return boolean result");
  EXPECT_EQ(t.Filter().expression, "VAL(F01) > 15");
  EXPECT_EQ(Forward(t), (std::vector<int64_t>{16, 17, 18, 19, 20}));
  // Only the rows are judged, not the blank buffer before the first move.
  XBO_dBHandler fresh(path, true, false);
  fresh.SetFilter("100 / VAL(F01) > 10", false, true);
  EXPECT_EQ(Forward(fresh), (std::vector<int64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(TableFilter, CaseAndPartialOptions) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  CreateDbfTable(path, TxbDBFTypes::Clipper, testing::IncomeFields());
  XBO_dBHandler t(path, false, true);
  for (const char *name : {"Ivan", "IVANOV", "petar", "ivo"}) testing::AppendValues(t, {name});
  t.SetFilter("F01 = 'iv*'", false, true);
  EXPECT_EQ(Forward(t), (std::vector<int64_t>{4}));
  t.SetFilter("F01 = 'iv*'", true, true);
  EXPECT_EQ(Forward(t), (std::vector<int64_t>{1, 2, 4}));
  t.SetFilter("F01 = 'iv*'", true, false);
  EXPECT_EQ(Forward(t), (std::vector<int64_t>{}));
}

TEST(TableFilter, PackRenumbersTheSet) {
  TempDir dir;
  const std::string path = dir.File("t.dbf");
  testing::MakeNumberedTable(path, 30);
  XBO_dBHandler t(path, false, true);
  for (int64_t r : {1, 2, 3}) {
    t.GoToRecord(r);
    t.DeleteRecord();
  }
  t.SetFilter("MOD(VAL(F01), 7) = 0", false, true);
  t.Pack();
  EXPECT_EQ(Forward(t), (std::vector<int64_t>{4, 11, 18, 25}));
  t.GoToRecord(kGoFirst);
  EXPECT_EQ(t.StringGet(1), "7");
}

}  // namespace
}  // namespace xb
