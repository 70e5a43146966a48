// Shared pieces of the import tests: valid identifiers made in numbers, a
// small pair of reference tables, and a program home with an empty income
// table.
#pragma once

#include <QSet>
#include <QString>
#include <string>

#include "records/row_validation.h"
#include "support/common/temp_dir.h"

namespace importfile::testing {

// The n-th valid ЕГН of people born on 1 January 1975 (n < 1000).
QString Egn(int n);

class FakeTables : public records::ReferenceTables {
 public:
  bool HasCountry(const QString &code) const override { return countries_.contains(code); }
  bool HasIncomeCode(const QString &code) const override { return codes_.contains(code); }

 private:
  QSet<QString> countries_{"BG", "DE", "FR"};
  QSet<QString> codes_{"301", "401", "3071", "30710", "820", "821", "901"};
};

// A program home in a fresh directory, with data/dvel.dbf empty.
class ImportHome {
 public:
  ImportHome();
  QString TablePath() const;
  QString File(const char *name) const { return QString::fromStdString(dir_.File(name)); }

 private:
  testing_support::TempDir dir_;
};

}  // namespace importfile::testing
