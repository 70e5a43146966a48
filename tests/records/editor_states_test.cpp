// The record editor's field states: what "Не", "Да", a chosen kind, a stored
// row and a saved row lead to, as one line per state that names the kind
// list, the texts, the enabled groups, the address caption, the code name
// and the focus.
#include "records/editor_states.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/qt/qt_printers.h"

namespace records {
namespace {

QString Describe(const EditorStep &step) {
  const EditorValues &v = step.values;
  const RowValues &r = v.row;
  auto on = [](bool b) { return b ? QStringLiteral("+") : QStringLiteral("-"); };
  const QString caption = v.address_caption == QString::fromUtf8(kAddressAbroadCaption) ? "abroad"
                          : v.address_caption == QString::fromUtf8(kCondominiumAddressCaption)
                              ? "condominium"
                              : v.address_caption;
  const char *names[] = {"kept", "looked up", "cleared"};
  const char *focus[] = {"kept", "identifier", "address", "income", "first input"};
  return QStringLiteral(
             "%1 %2/%3 | %4|%5|%6|%7|%8|%9|%10 | P%11 C%12 A%13 K%14 | %15 | %16 | %17 %18")
      .arg(QString::fromUtf8(r.foreign ? "Да" : "Не"))
      .arg(r.kind)
      .arg(v.kind_count)
      .arg(r.identifier, r.names, r.country, r.address, r.code, r.income, r.tax)
      .arg(on(v.person_enabled), on(v.country_enabled), on(v.address_enabled), on(v.code_enabled),
           caption)
      .arg(QLatin1String(names[int(step.code_name)]))
      .arg(QLatin1String(focus[int(step.focus)]))
      .arg(v.identifier_limit);
}

// A person who is not foreign, in insert mode, with every field typed.
EditorValues TypedPerson() {
  EditorValues v;
  v.row = {false, kKindEGN, "7501010010", "Иван", "", "", "3071", "100", "10"};
  v.address_caption = QString::fromUtf8(kAddressAbroadCaption);
  v.identifier_limit = 12;
  return v;
}

EditorValues Condominium() {
  EditorValues v = TypedPerson();
  v.row = {false, kKindCondominium, "", "", "BG", "София", "820", "80", "0"};
  v.person_enabled = v.code_enabled = v.country_enabled = false;
  v.address_enabled = true;
  v.address_caption = QString::fromUtf8(kCondominiumAddressCaption);
  return v;
}

EditorValues Foreign() {
  EditorValues v = TypedPerson();
  v.row.foreign = true;
  v.kind_count = 3;
  v.row.country = "DE";
  v.row.address = "Berlin";
  v.country_enabled = v.address_enabled = true;
  v.address_caption = "(7) Адрес в [DE] Германия";
  return v;
}

EditorValues Edited(EditorValues v, int stored_kind, const char *stored_code) {
  v.insert_mode = false;
  v.stored_kind = stored_kind;
  v.stored_code = QString::fromUtf8(stored_code);
  return v;
}

EditorValues WithKind(EditorValues v, int kind) {
  v.row.kind = kind;
  return v;
}

EditorStep Stored(const EditorValues &v, const char *f02, const char *f03, const char *f10) {
  return StoredRowShown(v, ViewOfStoredRow(f02, f03, f10));
}

TEST(EditorStates, EachRuleLeadsToItsState) {
  const struct {
    const char *what;
    std::function<EditorStep()> step;
    const char *expected;
  } kCases[] = {
      {"condominium kind: code 820, country BG, only the address and the amounts",
       [] { return KindChosen(WithKind(TypedPerson(), kKindCondominium)); },
       "Не 4/6 | ||BG||820|100|10 | P- C- A+ K- | condominium | looked up | address 12"},
      {"interest kind: code 821, no country, focus on the income",
       [] { return KindChosen(WithKind(TypedPerson(), kKindBankInterest)); },
       "Не 5/6 | ||||821|100|10 | P- C- A- K- | condominium | looked up | income 12"},
      {"a person's kind after the condominium: its code goes, the limit is back",
       [] { return KindChosen(WithKind(Condominium(), kKindLNCh)); },
       "Не 1/6 | |||||80|0 | P+ C- A- K+ | condominium | cleared | identifier 10"},
      {"another kind for a foreign person: country and address emptied, still enabled",
       [] { return KindChosen(WithKind(Foreign(), kKindServiceNo)); },
       "Да 2/3 | 7501010010|Иван|||3071|100|10 | P+ C+ A+ K+ | abroad | kept | identifier 10"},
      {"no kind: like a person who is not foreign, focus on the income",
       [] { return KindChosen(WithKind(TypedPerson(), kKindNone)); },
       "Не -1/6 | 7501010010|Иван|||3071|100|10 | P+ C- A- K+ | condominium | kept | income 12"},
      {"\"Да\" in insert mode: three kinds, the first chosen, the country emptied",
       [] { return ForeignOn(WithKind(TypedPerson(), kKindEIK)); },
       "Да 0/3 | 7501010010|Иван|||3071|100|10 | P+ C+ A+ K+ | abroad | kept | kept 12"},
      {"\"Да\" on a stored condominium row: kind 0, its code emptied",
       [] { return ForeignOn(Edited(Condominium(), kKindCondominium, "820")); },
       "Да 0/3 | |||София||80|0 | P+ C+ A+ K+ | abroad | cleared | kept 12"},
      {"\"Да\" on a stored ЕИК row: no kind of the three fits",
       [] { return ForeignOn(Edited(TypedPerson(), kKindEIK, "3071")); },
       "Да -1/3 | 7501010010|Иван|||3071|100|10 | P+ C+ A+ K+ | abroad | kept | kept 12"},
      {"\"Не\" in insert mode: kind 0, country and address emptied, amounts kept",
       [] { return ForeignOff(Foreign()); },
       "Не 0/6 | 7501010010|Иван|||3071|100|10 | P+ C- A- K+ | abroad | kept | kept 12"},
      {"\"Не\" in edit mode: the stored kind, the amounts emptied",
       [] { return ForeignOff(Edited(Foreign(), kKindLNCh, "3071")); },
       "Не 1/6 | 7501010010|Иван|||3071|| | P+ C- A- K+ | abroad | kept | kept 12"},
      {"\"Не\" on a stored condominium row: its code and the condominium state back",
       [] {
         EditorValues v = Edited(Foreign(), kKindCondominium, "820");
         v.row.code.clear();
         return ForeignOff(v);
       },
       "Не 4/6 | ||BG|Berlin|820|| | P- C- A+ K- | condominium | looked up | kept 12"},
      {"a stored foreign person", [] { return Stored(Condominium(), "1", "2", "301"); },
       "Да 2/3 | ||BG|София|820|80|0 | P+ C+ A+ K+ | condominium | kept | kept 12"},
      {"a stored condominium row", [] { return Stored(TypedPerson(), "0", "4", "820"); },
       "Не 4/6 | 7501010010|Иван|||3071|100|10 | P- C- A+ K- | condominium | kept | kept 12"},
      {"a carried-over row of kind 4 without a code: only the code field to fill",
       [] { return Stored(TypedPerson(), "0", "4", ""); },
       "Не 4/6 | 7501010010|Иван|||3071|100|10 | P- C- A- K+ | abroad | kept | kept 12"},
      {"each showing: six kinds, the person fields back if they were off",
       [] { return Activated(Condominium()); },
       "Не 0/6 | ||BG|София|820|80|0 | P+ C- A+ K+ | abroad | kept | kept 12"},
      {"insert mode opens on an empty person",
       [] { return NewRowShown(Activated(Foreign()).values); },
       "Не 0/6 | |||||| | P+ C- A- K+ | abroad | cleared | identifier 12"},
      {"after a saved row: a person again, whatever the last one was",
       [] { return NextRowShown(Condominium()); },
       "Не 0/6 | |||||| | P+ C- A- K+ | abroad | cleared | first input 12"},
  };
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Describe(c.step()), QString::fromUtf8(c.expected));
  }
}

}  // namespace
}  // namespace records
