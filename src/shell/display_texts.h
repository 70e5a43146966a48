// Texts several windows show: the titles of warning and information boxes,
// the names of the identifier kinds and the captions of an agency file
// record's fields.
#pragma once

#include <QStringList>

namespace shell {

// The titles of the program's warnings and information boxes.
inline constexpr char kWarningTitle[] = "Внимание !";
inline constexpr char kInformationTitle[] = "Информация";

// Names of the identifier kinds by kind code 0..5.
const QStringList &IdKindNames();
// Captions of the 13 fields of an agency file record, in record order.
const QStringList &FieldCaptions();

}  // namespace shell
