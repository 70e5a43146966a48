// Building the shipped reference tables (see reference_tables_build.h).
#include "records/reference_tables_build.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include "records/income_codes.h"
#include "shell/app_paths.h"
#include "ui/codepage.h"
#include "ui/engine_text.h"
#include "xbase/table/db_handler.h"
#include "xbase/table/dbf_builder.h"

namespace records {

namespace {

constexpr int kCountryCodeWidth = 2;
constexpr int kCountryNameWidth = 50;
constexpr int kIncomeCodeWidth = 5;
constexpr int kIncomeNameWidth = 100;

// The rows of a source list, with the checks every list needs.
std::optional<QList<ReferenceRow>> ReadSource(const QString &path, int code_width, int name_width,
                                              QString *error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot open %1").arg(path);
    return std::nullopt;
  }
  QList<ReferenceRow> rows;
  QSet<QString> seen;
  int line_number = 0;
  for (const QByteArray &raw : file.readAll().split('\n')) {
    ++line_number;
    const QString line = QString::fromUtf8(raw).trimmed();
    if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    const QStringList parts = line.split(QLatin1Char('\t'));
    const auto fail = [&](const QString &why) {
      *error = QStringLiteral("%1:%2: %3").arg(path).arg(line_number).arg(why);
      return std::nullopt;
    };
    if (parts.size() != 2 || parts[0].isEmpty() || parts[1].isEmpty()) {
      return fail(QStringLiteral("expected a code, a tab and a name"));
    }
    const ReferenceRow row{parts[0], parts[1].trimmed()};
    if (row.code.size() > code_width) return fail(QStringLiteral("code longer than the field"));
    if (row.name.size() > name_width) return fail(QStringLiteral("name longer than the field"));
    if (!codepage::FitsCp1251(row.name)) return fail(QStringLiteral("name outside code page 1251"));
    if (seen.contains(row.code)) return fail(QStringLiteral("code %1 given twice").arg(row.code));
    seen.insert(row.code);
    rows.append(row);
  }
  return rows;
}

// Creates `file` with the fields CODE and NAME and appends the rows.
void WriteTable(const QString &file, int code_width, int name_width,
                const QList<ReferenceRow> &rows) {
  const std::string path = ui::EnginePath(file);
  xb::CreateDbfTable(path, xb::TxbDBFTypes::Clipper,
                     {{"CODE", 'C', code_width, 0}, {"NAME", 'C', name_width, 0}});
  xb::XBO_dBHandler table(path, false, true);
  for (const ReferenceRow &row : rows) {
    table.BlankRecord();
    table.StringPut("CODE", codepage::ToCp1251(row.code));
    table.StringPut("NAME", codepage::ToCp1251(row.name));
    table.AppendRecord();
  }
}

// Countries.cdx beside Countries.dbf with the tag "Countries" on NAME
// (machine ordering), through which the country pick list browses. The file
// is made afresh, so that building twice gives the same bytes.
void WriteCountriesIndex(const QDir &out) {
  QFile::remove(out.filePath(shell::kCountriesIndexName));
  xb::XBO_dBHandler table(ui::EnginePath(out.filePath(shell::kCountriesTableName)), false, true);
  table.IndexOn(shell::kCountriesIndexName, "Countries", "NAME", "", 1, 0);
}

// Fixes the clock for the headers' date while the tables are written.
class FixedClock {
 public:
  FixedClock() { xb::SetClockForTesting(kReferenceTablesDate); }
  ~FixedClock() { xb::SetClockForTesting(std::nullopt); }
};

}  // namespace

std::optional<QList<ReferenceRow>> ReadCountriesSource(const QString &path, QString *error) {
  auto rows = ReadSource(path, kCountryCodeWidth, kCountryNameWidth, error);
  if (!rows) return std::nullopt;
  bool has_bulgaria = false;
  for (const ReferenceRow &row : *rows) {
    if (row.code.size() != 2 || !row.code.at(0).isUpper() || !row.code.at(1).isUpper() ||
        row.code.at(0).unicode() > 'Z' || row.code.at(1).unicode() > 'Z') {
      *error = QStringLiteral("%1: %2 is not two capital Latin letters").arg(path, row.code);
      return std::nullopt;
    }
    has_bulgaria |= row.code == QLatin1String("BG");
  }
  if (!has_bulgaria) {
    *error = QStringLiteral("%1: no row for BG").arg(path);
    return std::nullopt;
  }
  return rows;
}

std::optional<QList<ReferenceRow>> ReadIncomesSource(const QString &path, QString *error) {
  auto rows = ReadSource(path, kIncomeCodeWidth, kIncomeNameWidth, error);
  if (!rows) return std::nullopt;
  QSet<qint64> present;
  for (const ReferenceRow &row : *rows) {
    bool ok = false;
    const qint64 code = row.code.toLongLong(&ok);
    if (!ok || row.code.startsWith(QLatin1Char('0')) || !IsAllowedIncomeCode(code)) {
      *error = QStringLiteral("%1: %2 is not an allowed income code").arg(path, row.code);
      return std::nullopt;
    }
    present.insert(code);
  }
  for (const IncomeCodeRange &range : AllowedIncomeCodeRanges()) {
    for (int code = range.first; code <= range.last; ++code) {
      if (!present.contains(code)) {
        *error = QStringLiteral("%1: income code %2 is missing").arg(path).arg(code);
        return std::nullopt;
      }
    }
  }
  return rows;
}

bool BuildReferenceTables(const QString &sources_dir, const QString &out_dir, QString *error) {
  const QDir sources(sources_dir);
  const auto countries = ReadCountriesSource(sources.filePath("countries.tsv"), error);
  if (!countries) return false;
  const auto incomes = ReadIncomesSource(sources.filePath("incomes.tsv"), error);
  if (!incomes) return false;
  const QDir out(out_dir);
  const FixedClock clock;
  WriteTable(out.filePath(shell::kCountriesTableName), kCountryCodeWidth, kCountryNameWidth,
             *countries);
  WriteCountriesIndex(out);
  WriteTable(out.filePath(shell::kIncomesTableName), kIncomeCodeWidth, kIncomeNameWidth, *incomes);
  return true;
}

}  // namespace records
