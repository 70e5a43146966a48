// The data entry window's import and CSV export (see import_operations.h).
#include "importfile/import_operations.h"

#include <QDir>

#include "importfile/csv_export.h"
#include "importfile/import_dlg.h"
#include "records/data_entry_dlg.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/display_texts.h"
#include "ui/ui_driver.h"

namespace importfile {

void ImportRowsFromFile(records::TDataEntryDlg &window) {
  ui::OpenFileRequest request;
  request.parent = &window;
  request.title = QStringLiteral("Внос на редове от файл");
  request.filter_description = QStringLiteral("CSV файлове и файлове за ВЕСКОР (*.csv; *.txt)");
  request.filter_pattern = QStringLiteral("*.csv *.txt");
  const ui::OpenFileResult chosen = ui::OpenFileDialog(request);
  if (!chosen.accepted) return;
  ImportSource source = ReadImportFile(chosen.path);
  if (!source.error.isEmpty()) {
    ui::MessageBox(&window, QString::fromUtf8(shell::kWarningTitle), source.error,
                   ui::Icon::kWarning);
    return;
  }
  // Replacing puts a new file in the table's place: the window's dataset
  // lets go of the old one first and opens the new one after.
  window.WithTableClosed([&] {
    TImportDlg dialog(&window, chosen.path, std::move(source), shell::DataDir(),
                      settings::GetOwnerNo());
    ui::ShowModal(&dialog);
  });
}

void ExportRowsToCsv(records::TDataEntryDlg &window) {
  ui::OpenFileRequest request;
  request.parent = &window;
  request.title = QStringLiteral("Експорт на редовете в CSV файл");
  request.filter_description = QStringLiteral("CSV файлове (*.csv)");
  request.filter_pattern = QStringLiteral("*.csv");
  request.must_exist = false;
  request.for_saving = true;
  const ui::OpenFileResult chosen = ui::OpenFileDialog(request);
  if (!chosen.accepted) return;
  const std::vector<records::StoredRow> rows =
      ReadTableRows(shell::DataFile(shell::kIncomeTableName));
  const QString error = WriteCsvFile(chosen.path, RowsCsv(rows));
  if (!error.isEmpty()) {
    ui::MessageBox(&window, QString::fromUtf8(shell::kWarningTitle), error, ui::Icon::kWarning);
    return;
  }
  ui::MessageBox(&window, QString::fromUtf8(shell::kInformationTitle),
                 QStringLiteral("Записани бяха %1 реда във файла %2")
                     .arg(rows.size())
                     .arg(QDir::toNativeSeparators(chosen.path)),
                 ui::Icon::kInformation);
}

}  // namespace importfile
