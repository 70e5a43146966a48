// The rule of one row per recipient and income code: the key that the
// duplicate search looks for in dvel.ntx, the cases that are never searched,
// and the editor's exemptions applied to what the search found.
#pragma once

#include <QString>
#include <QtGlobal>
#include <string>

namespace records {

// The index the duplicate search rebuilds beside dvel.dbf on every run.
inline constexpr char kDuplicateIndexFile[] = "dvel.ntx";
inline constexpr char kDuplicateIndexTag[] = "dvel";
inline constexpr char kDuplicateIndexKey[] = "f04+f10";

// The identifier that foreign persons without a service number carry; it may
// stand in any number of rows.
inline constexpr char kNoIdentifier[] = "0000000000";

// True when the search is not made at all: the identifier "0000000000" or the
// condominium code "820", which may repeat.
bool SkipsDuplicateSearch(const QString &identifier, const QString &code);

// The key searched for: the identifier padded with blanks to the 13
// characters of F04, then the code as typed (not padded), in code page 1251.
// The index keys are compared with their trailing blanks removed, so "101"
// finds a stored "101  " but "3071" does not find a stored "30710".
std::string DuplicateSearchKey(const QString &identifier, const QString &code);

// The record editor's view of a search result: the row being edited does not
// count against itself, and a found row does not count when the identifier is
// "0000000000" or when the identifier is empty and the code is neither "820"
// nor "821". Returns the record number to warn about, 0 for none.
// True when a row with these texts counts in the rule at all: not for the
// identifier "0000000000", not for code "820", and not for an empty
// identifier unless the code is "820" or "821" (so one interest row only).
bool TakesPartInDuplicateRule(const QString &identifier, const QString &code);

// The record editor's warning about the saved row `record` with the same
// identifier and code.
QString DuplicateWarningText(qint64 record, const QString &identifier, const QString &code);

qint64 DuplicateToReport(qint64 found, bool edit_mode, qint64 edited_record,
                         const QString &identifier, const QString &code);

}  // namespace records
