// TPickListDlg: what the record editor's two pick lists share. A modal
// window over one read-only reference table of the data directory, with a
// read-only grid and the buttons "Избор" and "Отказ" (Esc). The table is
// open only while the window shows; a double click, Enter in the grid or
// "Избор" hands the current row to the derived window's ChooseRow.
#pragma once

#include <QDialog>
#include <QString>

#include "xbase/dataset/dataset_link.h"
#include "xbase/dataset/xbase_dataset.h"

class QPushButton;

namespace ui {
class TDBGrid;
struct TGridColumn;
}  // namespace ui

namespace records {

class TInsertEditDlg;

// A read-only column of a pick list's grid.
ui::TGridColumn ReadOnlyColumn(const char *field, const QString &title, int width);

class TPickListDlg : public QDialog {
 public:
  ~TPickListDlg() override;

  // The directory of the table (the program's data directory when not set).
  void SetDataDir(const QString &dir) { data_dir_ = dir; }

  // Shows the list modally for `editor`, which a choice writes into.
  // Engine errors of the opening pass through, with the table closed again.
  int Execute(TInsertEditDlg &editor);

  // "Избор", a double click or Enter in the grid.
  void BitBtn1Click();

  xb::TXbaseDataSet &DataSet() { return table_; }
  ui::TDBGrid *Grid() const { return grid_; }

 protected:
  TPickListDlg(QWidget *parent, const char *object_name, const QString &caption,
               const char *table_name);

  // After the table opened: order, position, bound controls.
  virtual void FormActivate(TInsertEditDlg &editor) = 0;
  // The current row was chosen: warn and stay, or write it and accept().
  virtual void ChooseRow(TInsertEditDlg &editor) = 0;

  // A field of the current row, decoded, without trailing blanks.
  QString CurrentText(const char *field);
  // Moves to the row whose field equals `value` exactly (no move when none).
  void LocateExact(const char *field, const QString &value);
  void Warn(const QString &text);

  void showEvent(QShowEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

  ui::TDBGrid *grid_;
  QPushButton *choose_btn_;
  QPushButton *cancel_btn_;
  xb::TDataSource source_;

 private:
  QString data_dir_;
  TInsertEditDlg *editor_ = nullptr;
  xb::TXbaseDataSet table_;
};

}  // namespace records
