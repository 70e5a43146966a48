// The data grid: rows read on demand from a large dataset, the current row
// in step with the dataset both ways, titles, alignment, read-only columns,
// editing and the cell drawing hook; headless, on an in-memory dataset.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QTest>

#include "support/common/memory_dataset.h"
#include "ui/db_grid.h"

namespace {

using testing_support::TMemoryDataSet;

std::unique_ptr<TMemoryDataSet> MakeTable(int rows) {
  auto ds = std::make_unique<TMemoryDataSet>(std::vector<TMemoryDataSet::Column>{
      {"ID", xb::TFieldType::ftInteger, 6}, {"NAME", xb::TFieldType::ftString, 10}});
  for (int i = 1; i <= rows; ++i) ds->AddRow({std::to_string(i), "row" + std::to_string(i)});
  return ds;
}

QString Cell(ui::TDBGrid &grid, int row, int column) {
  return grid.model()->data(grid.model()->index(row, column), Qt::DisplayRole).toString();
}

TEST(DBGrid, LargeTableIsReadOnlyWhereShown) {
  auto ds = MakeTable(100000);
  xb::TDataSource source(ds.get());
  ui::TDBGrid grid;
  grid.resize(400, 300);
  grid.SetDataSource(&source);
  grid.show();
  ds->Open();
  QCoreApplication::processEvents();
  EXPECT_EQ(grid.model()->rowCount(), 100000);
  EXPECT_EQ(Cell(grid, 0, 1), "row1");
  grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->maximum());
  grid.viewport()->grab();
  EXPECT_EQ(Cell(grid, 99999, 0), "100000");
  grid.verticalScrollBar()->setValue(0);
  grid.viewport()->grab();
  ds->Last();
  EXPECT_EQ(grid.currentIndex().row(), 99999);
  ds->First();
  EXPECT_EQ(grid.currentIndex().row(), 0);
  grid.viewport()->grab();
  EXPECT_GT(ds->reads, 20);  // the pages shown were read
  EXPECT_LT(ds->reads, 2000);
}

TEST(DBGrid, CurrentRowAndDatasetFollowEachOther) {
  auto ds = MakeTable(50);
  xb::TDataSource source(ds.get());
  ui::TDBGrid grid;
  grid.SetDataSource(&source);
  ds->Open();
  ds->MoveBy(3);
  EXPECT_EQ(grid.currentIndex().row(), 3);
  grid.setCurrentIndex(grid.model()->index(7, 1));
  EXPECT_EQ(ds->FieldByName("ID").AsInteger(), 8);
  grid.setCurrentIndex(grid.model()->index(45, 1));  // a far jump
  EXPECT_EQ(ds->FieldByName("ID").AsInteger(), 46);
  ds->Insert();
  EXPECT_EQ(grid.model()->rowCount(), 51);
  EXPECT_EQ(grid.currentIndex().row(), 50);
  ds->Cancel();
  EXPECT_EQ(grid.model()->rowCount(), 50);
  EXPECT_EQ(grid.currentIndex().row(), 45);
  ds->Delete();
  EXPECT_EQ(grid.model()->rowCount(), 49);
  EXPECT_EQ(Cell(grid, 45, 0), "47");
  ds->Close();
  EXPECT_EQ(grid.model()->rowCount(), 0);
}

TEST(DBGrid, FilteredDatasetIsWalkedAsNeeded) {
  auto ds = MakeTable(2000);
  ds->OnFilterRecord = [](xb::TDataSet &d, bool &accept) {
    accept = d.FieldByName("ID").AsInteger() % 2 == 0;
  };
  ds->SetFiltered(true);
  xb::TDataSource source(ds.get());
  ui::TDBGrid grid;
  grid.SetDataSource(&source);
  ds->Open();
  EXPECT_EQ(Cell(grid, 0, 0), "2");
  EXPECT_LT(grid.model()->rowCount(), 1000);  // not all walked yet
  ds->Last();
  EXPECT_EQ(grid.model()->rowCount(), 1000);
  EXPECT_EQ(grid.currentIndex().row(), 999);
  EXPECT_EQ(Cell(grid, 999, 0), "2000");
  grid.setCurrentIndex(grid.model()->index(10, 0));
  EXPECT_EQ(ds->FieldByName("ID").AsInteger(), 22);
}

TEST(DBGrid, ColumnsCarryTitlesWidthsAlignmentAndReadOnly) {
  auto ds = MakeTable(3);
  xb::TDataSource source(ds.get());
  ui::TDBGrid grid;
  grid.SetDataSource(&source);
  ds->Open();
  EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "NAME");
  EXPECT_EQ(
      grid.model()->data(grid.model()->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
      Qt::AlignRight | Qt::AlignVCenter);
  ui::TGridColumn name{"NAME", QStringLiteral("Име|на лицето"), 120};
  name.alignment = Qt::AlignHCenter;
  name.titleAlignment = Qt::AlignLeft;
  ui::TGridColumn id{"ID", "No", 40};
  id.readOnly = true;
  grid.SetColumns({name, id});
  EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Име\nна лицето"));
  EXPECT_EQ(
      grid.model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
      Qt::AlignLeft | Qt::AlignVCenter);
  EXPECT_FALSE(grid.model()->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).isValid());
  EXPECT_EQ(grid.columnWidth(0), 120);
  EXPECT_EQ(
      grid.model()->data(grid.model()->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
      Qt::AlignHCenter | Qt::AlignVCenter);
  EXPECT_FALSE(grid.model()->flags(grid.model()->index(0, 1)) & Qt::ItemIsEditable);
  ASSERT_TRUE(grid.model()->flags(grid.model()->index(1, 0)) & Qt::ItemIsEditable);
  EXPECT_TRUE(grid.model()->setData(grid.model()->index(1, 0), QStringLiteral("Мария")));
  EXPECT_EQ(ds->State(), xb::TDataSetState::dsBrowse);
  EXPECT_EQ(ds->FieldByName("ID").AsInteger(), 2);
  EXPECT_EQ(Cell(grid, 1, 0), QStringLiteral("Мария"));
  EXPECT_FALSE(grid.model()->setData(grid.model()->index(1, 1), "9"));
}

TEST(DBGrid, DrawHookSeesEveryShownCell) {
  auto ds = MakeTable(3);
  xb::TDataSource source(ds.get());
  ui::TDBGrid grid;
  grid.resize(300, 200);
  int drawn = 0;
  grid.OnDrawColumnCell = [&](QPainter &, const QStyleOptionViewItem &, int, int column,
                              xb::TField *field) {
    ++drawn;
    EXPECT_EQ(field, &field->DataSet().Field(column));
    return true;
  };
  grid.SetDataSource(&source);
  grid.SetHint(QStringLiteral("Редове"));
  ds->Open();
  grid.show();
  QCoreApplication::processEvents();
  drawn = 0;
  grid.viewport()->grab();
  EXPECT_EQ(drawn, 6);
  EXPECT_EQ(grid.toolTip(), QStringLiteral("Редове"));
}

}  // namespace

namespace {

// A window closes and reopens its dataset with the views disabled (the pack
// after a deletion); a paint in between must not read the closed dataset or
// the fields it dropped.
TEST(DBGrid, DatasetClosedWhileControlsAreDisabledShowsNothing) {
  auto ds = MakeTable(3);
  xb::TDataSource source(ds.get());
  ui::TDBGrid grid;
  grid.SetDataSource(&source);
  ds->Open();
  ASSERT_EQ(Cell(grid, 1, 1), "row2");
  ds->DisableControls();
  ds->Close();
  EXPECT_EQ(grid.Model().ColumnField(1), nullptr);
  EXPECT_EQ(Cell(grid, 0, 1), "");
  EXPECT_EQ(Cell(grid, 1, 1), "");
  ds->Open();
  ds->EnableControls();
  EXPECT_EQ(Cell(grid, 1, 1), "row2");
}

}  // namespace
