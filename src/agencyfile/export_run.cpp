// The export and the printing as the data entry window runs them; see
// export_run.h.
#include "agencyfile/export_run.h"

#include <QFileInfo>
#include <optional>

#include "agencyfile/agency_record.h"
#include "agencyfile/export_file.h"
#include "agencyfile/export_rows.h"
#include "agencyfile/report_parameters.h"
#include "agencyfile/report_printing.h"
#include "records/data_entry_dlg.h"
#include "records/income_records.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/choose_directory.h"
#include "shell/display_texts.h"
#include "ui/progress.h"
#include "ui/report_dataset_source.h"
#include "ui/report_renderer.h"
#include "ui/ui_driver.h"
#include "xbase/dataset/xbase_dataset.h"

namespace agencyfile {
namespace {

const char kNumberingLabel[] = "Проверка и номериране на редовете ...";
const char kWritingLabel[] = "Създаване на файла за ВЕСКОР ...";

enum class Prepared { kStopped, kStoppedAtIncompleteRow, kReady };

// Suspends the views and at the end puts the dataset on a row, which it
// reads again: a walk over the table object may have moved and rewritten it
// behind the dataset's back. The row is the remembered one (the current row
// unless given), or the record named by MoveTo (0 for the first row).
class RowRemembered {
 public:
  explicit RowRemembered(xb::TDataSet &table) : RowRemembered(table, table.GetBookmark()) {}
  RowRemembered(xb::TDataSet &table, xb::TBookmark bookmark)
      : table_(table), bookmark_(std::move(bookmark)), suspended_(table) {}
  ~RowRemembered() {
    try {
      if (!table_.Active()) return;
      if (record_ > 0) {
        table_.SetRecNo(static_cast<int>(record_));
      } else if (record_ == 0 || bookmark_.empty()) {
        table_.First();
      } else {
        table_.GotoBookmark(bookmark_);
      }
    } catch (...) {
      try {
        table_.First();
      } catch (...) {
        // Nothing more to try; the views are resumed all the same.
      }
    }
  }
  RowRemembered(const RowRemembered &) = delete;
  RowRemembered &operator=(const RowRemembered &) = delete;
  void MoveTo(int64_t record) { record_ = record; }

 private:
  xb::TDataSet &table_;
  xb::TBookmark bookmark_;
  int64_t record_ = -1;
  xb::TViewsSuspended suspended_;  // resumed after the move
};

// Steps shared by the export and the printing: the empty-table message, the
// refusal of more rows than the agency file can hold (before any walk over
// the rows or any question), the pack of a table with gaps, the numbering
// walk and the persons count. `refused` begins the refusal's message.
Prepared PrepareRows(const DataEntryHost &host, const QString &empty_caption,
                     const QString &refused) {
  xb::TXbaseDataSet &table = *host.table;
  if (table.IsEmpty() || table.RecordCount() == 0) {
    ui::MessageBox(host.window, empty_caption, QString::fromUtf8(kNoDataText),
                   ui::Icon::kInformation);
    return Prepared::kStopped;
  }
  // Rows marked deleted leave gaps in the record numbers that the detail
  // records carry; a pack that failed earlier can leave such rows behind.
  int64_t deleted = 0, rows = 0;
  {
    RowRemembered read_again(table);
    deleted = records::CountDeletedRecords(*table.Table());
    rows = table.Table()->RecordCount() - deleted;
  }
  if (rows > kMaxDetailRecords) {
    ui::MessageBox(host.window, QString::fromUtf8(shell::kWarningTitle),
                   refused + u'\n' + TooManyRecordsText(), ui::Icon::kWarning);
    return Prepared::kStopped;
  }
  // Detail records must be numbered without gaps: a table that still cannot
  // be packed stops the operation.
  if (deleted > 0 && host.pack_table && !host.pack_table()) return Prepared::kStopped;
  Numbering numbering;
  {
    RowRemembered read_again(table);
    ui::Progress progress(host.window, empty_caption, QString::fromUtf8(kNumberingLabel), rows);
    numbering = NumberCompleteRows(*table.Table(), progress.Callback());
    // The first row for the persons count, or the incomplete row to show.
    read_again.MoveTo(numbering.incomplete_record);
  }
  if (!numbering.complete()) {
    ui::MessageBox(host.window, QString::fromUtf8(shell::kWarningTitle),
                   QString::fromUtf8(kIncompleteRowText), ui::Icon::kWarning);
    return Prepared::kStoppedAtIncompleteRow;
  }
  return host.ask_persons_count && host.ask_persons_count() ? Prepared::kReady : Prepared::kStopped;
}

// The two data connections of the reports; without an income code table
// the report names the missing connection instead of reading past it.
struct ReportConnections {
  ui::DataSetRowSource rows;
  std::optional<ui::DataSetRowSource> incomes;
  ReportConnections(const DataEntryHost &host, ui::ReportRenderer &renderer) : rows(*host.table) {
    renderer.SetConnection(QStringLiteral("RvDataSetConnection1"), &rows);
    if (host.incomes) {
      incomes.emplace(*host.incomes);
      renderer.SetConnection(QStringLiteral("RvDataSetConnection2"), &*incomes);
    }
  }
};

bool SameFolder(const QString &a, const QString &b) {
  const QString ca = QFileInfo(a).canonicalFilePath();
  return a == b || (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath());
}

}  // namespace

DataEntryHost HostOf(records::TDataEntryDlg &window) {
  DataEntryHost host;
  host.window = &window;
  host.table = &window.Table();
  host.incomes = &window.Incomes();
  host.ask_persons_count = [&window] { return window.AskPersonsCount(); };
  host.persons_count = &window.PersonsCount();
  host.set_activation_handler = [&window](bool on) { window.SetActivationAttached(on); };
  host.pack_table = [&window] { return window.PackTable(); };
  host.income_total = [&window] { return window.IncomeTotalText(); };
  host.tax_total = [&window] { return window.TaxTotalText(); };
  return host;
}

QString AgencyFilePath(const QString &payer_id) {
  return shell::DataFile(payer_id + QStringLiteral(".txt"));
}

void ExportAgencyFile(const DataEntryHost &host) {
  xb::TXbaseDataSet &table = *host.table;
  const QString caption = QString::fromUtf8(kExportCaption);
  const QString not_created = QStringLiteral("Файлът за ВЕСКОР не е създаден.");
  const QString payer_id = settings::GetOwnerNo();
  if (PrepareRows(host, caption, not_created) != Prepared::kReady) return;
  const int rows = table.RecordCount();
  const QString persons = host.persons_count ? *host.persons_count : QString();

  RowRemembered remembered(table);
  const QString question = QStringLiteral("Потвърдете създаване на файл за ВЕСКОР     \nс ") +
                           QString::number(rows) + QStringLiteral(" реда, за ") + persons +
                           QStringLiteral(" лица получили доходи !");
  if (ui::MessageBox(host.window, QString::fromUtf8(kConfirmCaption), question, ui::Icon::kWarning,
                     ui::Buttons::kYesNo) != ui::Answer::kYes)
    return;

  const QString path = AgencyFilePath(payer_id);
  std::optional<AgencyFileText> text;
  QString failure;
  {
    RowRemembered read_again(table);
    ui::Progress progress(host.window, QString::fromUtf8(kConfirmCaption),
                          QString::fromUtf8(kWritingLabel), rows, ui::Cancel::kAllowed);
    text =
        BuildAgencyFileFromTable(*table.Table(), rows, HeaderFromSettings(), progress.Callback());
    if (text && text->error.isEmpty()) failure = WriteAgencyFile(path, text->bytes);
  }
  if (!text) return;  // stopped by the user: the old file is left as it was
  if (!text->error.isEmpty()) {
    ui::MessageBox(host.window, QString::fromUtf8(shell::kWarningTitle),
                   not_created + u'\n' + text->error, ui::Icon::kWarning);
    return;
  }
  if (!failure.isEmpty()) {
    ui::MessageBox(host.window, caption, failure, ui::Icon::kError);
    return;
  }

  const QString folder = shell::ChooseDirectory(host.window);
  if (folder.isEmpty()) return;

  ui::ReportRenderer renderer;
  ReportConnections connections(host, renderer);
  const ReportParams params = Report2Params(persons);

  const QString own_folder = shell::AppDir() + QString::fromUtf8(shell::kDataDirName);
  const QString file_name = payer_id + QStringLiteral(".txt");
  if (!SameFolder(folder, own_folder) && !ui::CopyFileToFolder(path, folder)) {
    ui::MessageBox(host.window, QStringLiteral("Внимание"),
                   QStringLiteral("Неуспешно копиране на ") + path + QStringLiteral(" в <Dir> ") +
                       u'\n' + folder + QStringLiteral("...    ") + u'\n' +
                       QStringLiteral("копие на файла [") + file_name + QStringLiteral("] има в ") +
                       shell::DataDir() + QStringLiteral("     "),
                   ui::Icon::kWarning);
    return;
  }
  ui::MessageBox(host.window, QString::fromUtf8(shell::kInformationTitle),
                 QStringLiteral("Файла [") + file_name + QStringLiteral("] се намира в [") +
                     folder + QStringLiteral("] ..."),
                 ui::Icon::kInformation);
  RunReport(renderer, {host.window, host.set_activation_handler, caption},
            QString::fromUtf8(kReport2), params, {});
}

void PrintIncomeReport(const DataEntryHost &host) {
  xb::TXbaseDataSet &table = *host.table;
  const QString caption = QString::fromUtf8(kPrintCaption);
  // The row the user was on, for the grid to come back to.
  const xb::TBookmark row_on = table.GetBookmark();
  const Prepared prepared =
      PrepareRows(host, caption, QStringLiteral("Справката за ВЕСКОР не е отпечатана."));
  if (prepared == Prepared::kStoppedAtIncompleteRow) return;  // the row stays current
  // The report walks the rows; the grid does not follow it.
  RowRemembered remembered(table, row_on);
  if (prepared != Prepared::kReady) return;
  ui::ReportRenderer renderer;
  ReportConnections connections(host, renderer);
  const ReportParams params =
      Report1Params(table.RecordCount(), host.income_total ? host.income_total() : QString(),
                    host.tax_total ? host.tax_total() : QString());
  const QString persons = host.persons_count ? *host.persons_count : QString();
  RunReport(renderer, {host.window, host.set_activation_handler, caption},
            QString::fromUtf8(kReport1), params, {{QStringLiteral("TotalPersons"), persons}});
}

}  // namespace agencyfile
