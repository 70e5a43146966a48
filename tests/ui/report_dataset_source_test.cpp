// A dataset read as a report connection: its rows in order, Cyrillic decoded
// from code page 1251, trailing blanks removed, a closed dataset empty.
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
  dataset.Close();
}

}  // namespace
}  // namespace ui
