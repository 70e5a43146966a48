// The check result as text; see check_report.h.
#include "agencyfile/check_report.h"

#include "settings/payer_check.h"

namespace agencyfile {
namespace {

void AddStage(QString *out, const QString &caption, const StageMark &mark) {
  *out += caption + QStringLiteral(": ");
  if (mark.state == StageState::kNotRun) {
    *out += QStringLiteral("(не е извършен)\n");
    return;
  }
  *out += StageMarkText(mark);
  if (!mark.message.isEmpty()) *out += QStringLiteral("  ") + mark.message;
  *out += QLatin1Char('\n');
}

void AddFaults(QString *out, const QString &title, const QStringList &faults) {
  if (faults.isEmpty()) return;
  *out += title + QLatin1Char('\n') + FaultColumnsHeading() + QLatin1Char('\n');
  for (const QString &line : faults) *out += line + QLatin1Char('\n');
}

QString CheckMark(bool checked) {
  return checked ? QStringLiteral("  [X] ") : QStringLiteral("  [ ] ");
}

}  // namespace

QString LengthStageCaption() { return QStringLiteral("Дължина на запис"); }
QString SequenceStageCaption() { return QStringLiteral("Формат  на файла"); }
QString FormalStageCaption() { return QStringLiteral("Формален контрол"); }
QString LogicalStageCaption() { return QStringLiteral("Логически контрол"); }

QString FaultColumnsHeading() {
  // Aligned to FaultLine: columns at 2, 10, 18 and 26.
  return QStringLiteral("  № ред   Запис   Поле    Текст грешка");
}

QString StageMarkText(const StageMark &mark) {
  switch (mark.state) {
    case StageState::kPassed:
      return QStringLiteral("V");
    case StageState::kFailed:
      return QStringLiteral("X");
    case StageState::kNotRun:
      break;
  }
  return QString();
}

QString CheckReportText(const QString &path, const CheckResult &result) {
  QString out =
      QString::fromUtf8(kFileNameCaption) + QStringLiteral(": ") + path + QLatin1Char('\n');
  if (result.verdict == Verdict::kWrongCodePage) {
    return out + WrongCodePageText() + QLatin1Char('\n');
  }
  out += QString::fromUtf8(kHeaderDataCaption) + QLatin1Char('\n');
  out += QStringLiteral("  ") + QString::fromUtf8(kPayerNameCaption) + QStringLiteral(": ") +
         result.payer_name + QLatin1Char('\n');
  out += QStringLiteral("  ") + QString::fromUtf8(kTaxYearCaption) + QStringLiteral(": ") +
         result.tax_year + QLatin1Char('\n');
  out += CheckMark(result.liquidation_flag) + QString::fromUtf8(settings::kTerminationStatusText) +
         QLatin1Char('\n');
  out +=
      CheckMark(result.successor_flag) + QString::fromUtf8(kSuccessorFlagText) + QLatin1Char('\n');
  AddStage(&out, LengthStageCaption(), result.lengths);
  AddStage(&out, SequenceStageCaption(), result.sequence);
  AddStage(&out, FormalStageCaption(), result.formal);
  AddStage(&out, LogicalStageCaption(), result.logical);
  AddFaults(&out, QStringLiteral("Грешки при формалния контрол:"), result.formal_faults);
  AddFaults(&out, QStringLiteral("Грешки при логическия контрол:"), result.logical_faults);
  if (result.verdict == Verdict::kCannotCheck) out += result.error + QLatin1Char('\n');
  out += VerdictLabelText(result.verdict) + QLatin1Char('\n');
  return out;
}

int CheckExitStatus(Verdict verdict) {
  switch (verdict) {
    case Verdict::kCorrect:
      return 0;
    case Verdict::kIncorrect:
      return 1;
    case Verdict::kWrongCodePage:
    case Verdict::kCannotCheck:
    case Verdict::kCancelled:
      break;
  }
  return 2;
}

}  // namespace agencyfile
