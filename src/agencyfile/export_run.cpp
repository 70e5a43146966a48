// The export and the printing as the data entry window runs them; see
// export_run.h.
#include "agencyfile/export_run.h"

#include <QFileInfo>
#include <optional>

#include "agencyfile/export_file.h"
#include "agencyfile/export_rows.h"
#include "agencyfile/report_parameters.h"
#include "agencyfile/report_printing.h"
#include "settings/payer_settings.h"
#include "shell/globals.h"
#include "ui/report_dataset_source.h"
#include "ui/report_renderer.h"
#include "ui/ui_driver.h"
#include "xbase/dataset.h"

namespace agencyfile {
namespace {

// Rows marked deleted leave gaps in the record numbers that the detail
// records carry; a pack that failed earlier can leave such rows behind.
bool HasRecordGaps(xb::TDataSet &table) {
  int expected = 1;
  for (table.First(); !table.Eof(); table.Next(), ++expected)
    if (table.RecNo() != expected) return true;
  return table.RecordCount() != expected - 1;
}

// Steps shared by the export and the printing: the empty-table message, the
// pack of a table with gaps, the numbering walk and the persons count. False
// when the operation stops.
bool PrepareRows(const DataEntryHost &host, const QString &empty_caption) {
  xb::TDataSet &table = *host.table;
  if (table.IsEmpty() || table.RecordCount() == 0) {
    ui::MessageBox(host.window, empty_caption, QString::fromUtf8(kNoDataText),
                   ui::Icon::kInformation);
    return false;
  }
  // Detail records must be numbered without gaps: a table that still cannot
  // be packed stops the operation.
  if (host.pack_table && HasRecordGaps(table) && !host.pack_table()) return false;
  if (!NumberCompleteRows(table)) {
    ui::MessageBox(host.window, QString::fromUtf8(shell::kWarningTitle),
                   QString::fromUtf8(kIncompleteRowText), ui::Icon::kWarning);
    return false;
  }
  table.First();
  return host.ask_persons_count && host.ask_persons_count();
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

// Suspends the views and returns to the remembered row at the end.
class RowRemembered {
 public:
  explicit RowRemembered(xb::TDataSet &table)
      : table_(table), bookmark_(table.GetBookmark()), suspended_(table) {}
  ~RowRemembered() {
    try {
      if (table_.Active() && !table_.IsEmpty()) table_.GotoBookmark(bookmark_);
    } catch (...) {
      table_.First();
    }
  }

 private:
  xb::TDataSet &table_;
  xb::TBookmark bookmark_;
  xb::TViewsSuspended suspended_;  // resumed after the return to the row
};

bool SameFolder(const QString &a, const QString &b) {
  const QString ca = QFileInfo(a).canonicalFilePath();
  return a == b || (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath());
}

}  // namespace

QString AgencyFilePath(const QString &payer_id) {
  return shell::DataFile(payer_id + QStringLiteral(".txt"));
}

void ExportAgencyFile(const DataEntryHost &host) {
  xb::TDataSet &table = *host.table;
  const QString caption = QString::fromUtf8(kExportCaption);
  const QString payer_id = settings::GetOwnerNo();
  if (!PrepareRows(host, caption)) return;
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
  {
    PostHandlersDetached detached(table);
    const ExportRows read = ReadExportRows(table);
    AgencyFileText text;
    if (read.error.isEmpty())
      text = BuildAgencyFileText(HeaderFromSettings(read.total_income, read.total_tax), read.rows);
    const QString problem = read.error.isEmpty() ? text.error : read.error;
    if (!problem.isEmpty()) {
      ui::MessageBox(host.window, QString::fromUtf8(shell::kWarningTitle),
                     QStringLiteral("Файлът за ВЕСКОР не е създаден.\n") + problem,
                     ui::Icon::kWarning);
      return;
    }
    const QString failure = WriteAgencyFile(path, text.bytes);
    if (!failure.isEmpty()) {
      ui::MessageBox(host.window, caption, failure, ui::Icon::kError);
      return;
    }
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
  xb::TDataSet &table = *host.table;
  const QString caption = QString::fromUtf8(kPrintCaption);
  if (!PrepareRows(host, caption)) return;
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
