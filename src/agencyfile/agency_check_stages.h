// The stages of the agency file check, each reading the source anew; shared
// by agency_check.cpp (which runs them in order) and the files that hold
// them. Not for other callers: CheckAgencyFile is the entry.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>

#include "agencyfile/agency_check.h"
#include "agencyfile/agency_file_reader.h"
#include "ui/codepage.h"

namespace agencyfile {

// The text of a line's bytes (code page 1251).
inline QString Decode(const QByteArray &bytes) {
  return codepage::FromCp1251(bytes.constData(), bytes.size());
}

// The check's advance for a progress dialog: every stage reads the whole
// file once, so the total is the file's size once for each stage.
class CheckProgress {
 public:
  static constexpr int kStages = 5;  // lengths, sequence, formal, logical, duplicates
  CheckProgress(const ui::ProgressCallback &callback, qint64 file_size)
      : callback_(callback), size_(std::max<qint64>(file_size, 1)) {}
  // A stage starts reading the file from its beginning.
  void StartReading() { ++reading_; }
  // The current reading is at byte `position`; false once the user asked to
  // stop.
  bool At(qint64 position) {
    if (!stopped_ && callback_) {
      const qint64 done = (std::max(reading_, 1) - 1) * size_ + std::min(position, size_);
      stopped_ = !callback_(done, kStages * size_);
    }
    return !stopped_;
  }
  bool stopped() const { return stopped_; }

 private:
  const ui::ProgressCallback &callback_;
  qint64 size_;
  int reading_ = 0;
  bool stopped_ = false;
};

// Calls visit(line number counted from 1, line bytes, full line length) for
// every line until visit returns false. False with *error set when the
// source cannot be read, and false when `progress` (which may be null) was
// told to stop.
template <typename Visit>
bool ForEachLine(const AgencySource &source, CheckProgress *progress, QString *error, Visit visit) {
  AgencyFileReader reader(source);
  if (!reader.Open()) {
    *error = reader.error();
    return false;
  }
  if (progress) progress->StartReading();
  QByteArray line;
  int number = 0;
  while (reader.Next(&line)) {
    if (progress && !progress->At(reader.position())) return false;
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
bool CheckFormal(const AgencySource &source, const CheckOptions &options, CheckProgress *progress,
                 CheckResult *result);

// Logical control (lines_in_file from the length stage). Fills
// result->logical_faults; returns whether it passed. A read failure, of the
// file or of the countries table, sets result->error.
bool CheckLogical(const AgencySource &source, int lines_in_file, const CheckOptions &options,
                  CheckProgress *progress, CheckResult *result);

// Duplicate identifier and income code pairs among the detail lines: adds
// one fault per repeated pair to result->logical_faults; returns whether it
// found any. A read failure sets result->error.
bool CheckDuplicates(const AgencySource &source, CheckProgress *progress, CheckResult *result);

}  // namespace agencyfile
