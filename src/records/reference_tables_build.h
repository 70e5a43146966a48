// The two reference tables that ship in the program's data directory, built
// from the source lists kept in tools/reftables/sources:
//   Countries.dbf  CODE C 2, NAME C 50   from countries.tsv (ISO 3166-1)
//   Countries.cdx  tag "Countries" on NAME, beside Countries.dbf
//   Incomes.dbf    CODE C 5, NAME C 100  from incomes.tsv (allowed codes)
// A source list holds one row per line: the code, a tab, the name, in UTF-8;
// blank lines and lines starting with '#' are skipped. Rows keep the order of
// their list.
#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "xbase/file/clock.h"

namespace records {

struct ReferenceRow {
  QString code;
  QString name;
};

// The date written into the tables' headers, so that building twice gives
// the same bytes.
inline constexpr xb::LocalTime kReferenceTablesDate{2026, 1, 1, 0, 0, 0, 0};

// Reads and checks the countries list: two capital Latin letters per code,
// no code twice, "BG" present, names that fit the field and code page 1251.
std::optional<QList<ReferenceRow>> ReadCountriesSource(const QString &path, QString *error);

// Reads and checks the income code list: every code of the allowed ranges
// exactly once and no other, names that fit the field and code page 1251.
std::optional<QList<ReferenceRow>> ReadIncomesSource(const QString &path, QString *error);

// Builds Countries.dbf, Countries.cdx and Incomes.dbf in `out_dir` (replacing
// them) from countries.tsv and incomes.tsv in `sources_dir`, through the
// table engine.
// False with a reason in *error when a source is wrong; engine errors are
// thrown as xb::EXbaseError.
bool BuildReferenceTables(const QString &sources_dir, const QString &out_dir, QString *error);

}  // namespace records
