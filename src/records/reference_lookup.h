// The two reference tables as the record editor consults them: the name of a
// country code in Countries.dbf and of an income code in Incomes.dbf, each
// matched exactly against the table's CODE. Both tables are read whole when
// the editor opens them (a few hundred short rows), shared and read-only, and
// dropped when it closes.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

#include "records/row_validation.h"

namespace records {

// CODE -> NAME of every visible row of a reference table, in code page 1251
// decoded; trailing blanks removed. Engine errors are thrown.
QHash<QString, QString> ReadCodeNameTable(const QString &file);

class ReferenceLookup : public ReferenceTables {
 public:
  // Reads Countries.dbf and Incomes.dbf of the data directory `data_dir`.
  void Open(const QString &data_dir);
  void Close();

  std::optional<QString> CountryName(const QString &code) const;
  std::optional<QString> IncomeName(const QString &code) const;

  bool HasCountry(const QString &code) const override { return countries_.contains(code); }
  bool HasIncomeCode(const QString &code) const override { return incomes_.contains(code); }

 private:
  QHash<QString, QString> countries_;
  QHash<QString, QString> incomes_;
};

}  // namespace records
