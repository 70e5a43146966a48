// The agency file check: the code-page test, the record length and record
// sequence stages, and the order in which all stages run; see
// agency_check.h. The formal and logical controls live beside it.
#include "agencyfile/agency_check.h"

#include <QFileInfo>

#include "agencyfile/agency_check_stages.h"
#include "agencyfile/agency_record.h"
#include "records/income_codes.h"
#include "ui/codepage.h"

namespace agencyfile {
namespace {

bool AllDigits(const QByteArray &bytes) {
  for (char c : bytes) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The code-page test looks at line 1 only, and only when a second line
// follows. Returns false with *error set when the source cannot be read.
bool FirstLineIsNotCp1251(const AgencySource &source, bool *refused, QString *error) {
  QByteArray first;
  int lines = 0;
  const bool read =
      ForEachLine(source, nullptr, error, [&](int number, const QByteArray &line, qint64) {
        if (number == 1) first = line;
        lines = number;
        return number < 2;
      });
  *refused = read && lines >= 2 && IsNotCp1251(first);
  return read;
}

// "Дължина на запис": the first line that is not 139 characters long.
QString CheckRecordLengths(const AgencySource &source, CheckProgress *progress, int *line_count,
                           QString *error) {
  QString message;
  *line_count = 0;
  ForEachLine(source, progress, error, [&](int number, const QByteArray &, qint64 length) {
    *line_count = number;
    if (length == kRecordLength) return true;
    message = RecordLengthText(number, length);
    return false;
  });
  return message;
}

// "Формат  на файла": line k must begin with k-1 as five digits.
QString CheckRecordSequence(const AgencySource &source, CheckProgress *progress, QString *error) {
  QString message;
  bool any_line = false;
  const int width = SpanOf(kRecordNumberField).width;
  ForEachLine(source, progress, error, [&](int number, const QByteArray &line, qint64) {
    any_line = true;
    const QByteArray own = line.left(width);
    if (number == 1 && own != kHeaderRecordNumber) {
      message = QStringLiteral("Невалиден формат на заглавния запис. (не започва с [00000])");
      return false;
    }
    if (!AllDigits(own)) {
      message = QStringLiteral("Ред [%1] е с невалиден идентификатор на запис [%2](не е цифри)")
                    .arg(number)
                    .arg(Decode(own));
      return false;
    }
    if (own.toInt() != number - 1) {
      message = QStringLiteral("Ред [%1] е с неочакван последователен номер на записа [%2]")
                    .arg(number)
                    .arg(Decode(own));
      return false;
    }
    return true;
  });
  if (!any_line && error->isEmpty() && !(progress && progress->stopped())) {
    message = QStringLiteral("Невалиден формат на заглавния запис. (не започва с [00000])");
  }
  return message;
}

void Fail(StageMark *mark, const QString &message = QString()) {
  mark->state = StageState::kFailed;
  mark->message = message;
}

void Pass(StageMark *mark) { mark->state = StageState::kPassed; }

// The size of what a check reads, for its progress.
qint64 SourceSize(const AgencySource &source) {
  return source.bytes ? source.bytes->size() : QFileInfo(source.path).size();
}

CheckResult Cancelled() {
  CheckResult result;
  result.verdict = Verdict::kCancelled;
  return result;
}

// A stage that could not read what it needs: marked failed with the reason.
CheckResult CannotCheck(CheckResult *result, StageMark *stage) {
  if (stage) Fail(stage, result->error);
  result->verdict = Verdict::kCannotCheck;
  return *result;
}

}  // namespace

bool IsNotCp1251(const QByteArray &line) {
  int high = 0;     // 128..191
  int letters = 0;  // 192..255
  for (char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 192)
      ++letters;
    else if (byte >= 128)
      ++high;
  }
  return high > letters;
}

QString FaultLine(int line_number, QStringView record_number, int field, const QString &message) {
  QString line;
  line.reserve(30 + message.size());
  line += QLatin1String("  ");
  line += QString::number(line_number).rightJustified(5, QLatin1Char('0'));
  line += QLatin1String("   ");
  line += record_number;
  line += QLatin1String("   ");
  line += QString::number(field).rightJustified(2, QLatin1Char('0'));
  line += QLatin1String("      ");
  line += message;
  return line;
}

bool IsCodeAllowedForKind(QStringView kind, QStringView code) {
  const bool bound = records::IsKindBoundCode(code.toString());
  return kind == u"4" ? bound : !bound;
}

QString RecordLengthText(int line_number, qint64 length) {
  return QStringLiteral("ред [%1] е с [%2] символа, а трябва да е с [%3]")
      .arg(line_number)
      .arg(length)
      .arg(kRecordLength);
}

QString WrongCodePageText() {
  return QStringLiteral("Кирилицата във файла, не е с кодиране cp-1251!      ");
}

QString VerdictBoxText(Verdict verdict) {
  return verdict == Verdict::kCorrect ? QStringLiteral("Файлът е коректен !            ")
                                      : QStringLiteral("Файлът е некоректен !          ");
}

QString VerdictLabelText(Verdict verdict) {
  switch (verdict) {
    case Verdict::kCorrect:
      return QStringLiteral("Файлът е коректен !");
    case Verdict::kIncorrect:
      return QStringLiteral("Файлът е некоректен !");
    case Verdict::kCancelled:
      return QStringLiteral("Проверката е прекъсната !");
    case Verdict::kWrongCodePage:
    case Verdict::kCannotCheck:
      break;
  }
  return QStringLiteral("Файлът не може да бъде проверен !");
}

CheckResult CheckAgencyFile(const AgencySource &source, const CheckOptions &options) {
  CheckResult result;
  bool wrong_code_page = false;
  if (!FirstLineIsNotCp1251(source, &wrong_code_page, &result.error)) {
    return CannotCheck(&result, nullptr);
  }
  if (wrong_code_page) {
    result.verdict = Verdict::kWrongCodePage;
    return result;
  }
  result.verdict = Verdict::kIncorrect;
  CheckProgress progress(options.progress, SourceSize(source));

  int line_count = 0;
  const QString length_fault = CheckRecordLengths(source, &progress, &line_count, &result.error);
  if (progress.stopped()) return Cancelled();
  if (!result.error.isEmpty()) return CannotCheck(&result, &result.lengths);
  if (!length_fault.isEmpty()) {
    Fail(&result.lengths, length_fault);
    return result;
  }
  Pass(&result.lengths);

  const QString sequence_fault = CheckRecordSequence(source, &progress, &result.error);
  if (progress.stopped()) return Cancelled();
  if (!result.error.isEmpty()) return CannotCheck(&result, &result.sequence);
  if (!sequence_fault.isEmpty()) {
    Fail(&result.sequence, sequence_fault);
    return result;
  }
  Pass(&result.sequence);

  const bool formal_passed = CheckFormal(source, options, &progress, &result);
  if (progress.stopped()) return Cancelled();
  if (!result.error.isEmpty()) return CannotCheck(&result, &result.formal);
  if (!formal_passed) {
    Fail(&result.formal);
    return result;
  }
  Pass(&result.formal);

  const bool logical_passed = CheckLogical(source, line_count, options, &progress, &result);
  if (progress.stopped()) return Cancelled();
  if (!result.error.isEmpty()) return CannotCheck(&result, &result.logical);
  if (!logical_passed) {
    Fail(&result.logical);
    return result;
  }
  Pass(&result.logical);

  const bool duplicates = CheckDuplicates(source, &progress, &result);
  if (progress.stopped()) return Cancelled();
  if (!result.error.isEmpty()) return CannotCheck(&result, &result.logical);
  if (duplicates) {
    Fail(&result.logical);
    return result;
  }
  result.verdict = Verdict::kCorrect;
  return result;
}

}  // namespace agencyfile
