// The checker of agency files made by other products: a code-page test, then
// four stages in order (record length, record sequence, formal control of
// every field, logical control with the countries table and duplicates). The
// result is plain data that the checker window and vedil-check both show.
// Faults in the file are data, never errors of the checker.
#pragma once

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

#include "agencyfile/agency_file_reader.h"
#include "ui/progress.h"

namespace agencyfile {

// Fills `codes` with the known country codes; false with `error` naming the
// table when it cannot be read. Called at most once per check, when the
// first foreign person's line needs it.
using CountryCodesLoader = std::function<bool(QSet<QString> *codes, QString *error)>;

struct CheckOptions {
  int current_year = 0;  // the header's tax year must be this or the year before
  CountryCodesLoader countries;
  // Hears of the advance through the stages' readings of the file; false
  // stops the check (its verdict is then kCancelled). May be empty.
  ui::ProgressCallback progress;
};

enum class StageState { kNotRun, kPassed, kFailed };

struct StageMark {
  StageState state = StageState::kNotRun;
  QString message;  // for a failed stage: what failed, or empty
};

enum class Verdict {
  kCorrect,
  kIncorrect,
  kWrongCodePage,  // stopped before the stages: the text is not in code page 1251
  kCannotCheck,    // the file or the countries table could not be read; see `error`
  kCancelled,      // stopped by the user half way; nothing else is set
};

struct CheckResult {
  Verdict verdict = Verdict::kCannotCheck;
  QString error;
  StageMark lengths;   // "Дължина на запис"
  StageMark sequence;  // "Формат  на файла"
  StageMark formal;    // "Формален контрол"
  StageMark logical;   // "Логически контрол"
  // Header data for display; empty when the header did not give them.
  QString payer_name;  // without blanks at either end
  QString tax_year;    // shown whenever it is four digits
  bool liquidation_flag = false;
  bool successor_flag = false;
  QStringList formal_faults;   // fault lines, see FaultLine
  QStringList logical_faults;  // fault lines, see FaultLine
};

// Runs the whole check on `source`. Every stage reads the source anew.
CheckResult CheckAgencyFile(const AgencySource &source, const CheckOptions &options);

// ---- The pieces, in the order the check uses them ----------------------------

// True when a line looks like another Cyrillic code page: more bytes 128..191
// than bytes 192..255 (where code page 1251 keeps its letters).
bool IsNotCp1251(const QByteArray &line);

// One line of a fault list: two blanks, the line number (5 digits), three
// blanks, the record's own number field as read, three blanks, the field
// number (2 digits), six blanks, the message.
QString FaultLine(int line_number, QStringView record_number, int field, const QString &message);

// Income code rules for an identifier kind as written (position 7): kind "4"
// goes with exactly 820 and 821, every other kind with anything else.
bool IsCodeAllowedForKind(QStringView kind, QStringView code);

// The texts the window shows for its final message box and its verdict label.
QString VerdictBoxText(Verdict verdict);
QString VerdictLabelText(Verdict verdict);

// The message box text of the code-page refusal.
QString WrongCodePageText();
// The record-length fault of line `line_number` (counted from 1).
QString RecordLengthText(int line_number, qint64 length);

}  // namespace agencyfile
