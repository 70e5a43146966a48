// Builds agency files for the checker's tests: a valid header and detail
// records written by the record builders, with the totals summed, and
// changes of single fields on top.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "agencyfile/agency_check.h"
#include "agencyfile/agency_record.h"
#include "support/qt/qt_printers.h"

namespace agencyfile::testing {

inline constexpr records::CurrencyUnits kLev = records::kUnitsPerLev;

// A person with an ЕГН (kind 0), income code 401.
DetailValues Person(const char *egn = "7501010010", records::CurrencyUnits income = 100 * kLev,
                    records::CurrencyUnits tax = 10 * kLev, const char *code = "401");
// A foreign person (flag 1) of kind 1 with a ЛНЧ, living in `country`.
DetailValues Foreigner(const char *country = "DE", const char *lnch = "1000000012");
// A kind-4 line: condominium (820, "BG", an address) or bank interest (821).
DetailValues KindFour(const char *code);

class AgencyFileBuilder {
 public:
  AgencyFileBuilder &Add(DetailValues detail);

  // The file's lines (header first); the header's totals are the sums of
  // the details unless changed afterwards.
  QStringList Lines() const;

  HeaderValues header;  // year 2024, status "Active"
  QList<DetailValues> details;

  AgencyFileBuilder();
};

// The lines joined with CR LF, in code page 1251.
QByteArray FileBytes(const QStringList &lines);

// Replaces the characters of `line` at 1-based `position` with `text`.
void Put(QStringList *lines, int line, int position, const QString &text);

// The check of `lines` with the clock in `year` and a countries table of
// BG, DE and GR.
CheckResult CheckLines(const QStringList &lines, int year = 2024);
CheckResult CheckBytes(const QByteArray &bytes, int year = 2024,
                       const ui::ProgressCallback &progress = {});

}  // namespace agencyfile::testing
