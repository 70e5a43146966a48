// vedil-sample-files FOLDER: makes in FOLDER, through the program's own code
// and with a fixed clock, the files the program writes: the settings file
// vedil.ini, data/dvel.dbf with rows in code page 1251 (one deleted and packed
// away), its duplicate index dvel.ntx, a compound index dvel.cdx and the
// agency file data/121212121.txt. The Linux and the Windows build must make
// the same bytes; scripts/test-windows.sh compares them.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <optional>

#include "agencyfile/export_file.h"
#include "agencyfile/export_run.h"
#include "records/income_table.h"
#include "records/income_totals.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "support/qt/valid_payer.h"
#include "ui/codepage.h"
#include "ui/engine_text.h"
#include "xbase/dataset/xbase_dataset.h"
#include "xbase/file/clock.h"
#include "xbase/index/cdx_build.h"
#include "xbase/table/db_handler.h"
#include "xbase/xbase_error.h"

namespace {

struct Row {
  const char *foreign, *kind, *id, *names, *country, *address, *income, *tax, *code;
};

constexpr Row kRows[] = {
    {"0", "0", "7501010010", "Иван Петров Иванов", "", "", "1200.00", "120.00", "101"},
    {"0", "0", "7501010010", "Иван Петров Иванов", "", "", "300.50", "0.00", "401"},
    {"1", "1", "1000000012", "Ханс Мюлер", "DE", "Берлин, Фридрихщрасе 5", "5200.00", "520.00",
     "510"},
    {"0", "0", "8002020020", "Ред за изтриване", "", "", "10.00", "1.00", "101"},
    {"0", "4", "121212121", "Етажна собственост Витоша 15", "BG", "София, бул. Витоша 15",
     "840.00", "84.00", "820"},
};

void AppendRows(const QString &table_file) {
  xb::TXbaseDataSet table;
  table.SetDatabaseName(ui::EnginePath(shell::DataDir()));
  table.SetTableName(ui::EnginePath(QFileInfo(table_file).fileName()));
  table.TranslateASCII = false;
  table.Open();
  for (const Row &row : kRows) {
    table.Append();
    const std::pair<const char *, const char *> values[] = {
        {"F02", row.foreign}, {"F03", row.kind},    {"F04", row.id},
        {"F05", row.names},   {"F06", row.country}, {"F07", row.address},
        {"F08", row.income},  {"F09", row.tax},     {"F10", row.code}};
    for (auto [field, value] : values) {
      table.FieldByName(field).SetAsString(codepage::ToCp1251(QString::fromUtf8(value)));
    }
    table.FieldByName("DATETIME").SetAsString("2020-03-15 10:20:30");
    table.Post();
  }
  table.Close();
}

void DeleteFourthRow(const std::string &path) {
  xb::XBO_dBHandler table(path, false, true);
  table.GoToRecord(4);
  table.DeleteRecord();
}

void BuildCompoundIndex(const std::string &table_path, const std::string &cdx_path) {
  xb::XBO_dBHandler table(table_path, false, true);
  table.GoToRecord(1);
  xb::CdxIndexOn(table, cdx_path, "IDCODE", "F04+F10", "", false, false, false);
  xb::CdxIndexOn(table, cdx_path, "NAMES", "UPPER(F05)", "", false, true, false);
}

int WriteAgencyFile() {
  xb::TXbaseDataSet table;
  table.SetDatabaseName(ui::EnginePath(shell::DataDir()));
  table.SetTableName(shell::kIncomeTableName);
  table.TranslateASCII = false;
  table.Open();
  const std::optional<agencyfile::AgencyFileText> text = agencyfile::BuildAgencyFileFromTable(
      *table.Table(), table.RecordCount(), agencyfile::HeaderFromSettings(), nullptr);
  if (!text->error.isEmpty()) {
    std::fprintf(stderr, "%s\n", qUtf8Printable(text->error));
    return 1;
  }
  const QString error =
      agencyfile::WriteAgencyFile(agencyfile::AgencyFilePath(settings::GetOwnerNo()), text->bytes);
  if (!error.isEmpty()) std::fprintf(stderr, "%s\n", qUtf8Printable(error));
  return error.isEmpty() ? 0 : 1;
}

}  // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: vedil-sample-files FOLDER\n");
    return 2;
  }
  xb::SetClockForTesting(xb::LocalTime{2020, 3, 15, 10, 20, 30, 400});
  QDir().mkpath(args.at(1));
  shell::InitAppPaths(QDir(args.at(1)).absoluteFilePath(QStringLiteral("vedil.exe")));
  try {
    settings::SavePayerRecord(testing_support::ValidPayerRecord());
    if (!records::PrepareIncomeTable(nullptr)) return 1;
    const QString table = shell::DataFile(shell::kIncomeTableName);
    AppendRows(table);
    DeleteFourthRow(ui::EnginePath(table));
    records::PackIncomeTableFile(table);
    records::FindDuplicateRow(QStringLiteral("7501010010"), QStringLiteral("101"));
    BuildCompoundIndex(ui::EnginePath(table), ui::EnginePath(shell::DataFile("dvel.cdx")));
    return WriteAgencyFile();
  } catch (const std::exception &e) {
    std::fprintf(stderr, "vedil-sample-files: %s\n", e.what());
    return 1;
  }
}
