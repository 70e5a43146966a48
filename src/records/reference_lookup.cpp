// Reading the reference tables (see reference_lookup.h).
#include "records/reference_lookup.h"

#include <QDir>
#include <QFile>

#include "shell/app_paths.h"
#include "ui/codepage.h"
#include "ui/engine_text.h"
#include "xbase/table/db_handler.h"

namespace records {

QHash<QString, QString> ReadCodeNameTable(const QString &file) {
  xb::XBO_dBHandler table(ui::EnginePath(file), true, false);
  QHash<QString, QString> rows;
  for (table.GoToRecord(xb::kGoFirst); !table.Eof(); table.GoToRecord(xb::kGoNext)) {
    rows.insert(codepage::FromCp1251(table.StringGet("Code")),
                codepage::FromCp1251(table.StringGet("Name")));
  }
  return rows;
}

void ReferenceLookup::Open(const QString &data_dir) {
  const QDir dir(data_dir);
  countries_ = ReadCodeNameTable(dir.filePath(shell::kCountriesTableName));
  incomes_ = ReadCodeNameTable(dir.filePath(shell::kIncomesTableName));
}

void ReferenceLookup::Close() {
  countries_.clear();
  incomes_.clear();
}

std::optional<QString> ReferenceLookup::CountryName(const QString &code) const {
  const auto it = countries_.constFind(code);
  return it == countries_.constEnd() ? std::nullopt : std::optional<QString>(*it);
}

std::optional<QString> ReferenceLookup::IncomeName(const QString &code) const {
  const auto it = incomes_.constFind(code);
  return it == incomes_.constEnd() ? std::nullopt : std::optional<QString>(*it);
}

}  // namespace records
