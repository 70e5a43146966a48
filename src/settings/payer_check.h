// The rules the payer's data must meet, as plain functions: the 31 checks of
// the payer values' table (payer_fields.h) in value order, the identifier's
// warning by kind, the status word of the two flags, and the silent check made
// at start-up. True from the check functions means something is missing or
// invalid.
#pragma once

#include <QString>

#include "shell/payer_record.h"

namespace settings {

// The kinds of payer identifier (key OwnerNoType). The dialog offers the
// service number and ЕИК; the checks also accept ЕГН and ЛНЧ.
inline constexpr char kKindServiceNo[] = "Служебен № от регистъра на ВЕСКОР";
inline constexpr char kKindEik[] = "ЕИК";
inline constexpr char kKindEgn[] = "ЕГН";
inline constexpr char kKindLnch[] = "ЛНЧ";

// The status word (key Status) of the two flags: termination ("Stopped"),
// successor ("Target"), both ("StoppedTarget"), neither ("Active").
QString StatusWord(bool termination, bool successor);
// The flags of a status word; false (flags untouched) for any other word.
bool StatusFlags(const QString &word, bool *termination, bool *successor);
// The termination flag as the data entry window and the checker name it.
inline constexpr char kTerminationStatusText[] =
    "Прекратяване с ликвидация или обявяване в несъстоятелност в срока по чл.162 от ЗКПО.";

// The warning of value 3 (the identifier) for an identifier kind and the
// length of the identifier typed in the dialog.
QString IdentifierWarning(const QString &kind, qsizetype identifier_length);

struct PayerProblem {
  int value = 0;    // 1..31 (index + 1); 0 when nothing failed
  QString control;  // objectName of the control to focus; empty for none
  QString warning;  // shown followed by "  ...        "
};

// Checks value n (1..31) of `values`; `identifier_warning` is the warning of
// value 3; `current_year` decides which tax years are allowed.
PayerProblem CheckPayerField(int n, const shell::PayerRecord &values,
                             const QString &identifier_warning, int current_year);
// The first value in the order 1..31 that fails, or value 0.
PayerProblem FindPayerProblem(const shell::PayerRecord &values, const QString &identifier_warning,
                              int current_year);

// The check at start-up: writes the settings template when the file is
// missing, loads shell::PayerData from the file and checks it. True when a
// payer value is missing or invalid. Shows nothing; a template that cannot be
// written throws SettingsWriteError.
bool CheckPayerDataSilently();

}  // namespace settings
