// The record editor's rules that act while the user moves through the fields:
// how a stored row maps onto the window, the check made on leaving the income
// code field and the one made on leaving the country field. Pure functions;
// the window shows their results.
#pragma once

#include <QString>

#include "records/row_validation.h"

namespace records {

// The four field states of the editor, and the fifth look of a carried-over
// condominium or interest row whose code is still blank.
enum class EditorState {
  kPerson,          // "Не", kinds 0 to 3: country and address disabled
  kForeignPerson,   // "Да", kinds 0 to 2: country and address enabled
  kCondominium,     // "Не", kind 4: only the address and the amounts
  kInterest,        // "Не", kind 5: only the amounts
  kKindFourNoCode,  // "Не", kind 4 with a blank code: code field enabled
};

// How a stored row (F02, F03, F10 as read, without trailing blanks) opens in
// edit mode. A stored kind the list cannot show (outside 0 to 4, or 3 and 4
// for a foreign person) leaves no kind selected, so that the validation
// refuses the row instead of the window changing it.
struct StoredRowView {
  bool foreign = false;
  int kind = kKindNone;  // selected entry of the kind list
  EditorState state = EditorState::kPerson;
};
StoredRowView ViewOfStoredRow(const QString &f02, const QString &f03, const QString &f10);

// The one-digit kind stored in F03: kinds 0 to 4 as themselves, kind 5 and no
// selection as "4".
QString StoredKind(int kind);

// Leaving the income code field with a non-empty text.
struct CodeExitCheck {
  enum Result {
    kAccepted,    // store `code` into F10 (kinds 4 and 5: padded to 5)
    kNotAllowed,  // outside the allowed ranges: warn, keep the text
    kWrongKind,   // 820/821 with the wrong kind: warn, empty the field
  };
  Result result = kAccepted;
  QString code;     // the text with every '+' and '-' removed
  QString warning;  // the text of the warning, empty when accepted
};
CodeExitCheck CheckCodeOnExit(const QString &text, int kind);

// Leaving the country field of a foreign person with a non-empty text. The
// caller looks `code` up in Countries.dbf when the check is kLookUp.
struct CountryExitCheck {
  enum Result {
    kNotTwoLatinLetters,  // warn "Код-държава трябва да е две латински букви."
    kBulgaria,  // warn, Bulgaria is not allowed for a foreign person
    kLookUp,    // look `code` up; not found warns kUnknownCountryText
  };
  Result result = kLookUp;
  QString code;  // the field converted to capitals (set for kBulgaria and kLookUp)
};
CountryExitCheck CheckCountryOnExit(const QString &text);

inline constexpr char kNotTwoLatinLettersText[] = "Код-държава трябва да е две латински букви.";
inline constexpr char kBulgariaNotAllowedText[] =
    "България е с код-държава <BG>.(изберете друг код.)";
inline constexpr char kUnknownCountryText[] = "Няма такъв код-държава.";
inline constexpr char kCodeNotAllowedText[] =
    "Недопустим код доход. Допустими кодове са \n[301..306], [3071..3079], [30710..30714], "
    "[401..403], \n[501..509], [601..606], [801..821], [901..902], [904..907])     ";

// The address label's captions.
inline constexpr char kAddressAbroadCaption[] =
    "(7) Адрес в чужбина , нас.място,пощ.код, ул.,№/ж.к.,бл.,вх.,ап.";
inline constexpr char kCondominiumAddressCaption[] =
    "(7) Адрес на етаж.соб., нас.място,пощ.код, ул.,№/ж.к.,бл.,вх.,ап.";
// "(7) Адрес в [BG] България": the caption after a valid country code.
QString CountryAddressCaption(const QString &code, const QString &name);

}  // namespace records
