// A dataset read as a report connection: its rows in order, Cyrillic decoded
// from code page 1251, trailing blanks removed, a closed dataset empty; the
// walk leaves the current row and the views bound to the dataset alone.
#include "ui/report_dataset_source.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "support/common/memory_dataset.h"
#include "ui/codepage.h"

namespace ui {
namespace {

using testing_support::TMemoryDataSet;

TEST(ReportDataSetSource, WalksTheOpenDatasetDecodingItsTexts) {
  TMemoryDataSet dataset(
      {{"CODE", xb::TFieldType::ftString, 5}, {"NAME", xb::TFieldType::ftString, 20}});
  dataset.AddRow({"101", codepage::ToCp1251("Трудови доходи   ")});
  dataset.AddRow({"820", codepage::ToCp1251("  Етажна")});
  DataSetRowSource rows(dataset);
  rows.First();
  EXPECT_TRUE(rows.Eof());  // closed: no rows
  EXPECT_EQ(rows.Value("CODE"), "");

  dataset.Open();
  QStringList seen;
  for (rows.First(); !rows.Eof(); rows.Next())
    seen << rows.Value("code") + "|" + rows.Value("NAME") + "|" + rows.Value("MISSING");
  EXPECT_EQ(seen, QStringList({"101|Трудови доходи|", "820|  Етажна|"}));
  EXPECT_EQ(rows.SizeHint(), 2);
  dataset.Close();
  EXPECT_EQ(rows.SizeHint(), 0);
}

TEST(ReportDataSetSource, WalkLeavesTheCurrentRowAndItsViewsAlone) {
  TMemoryDataSet dataset({{"N", xb::TFieldType::ftString, 3}});
  for (const char *n : {"1", "2", "3", "4"}) dataset.AddRow({n});
  dataset.Open();
  dataset.SetRecNo(2);
  xb::TDataSource source(&dataset);
  int changes = 0;
  source.OnDataChange = [&changes](xb::TDataSource &, xb::TField *) { ++changes; };
  DataSetRowSource rows(dataset);
  QStringList seen;
  for (rows.First(); !rows.Eof(); rows.Next()) seen << rows.Value("N");
  EXPECT_EQ(seen, QStringList({"1", "2", "3", "4"}));
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(dataset.RecNo(), 2);
  EXPECT_EQ(dataset.FieldByName("N").AsString(), "2");
  dataset.Next();  // the cursor still moves on from where it was
  EXPECT_EQ(dataset.RecNo(), 3);
  dataset.Close();
}

}  // namespace
}  // namespace ui
