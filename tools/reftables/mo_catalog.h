// Reads a GNU gettext message catalogue (.mo), as Debian ships the
// translations of iso-codes, into a map from original to translated text.
//
// OFFSET  SIZE  DESCRIPTION (all integers 32-bit, in the byte order of the magic)
//      0     4  magic 0x950412DE
//      4     4  format revision (0)
//      8     4  N, the number of strings
//     12     4  O, offset of the table of original strings
//     16     4  T, offset of the table of translated strings
// Each table holds N entries of 8 bytes: length (without the closing NUL),
// offset of the string in the file.
#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace reftables {

// The catalogue's translations keyed by original text (UTF-8 decoded); the
// empty original (the catalogue header) and plural forms beyond the first are
// left out. nullopt with a reason in *error when the file is not a catalogue
// or an entry points outside it.
std::optional<QHash<QString, QString>> ReadMoCatalog(const QString &path, QString *error);

}  // namespace reftables
