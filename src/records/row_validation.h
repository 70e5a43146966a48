// The rules a row of the income table must meet before the record editor
// saves it. A pure function of the row's values and the two reference tables,
// giving the numbers of the record editor's messages in the order the tests
// are made; the window shows the texts and focuses the first one's field.
#pragma once

#include <QList>
#include <QString>

namespace records {

// The identifier kinds the record editor offers: indexes into IdKindNames.
// Kinds 4 and 5 are both stored as "4" and told apart by the codes 820/821.
enum IdKind : int {
  kKindNone = -1,  // no kind selected
  kKindEGN = 0,
  kKindLNCh = 1,
  kKindServiceNo = 2,
  kKindEIK = 3,
  kKindCondominium = 4,
  kKindBankInterest = 5,
};

// True for the four kinds that name a person or company by a number.
inline bool IsPersonKind(int kind) { return kind >= kKindEGN && kind <= kKindEIK; }

// The values of a row as the record editor's controls hold them.
struct RowValues {
  bool foreign = false;  // "Да" checked: a foreign natural person
  int kind = kKindNone;
  QString identifier;
  QString names;
  QString country;
  QString address;
  QString code;
  QString income;
  QString tax;
};

// The two reference tables, as far as the rules need them.
class ReferenceTables {
 public:
  virtual ~ReferenceTables() = default;
  // True when Countries.dbf holds a row whose CODE is exactly this code.
  virtual bool HasCountry(const QString &code) const = 0;
  // True when Incomes.dbf holds a row whose CODE is exactly this code.
  virtual bool HasIncomeCode(const QString &code) const = 0;
};

// A row with no identifier kind selected (a stored kind the editor cannot
// show) is refused with this number, which follows the 26 shared messages;
// its field is the kind list.
inline constexpr int kMsgChooseKind = 27;
inline constexpr char kMsgChooseKindText[] = "27 Изберете вид идентификатор";

// The message numbers for the row, empty when it may be saved.
QList<int> ValidateRow(const RowValues &row, const ReferenceTables &tables);

// The record editor's warning for a list of message numbers: each message's
// text followed by two blanks and a carriage return.
QString ValidationWarningText(const QList<int> &numbers);

// The object name of the control a message belongs to ("Edit5" for 25).
QString MessageControlName(int number);

// The country code as the rules compare it: Latin letters made capitals.
QString CountryCodeUpper(const QString &code);

}  // namespace records
