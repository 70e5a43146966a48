// TDataEntryDlg, the data entry window ("Въвеждане"): the payer's data from
// the settings file, a read-only grid over the income table with the totals,
// the position label and the navigator. Rows are typed in the record editor,
// which this window opens; deleting happens here and packs the file at once.
// Its buttons start the agency file export and the printing of the report.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "records/data_entry_rules.h"
#include "ui/xbase_navigator.h"
#include "xbase/dataset/dataset_link.h"
#include "xbase/dataset/xbase_dataset.h"

class QCheckBox;
class QHBoxLayout;
class QPainter;
class QStyleOptionViewItem;
class QLabel;
class QPushButton;
class QToolButton;

namespace ui {
class TDBGrid;
}

namespace records {

class TInsertEditDlg;
class TTotalPersonsDlg;

class TDataEntryDlg : public QDialog {
 public:
  // An operation started from one of the window's buttons.
  using Operation = std::function<void(TDataEntryDlg &)>;
  // Copies the rows of <directory>/dvel.dbf into the table after asking the
  // user; the number of rows copied.
  using CarryOver = std::function<int(QWidget *, xb::TXbaseDataSet &, const QString &directory)>;

  explicit TDataEntryDlg(QWidget *parent = nullptr);
  ~TDataEntryDlg() override;

  // The windows this one opens (not owned). The record editor is handed the
  // table dataset here.
  void SetRecordEditor(TInsertEditDlg *editor);
  void SetPersonsDialog(TTotalPersonsDlg *dialog);
  // The export ("Файл за ВЕСКОР") and the printing; each button stays
  // disabled while its operation is not set.
  void SetExport(Operation operation);
  void SetPrint(Operation operation);
  // The import of rows from a file ("Внос") and their export to CSV.
  void SetImport(Operation operation);
  void SetCsvExport(Operation operation);
  // Runs `work` with the table dataset closed (so that the table file may be
  // replaced), then shows the table again: totals, first row.
  void WithTableClosed(const std::function<void()> &work);
  // The carry-over from the previous year (CarryOverRows unless replaced).
  void SetCarryOver(CarryOver carry_over) { carry_over_ = std::move(carry_over); }

  // What the export and the printing use of the window.
  xb::TXbaseDataSet &Table() { return table_; }
  xb::TXbaseDataSet &Incomes() { return incomes_; }
  // The number of persons confirmed last; empty until the first time.
  const QString &PersonsCount() const { return persons_count_; }
  // Shows the number-of-persons dialog for the table's rows; true when a
  // number was confirmed (it is then PersonsCount).
  bool AskPersonsCount();
  // Detaches (false) and attaches again (true) the activation step, so that
  // a report shown over the window does not set it up again.
  void SetActivationAttached(bool attached) { activation_attached_ = attached; }
  // The totals as the window shows them.
  QString IncomeTotalText() const;
  QString TaxTotalText() const;
  // The steps after a deletion: closes the table dataset, packs the file
  // (it needs the file alone), shows the totals and opens the dataset again
  // on its first row. When the file cannot be packed the user is told why,
  // the deleted rows stay marked in the file (they are not shown) and the
  // result is false.
  bool PackTable();

  // Shows the window modally once its table is open; when the table cannot
  // be used the user is told why and the window stays closed (Rejected).
  int exec() override;
  // Each showing fits the window to the screen it opens on.
  void setVisible(bool visible) override;

  // Handlers, named after their component and event.
  void FormActivate();
  void ShowTotals(const AmountTotals &totals);
  void XbaseDataSet1AfterPost();
  void XbaseDataSet1AfterDelete() { PackTable(); }
  void XbaseNavigator1BeforeAction(ui::TXbaseNavigateBtn button);
  void CRDBGrid1CellClick(int column);
  void BitBtn1Click();
  void SpeedButton1Click();

 protected:
  void showEvent(QShowEvent *event) override;
  void done(int result) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

 private:
  QWidget *BuildTitle();
  QWidget *BuildPayerPanel();
  QWidget *BuildNotice();
  void BuildGrid();
  QWidget *BuildLegend();
  QWidget *BuildTotals();
  QWidget *BuildButtons();
  void AddTransferButtons(QWidget *bar, QHBoxLayout *row);
  QLabel *ValueLabel(const char *name);
  // The grid's height with its titles and `rows` rows.
  int GridHeight(int rows) const;
  void FitToScreen();
  // The grid shows at least the least rows and grows with the screen up
  // to the most; the allowance is the window's frame and title bar.
  static constexpr int kLeastGridRows = 6;
  static constexpr int kMostGridRows = 30;
  static constexpr int kFrameAllowance = 40;
  void OpenTable(xb::TXbaseDataSet &dataset);
  // Opens the income table; false, after telling the user, when it cannot.
  bool OpenIncomeTable();
  void FollowDeletedRows(bool present);
  void FillPayerPanel();
  void OfferCarryOver();
  void UpdatePositionLabel();
  void ShowEditor();
  // Asks before a deletion; false (nothing to delete, or No) abandons it.
  bool ConfirmDeletion(const QString &empty_text);
  bool KeyPress(QObject *watched, QKeyEvent *event);
  bool DrawCell(QPainter &painter, const QStyleOptionViewItem &option, int row, int column);
  QString TablePath() const;

  xb::TXbaseDataSet table_;      // XbaseDataSet1, dvel.dbf
  xb::TXbaseDataSet incomes_;    // Incomes.dbf, read-only
  xb::TXbaseDataSet countries_;  // Countries.dbf, for the grid's hint
  xb::TDataSource source_;       // DataSource1
  TInsertEditDlg *editor_ = nullptr;
  TTotalPersonsDlg *persons_dlg_ = nullptr;
  Operation export_, print_, import_, csv_export_;
  CarryOver carry_over_;
  QString persons_count_;
  bool activation_attached_ = true;

  ui::TDBGrid *grid_ = nullptr;
  ui::TXbaseNavigator *navigator_ = nullptr;
  QLabel *year_label_ = nullptr;
  QLabel *position_label_ = nullptr;
  QLabel *income_total_ = nullptr;
  QLabel *tax_total_ = nullptr;
  QCheckBox *stopped_box_ = nullptr;
  QCheckBox *target_box_ = nullptr;
  QPushButton *export_btn_ = nullptr;
  QToolButton *print_btn_ = nullptr;
  QPushButton *cancel_btn_ = nullptr;
  QPushButton *import_btn_ = nullptr;
  QPushButton *csv_export_btn_ = nullptr;
  struct PayerValue {
    QLabel *label;
    std::function<QString()> get;
  };
  std::vector<PayerValue> payer_values_;
};

}  // namespace records
