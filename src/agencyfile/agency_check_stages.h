// The stages of the agency file check, each reading the source anew; shared
// by agency_check.cpp (which runs them in order) and the files that hold
// them. Not for other callers: CheckAgencyFile is the entry.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "agencyfile/agency_check.h"
#include "agencyfile/agency_file_reader.h"
#include "ui/codepage.h"

namespace agencyfile {

// The text of a line's bytes (code page 1251).
inline QString Decode(const QByteArray &bytes) {
  return codepage::FromCp1251(bytes.constData(), bytes.size());
}

// Calls visit(line number counted from 1, line bytes, full line length) for
// every line until visit returns false. False with *error set when the
// source cannot be read.
template <typename Visit>
bool ForEachLine(const AgencySource &source, QString *error, Visit visit) {
  AgencyFileReader reader(source);
  if (!reader.Open()) {
    *error = reader.error();
    return false;
  }
  QByteArray line;
  int number = 0;
  while (reader.Next(&line)) {
    if (!visit(++number, line, reader.length())) return true;
  }
  *error = reader.error();
  return error->isEmpty();
}

// Appends fault lines for one line of the file.
class FaultSink {
 public:
  FaultSink(QStringList *list, int line_number, QStringView record_number)
      : list_(list), line_number_(line_number), record_number_(record_number) {}
  void Add(int field, const QString &message) {
    list_->append(FaultLine(line_number_, record_number_, field, message));
    added_ = true;
  }
  bool added() const { return added_; }

 private:
  QStringList *list_;
  int line_number_;
  QStringView record_number_;
  bool added_ = false;
};

// Formal control: every line's fields, then the totals. Fills
// result->formal_faults and the header data; returns whether it passed.
// A read failure sets result->error.
bool CheckFormal(const AgencySource &source, const CheckOptions &options, CheckResult *result);

// Logical control (lines_in_file from the length stage). Fills
// result->logical_faults; returns whether it passed. A read failure, of the
// file or of the countries table, sets result->error.
bool CheckLogical(const AgencySource &source, int lines_in_file, const CheckOptions &options,
                  CheckResult *result);

// Duplicate identifier and income code pairs among the detail lines: adds
// one fault per repeated pair to result->logical_faults; returns whether it
// found any. A read failure sets result->error.
bool CheckDuplicates(const AgencySource &source, CheckResult *result);

}  // namespace agencyfile
