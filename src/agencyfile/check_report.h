// The result of an agency file check as text: the checker window's rows and
// lists written out line by line, for vedil-check, and the exit status that
// goes with a verdict.
#pragma once

#include <QString>

#include "agencyfile/agency_check.h"

namespace agencyfile {

// Captions of the checker window's file and header rows, written out in the
// report as well.
inline constexpr char kFileNameCaption[] = "Име на файл";
inline constexpr char kHeaderDataCaption[] = "Данни от заглавния ред";
inline constexpr char kPayerNameCaption[] = "Фирма";
inline constexpr char kTaxYearCaption[] = "Данъчна год.";
inline constexpr char kSuccessorFlagText[] =
    "Правоприемник при преобразуване/прехвърляне на предприятие.";

// Captions of the four stage rows, as the checker window shows them.
QString LengthStageCaption();    // "Дължина на запис"
QString SequenceStageCaption();  // "Формат  на файла"
QString FormalStageCaption();    // "Формален контрол"
QString LogicalStageCaption();   // "Логически контрол"
QString FaultColumnsHeading();   // the fault lists' column headings, aligned to their lines

// The stage mark as shown: "V", "X" or empty for a stage that did not run.
QString StageMarkText(const StageMark &mark);

// The whole report: file name, header data, each stage with its mark and
// message, both fault lists in their line format, and the verdict.
QString CheckReportText(const QString &path, const CheckResult &result);

// 0 for a correct file, 1 for an incorrect one, 2 when it could not be
// checked (unreadable, another code page, countries table unreadable,
// stopped half way).
int CheckExitStatus(Verdict verdict);

}  // namespace agencyfile
