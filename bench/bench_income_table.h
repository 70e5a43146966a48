// Income tables for the benchmarks: filled rows made fast on tmpfs, and the
// program's directory with its reference tables and payer settings around
// them. Header only: every benchmark is a program of its own.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>
#include <vector>

#include "records/income_table.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/payer_record.h"
#include "support/qt/valid_payer.h"
#include "xbase/table/dbf_builder.h"
#include "xbase/table/dbf_object.h"

namespace bench_support {

// Writes an income table of `rows` filled, complete rows at `file`; F01
// holds each row's number when `numbered`, else stays blank.
inline void MakeIncomeTable(const std::filesystem::path &file, int rows, bool numbered = true) {
  std::vector<xb::DbfFieldSpec> fields;
  for (const QString &line : records::IncomeTableFieldList()) {
    const QStringList p = line.split(QLatin1Char(';'));
    fields.push_back({p[0].toStdString(), 'C', p[2].toInt(), 0});
  }
  std::filesystem::create_directories(file.parent_path());
  xb::CreateDbfTable(file.string(), xb::TxbDBFTypes::DBaseIV, fields);
  xb::DBFObject table(file.string(), false, true);
  for (int r = 1; r <= rows; ++r) {
    table.BlankRecord();
    if (numbered) table.StringPut("F01", QString::number(r).rightJustified(5, '0').toStdString());
    table.StringPut("F02", "0");
    table.StringPut("F03", "0");
    table.StringPut("F04", std::to_string(7501010000LL + r));
    table.StringPut("F05", "\xc8\xe2\xe0\xed \xcf\xe5\xf2\xf0\xee\xe2 " + std::to_string(r));
    table.StringPut("F06", "BG");
    table.StringPut("F07", "\xd1\xee\xf4\xe8\xff " + std::to_string(r));
    table.StringPut("F08", std::to_string(r % 5000 + 1) + ".50");
    table.StringPut("F09", std::to_string(r % 500) + ".05");
    table.StringPut("F10", "401");
    table.AppendRecord();
  }
}

// The agency file of the payer MakeProgramDir sets up.
inline constexpr const char *kAgencyFileName = "121212121.txt";

// Makes `dir` the program's directory: data/ with the shipped reference
// tables and the report project beside the program, and the tests' valid
// payer for the year 2024.
inline void MakeProgramDir(const std::filesystem::path &dir) {
  namespace fs = std::filesystem;
  shell::InitAppPaths(QString::fromStdString((dir / "vedil").string()));
  fs::create_directories(dir / "data");
  for (const char *name : {shell::kCountriesTableName, shell::kIncomesTableName})
    fs::copy_file(fs::path(VEDIL_SOURCE_DIR) / "data" / "tables" / name, dir / "data" / name,
                  fs::copy_options::overwrite_existing);
  fs::copy_file(fs::path(VEDIL_SOURCE_DIR) / "data" / "vedil.rav", dir / "vedil.rav",
                fs::copy_options::overwrite_existing);
  shell::PayerRecord payer = testing_support::ValidPayerRecord();
  payer[shell::kFiscalYear] = "2024";
  settings::SavePayerRecord(payer);
  shell::PayerData = payer;
}

}  // namespace bench_support
