// What the data entry window does (see data_entry_dlg.h): its activation with
// the carry-over offer, the totals, the position label, the navigator's
// rules, deleting with the pack, the keys, the cell colours and the country
// hint.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QTimer>

#include "records/complete_amount.h"
#include "records/data_entry_dlg.h"

#include <exception>
#include "records/income_row.h"
#include "records/income_totals.h"
#include "records/insert_edit_dlg.h"
#include "records/list_cell_colours.h"
#include "records/total_persons_dlg.h"
#include "settings/payer_check.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/choose_directory.h"
#include "shell/display_texts.h"
#include "shell/window_flags.h"
#include "ui/codepage.h"
#include "ui/db_grid.h"
#include "ui/engine_text.h"
#include "ui/ui_driver.h"
#include "xbase/dataset/dataset_types.h"
#include "xbase/xbase_error.h"

namespace records {
namespace {

const QString kWarningCaption = QString::fromUtf8(shell::kWarningTitle);
const QString kInfoCaption = QString::fromUtf8(shell::kInformationTitle);
const QString kDeleteCaption = QStringLiteral("Изтриване на ред");

BrowseMode ModeOf(xb::TDataSetState state) {
  switch (state) {
    case xb::TDataSetState::dsBrowse:
      return BrowseMode::kBrowse;
    case xb::TDataSetState::dsEdit:
      return BrowseMode::kEdit;
    case xb::TDataSetState::dsInsert:
      return BrowseMode::kInsert;
    default:
      return BrowseMode::kOther;
  }
}

}  // namespace

void TDataEntryDlg::SetRecordEditor(TInsertEditDlg *editor) {
  editor_ = editor;
  if (editor_) editor_->SetTableDataSet(&table_);
}

void TDataEntryDlg::SetPersonsDialog(TTotalPersonsDlg *dialog) { persons_dlg_ = dialog; }

QString TDataEntryDlg::TablePath() const {
  return shell::DataFile(QString::fromUtf8(shell::kIncomeTableName));
}

// ---- Activation ------------------------------------------------------------------

void TDataEntryDlg::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  // Once per showing, after the window is up, so that the questions of the
  // activation appear over it.
  if (activation_attached_) {
    QTimer::singleShot(0, this, [this] {
      if (isVisible()) FormActivate();
    });
  }
}

void TDataEntryDlg::OpenTable(xb::TXbaseDataSet &dataset) {
  if (dataset.Active()) return;
  // The program's data directory, as it is now (tests move the program).
  dataset.SetDatabaseName(ui::EnginePath(shell::DataDir()));
  dataset.Open();
}

int TDataEntryDlg::exec() {
  // Opened before the window shows, so that a table it cannot use never
  // looks like an empty year.
  if (!OpenIncomeTable()) return QDialog::Rejected;
  return QDialog::exec();
}

bool TDataEntryDlg::OpenIncomeTable() {
  QString engine_text;
  try {
    OpenTable(table_);
    return true;
  } catch (const xb::EXbaseError &e) {
    engine_text = ui::EngineErrorText(e.what());
  } catch (const xb::EDatabaseError &e) {
    engine_text = ui::EngineErrorText(e.what());
  }
  const QString path = TablePath();
  const QFileInfo file(path);
  const TableRefusal reason = !file.exists()      ? TableRefusal::kMissing
                              : !file.isWritable() ? TableRefusal::kReadOnly
                                                   : TableRefusal::kInUse;
  ui::MessageBox(isVisible() ? this : parentWidget(), kWarningCaption,
                 TableRefusalText(reason, QDir::toNativeSeparators(path), engine_text),
                 ui::Icon::kWarning);
  return false;
}

void TDataEntryDlg::FormActivate() {
  // Shown without exec (the table was not opened first): closes again.
  if (!OpenIncomeTable()) {
    reject();
    return;
  }
  if (table_.IsEmpty()) OfferCarryOver();
  OpenTable(incomes_);
  OpenTable(countries_);
  {
    xb::TViewsSuspended suspended(table_);
    const TableSums sums = SumIncomeTableFile(TablePath());
    FollowDeletedRows(sums.has_deleted_rows);
    ShowTotals(sums.totals);
    table_.First();
  }
  FillPayerPanel();
  grid_->setFocus();
}

void TDataEntryDlg::OfferCarryOver() {
  const QString offer = QStringLiteral(
      "\nАко желаете да прехвърлите данни от предходна година,     \n\n   изберете директорията на "
      "предходната инсталация, \n    и вътре в нея изберете поддиректория <Data>\n               "
      "          (в следващия диалог) !");
  if (ui::MessageBox(this, kWarningCaption, offer, ui::Icon::kWarning, ui::Buttons::kYesNo) !=
      ui::Answer::kYes) {
    ui::MessageBox(this, kInfoCaption,
                   QStringLiteral("Отказ от прехвърляне на данни от предходна година !    "),
                   ui::Icon::kInformation);
    return;
  }
  for (;;) {
    const QString directory = shell::ChooseDirectory(this);
    if (directory.isEmpty()) {
      ui::MessageBox(this, kInfoCaption,
                     QStringLiteral("Отказ от избор на път до данни от предходна година !    "),
                     ui::Icon::kInformation);
      return;
    }
    if (QFileInfo(directory + QLatin1Char('/') + QString::fromUtf8(shell::kIncomeTableName))
            .isFile()) {
      if (carry_over_) {
        xb::TViewsSuspended suspended(table_);
        carry_over_(this, table_, directory);
      }
      return;
    }
    ui::MessageBox(this, kWarningCaption,
                   QStringLiteral("В <") + directory +
                       QStringLiteral("/> няма файл dvel.dbf     ") + QStringLiteral("\n") +
                       QStringLiteral("Изберете друга директория или натиснете Cancel     "),
                   ui::Icon::kWarning);
  }
}

void TDataEntryDlg::FillPayerPanel() {
  year_label_->setText(settings::GetFiscalYear() + QStringLiteral(" г."));
  for (const PayerValue &v : payer_values_) v.label->setText(v.get());
  // A status word outside the four leaves both boxes as they were.
  bool stopped = false, target = false;
  if (settings::StatusFlags(settings::GetStatus(), &stopped, &target)) {
    stopped_box_->setChecked(stopped);
    target_box_->setChecked(target);
  }
}

void TDataEntryDlg::done(int result) {
  // Closing the window closes its tables; the next showing opens them again.
  if (table_.Active() && table_.State() != xb::TDataSetState::dsBrowse) table_.Cancel();
  table_.Close();
  incomes_.Close();
  countries_.Close();
  grid_->SetHint(QString());
  QDialog::done(result);
}

// ---- Totals and the position label --------------------------------------------------

void TDataEntryDlg::ShowTotals(const AmountTotals &totals) {
  income_total_->setText(CompleteAmount(FormatTotal(totals.income)));
  tax_total_->setText(CompleteAmount(FormatTotal(totals.tax)));
  income_total_->repaint();
  tax_total_->repaint();
}

QString TDataEntryDlg::IncomeTotalText() const { return income_total_->text(); }
QString TDataEntryDlg::TaxTotalText() const { return tax_total_->text(); }

void TDataEntryDlg::XbaseDataSet1AfterPost() { ShowTotals(SumIncomeTableFile(TablePath()).totals); }

void TDataEntryDlg::FollowDeletedRows(bool present) {
  // Rows marked deleted leave gaps in the record numbers: the grid then walks
  // the visible rows instead of reading them by number (a filter that lets
  // every row pass does that), and the record count is counted, not read.
  if (table_.Filtered() == present) return;
  table_.ExactCount = present;
  table_.SetFiltered(present);
}

void TDataEntryDlg::UpdatePositionLabel() {
  if (!position_label_) return;
  const BrowseMode mode = ModeOf(table_.State());
  qint64 record = 0, count = 0;
  if (table_.Active() && !table_.IsEmpty()) {
    record = table_.RecNo();
    count = table_.RecordCount();
  }
  position_label_->setText(PositionLabelText(mode, record, count));
}

// ---- Deleting and packing ---------------------------------------------------------------

bool TDataEntryDlg::ConfirmDeletion(const QString &empty_text) {
  if (!table_.Active() || table_.IsEmpty()) {
    ui::MessageBox(this, kDeleteCaption, empty_text, ui::Icon::kNone);
    return false;
  }
  return ui::MessageBox(this, kDeleteCaption, QStringLiteral("Сигурни ли сте ?   "),
                        ui::Icon::kQuestion, ui::Buttons::kYesNo) == ui::Answer::kYes;
}

void TDataEntryDlg::WithTableClosed(const std::function<void()> &work) {
  xb::TViewsSuspended suspended(table_);
  table_.Close();
  std::exception_ptr failure;
  try {
    work();
  } catch (...) {
    failure = std::current_exception();
  }
  const TableSums sums = SumIncomeTableFile(TablePath());
  ShowTotals(sums.totals);
  FollowDeletedRows(sums.has_deleted_rows);
  table_.Open();
  if (failure) std::rethrow_exception(failure);
}

bool TDataEntryDlg::PackTable() {
  const QString path = TablePath();
  std::optional<TableSums> sums;
  QString failure;
  {
    xb::TViewsSuspended suspended(table_);
    table_.Close();
    try {
      sums = PackIncomeTableFile(path);
    } catch (const xb::EXbaseError &e) {
      // Another program (or table object) has the file open: the deleted row
      // stays in the file, marked and hidden, until a later pack.
      failure = ui::EngineErrorText(e.what());
      sums = SumIncomeTableFile(path);
    }
    ShowTotals(sums->totals);
    FollowDeletedRows(sums->has_deleted_rows);
    table_.Open();
  }
  if (!failure.isEmpty()) {
    ui::MessageBox(this, kWarningCaption,
                   QStringLiteral("Файлът dvel.dbf не беше уплътнен, защото се използва от друга "
                                  "програма:\n") +
                       failure +
                       QStringLiteral("\n\nИзтритите редове остават в него маркирани: не се "
                                      "показват и не влизат в сумите. Файлът ще бъде уплътнен при "
                                      "следващото изтриване или при създаването на файла за "
                                      "ВЕСКОР, след като другата програма го затвори."),
                   ui::Icon::kWarning);
  }
  return failure.isEmpty();
}

// ---- The navigator and the record editor ------------------------------------------------

void TDataEntryDlg::ShowEditor() {
  if (editor_) ui::ShowModal(editor_);
}

void TDataEntryDlg::XbaseNavigator1BeforeAction(ui::TXbaseNavigateBtn button) {
  using B = ui::TXbaseNavigateBtn;
  shell::InsertMode = false;
  shell::EditMode = false;
  switch (button) {
    case B::nbInsert:
      shell::InsertMode = true;
      ShowEditor();
      throw ui::EAbortAction();
    case B::nbEdit:
      shell::EditMode = true;
      switch (
          CarriedOverEditAction(RowGet(table_, kF10), RowGet(table_, kF06), RowGet(table_, kF04))) {
        case CarriedOverEdit::kStoreCondominiumCode:
          table_.Edit();
          RowPut(table_, kF10, QStringLiteral("820"));
          table_.Post();
          break;
        case CarriedOverEdit::kTellToChooseKind:
          ui::MessageBox(this, kInfoCaption, QString::fromUtf8(kChooseInterestKindText),
                         ui::Icon::kNone);
          break;
        case CarriedOverEdit::kNothing:
          break;
      }
      ShowEditor();
      throw ui::EAbortAction();
    case B::nbDelete:
      if (!ConfirmDeletion(QStringLiteral("        Няма данни !     "))) throw ui::EAbortAction();
      break;
    default:
      break;
  }
}

// ---- Export, printing and the persons count -------------------------------------------

bool TDataEntryDlg::AskPersonsCount() {
  if (!persons_dlg_) return false;
  return persons_dlg_->AskPersonsCount(table_.RecordCount(), &persons_count_) == QDialog::Accepted;
}

void TDataEntryDlg::BitBtn1Click() {
  if (export_) export_(*this);
}

void TDataEntryDlg::SpeedButton1Click() {
  if (print_) print_(*this);
}

// ---- Keys, cells and the hint ------------------------------------------------------------

bool TDataEntryDlg::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::KeyPress && isAncestorOf(qobject_cast<QWidget *>(watched)))
    return KeyPress(watched, static_cast<QKeyEvent *>(event));
  return QDialog::eventFilter(watched, event);
}

bool TDataEntryDlg::KeyPress(QObject *watched, QKeyEvent *event) {
  if (event->modifiers() & Qt::ControlModifier) {
    if (event->key() == Qt::Key_Delete) {
      if (ConfirmDeletion(QStringLiteral("        Няма данни !"))) table_.Delete();
    } else if (event->key() == Qt::Key_Insert) {
      shell::EditMode = false;
      shell::InsertMode = true;
      ShowEditor();
    }
    // Every other key with Ctrl held does nothing.
    return true;
  }
  if (event->key() == Qt::Key_Escape) {
    reject();
    return true;
  }
  // Down on the last row never starts a new row.
  if (event->key() == Qt::Key_Down && watched == grid_ && table_.Active() &&
      (table_.IsEmpty() || grid_->Model().CurrentRow() >= grid_->Model().rowCount() - 1)) {
    return true;
  }
  return false;
}

bool TDataEntryDlg::DrawCell(QPainter &painter, const QStyleOptionViewItem &option, int row,
                             int column) {
  const bool current = row == grid_->Model().CurrentRow();
  const bool focused = current && (option.state & QStyle::State_HasFocus);
  const CellColours colours = ListCellColours(current, focused);
  // Other rows keep the grid's text colour; the current row's text is black.
  const QColor text_colour = colours.text.isValid() ? colours.text
                             : current              ? QColor(Qt::black)
                                                    : option.palette.color(QPalette::Text);
  painter.fillRect(option.rect, colours.background);
  const QModelIndex index = grid_->Model().index(row, column);
  QString text = index.data(Qt::DisplayRole).toString();
  if (grid_->Model().Column(column).fieldName == QLatin1String(kF02))
    text = text == QLatin1String("1") ? QStringLiteral("Да") : QStringLiteral("Не");
  const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
  painter.setPen(text_colour);
  painter.setFont(option.font);
  painter.drawText(option.rect.adjusted(2, 0, -2, 0), alignment | Qt::TextSingleLine,
                   option.fontMetrics.elidedText(text, Qt::ElideRight, option.rect.width() - 4));
  return true;
}

void TDataEntryDlg::CRDBGrid1CellClick(int column) {
  QString hint;
  if (column >= 0 && grid_->Model().Column(column).fieldName == QLatin1String(kF06) &&
      countries_.Active()) {
    const QString code = RowGet(table_, kF06);
    if (!code.isEmpty()) {
      if (const auto found = countries_.Lookup("Code", {codepage::ToCp1251(code)}, "Name")) {
        const std::string *name =
            found->empty() || !(*found)[0] ? nullptr : std::get_if<std::string>(&*(*found)[0]);
        if (name) hint = codepage::FromCp1251(*name);
      }
    }
  }
  grid_->SetHint(hint);
}

}  // namespace records
