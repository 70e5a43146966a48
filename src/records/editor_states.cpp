// The record editor's field states (see editor_states.h).
#include "records/editor_states.h"

#include "records/field_limits.h"
#include "records/income_codes.h"

namespace records {

namespace {

constexpr int kAllKinds = 6;      // the kinds of IdKindNames
constexpr int kForeignKinds = 3;  // ЕГН, ЛНЧ, service number

// The list holds `count` kinds and selects `kind`, or nothing when the list
// has no such entry.
void SelectKind(EditorValues &v, int count, int kind) {
  v.kind_count = count;
  v.row.kind = kind >= 0 && kind < count ? kind : kKindNone;
}

void ClearTexts(RowValues &row) {
  for (QString *text : {&row.identifier, &row.names, &row.country, &row.address, &row.income,
                        &row.tax, &row.code}) {
    text->clear();
  }
}

QString Caption(const char *caption) { return QString::fromUtf8(caption); }

// Condominium and interest rows name nobody: the kind decides the code, and
// the country is Bulgaria.
void NobodyNamed(EditorStep &step, const QString &code) {
  EditorValues &v = step.values;
  v.row.identifier.clear();
  v.row.names.clear();
  v.person_enabled = false;
  v.row.country = QStringLiteral("BG");
  v.country_enabled = false;
  v.row.code = code;
  v.code_enabled = false;
  step.code_name = CodeNameShown::kLookedUp;
}

}  // namespace

EditorStep Activated(const EditorValues &values) {
  EditorStep step{values};
  EditorValues &v = step.values;
  SelectKind(v, kAllKinds, kKindEGN);
  v.address_caption = Caption(kAddressAbroadCaption);
  if (!v.person_enabled) {
    v.person_enabled = true;
    v.code_enabled = true;
  }
  return step;
}

EditorStep NewRowShown(const EditorValues &values) {
  EditorStep step{values};
  EditorValues &v = step.values;
  ClearTexts(v.row);
  v.row.foreign = false;
  SelectKind(v, kAllKinds, kKindEGN);
  v.country_enabled = false;
  v.address_enabled = false;
  step.code_name = CodeNameShown::kCleared;
  step.focus = EditorFocus::kIdentifier;
  return step;
}

EditorStep StoredRowShown(const EditorValues &values, const StoredRowView &view) {
  EditorStep step{values};
  EditorValues &v = step.values;
  v.row.foreign = view.foreign;
  SelectKind(v, view.foreign ? kForeignKinds : kAllKinds, view.kind);
  const bool person = view.state == EditorState::kPerson || view.foreign;
  v.person_enabled = person;
  v.country_enabled = view.foreign;
  v.address_enabled = view.foreign || view.state == EditorState::kCondominium;
  v.code_enabled = person || view.state == EditorState::kKindFourNoCode;
  if (view.state == EditorState::kCondominium) {
    v.address_caption = Caption(kCondominiumAddressCaption);
  }
  return step;
}

EditorStep ForeignOff(const EditorValues &values) {
  EditorStep step{values};
  EditorValues &v = step.values;
  v.row.foreign = false;
  if (v.insert_mode) {
    SelectKind(v, kAllKinds, kKindEGN);
  } else {
    SelectKind(v, kAllKinds, v.stored_kind);
    v.row.income.clear();
    v.row.tax.clear();
  }
  if (v.row.kind != kKindCondominium) {
    v.row.country.clear();
    v.country_enabled = false;
    v.row.address.clear();
    v.address_enabled = false;
    v.address_caption = Caption(kAddressAbroadCaption);
    v.code_enabled = true;
    return step;
  }
  // A stored condominium row: its code comes back with the kind.
  NobodyNamed(step, v.stored_code);
  v.address_enabled = true;
  v.address_caption = Caption(kCondominiumAddressCaption);
  return step;
}

EditorStep ForeignOn(const EditorValues &values) {
  EditorStep step{values};
  EditorValues &v = step.values;
  v.row.foreign = true;
  if (v.insert_mode) {
    SelectKind(v, kForeignKinds, kKindEGN);
  } else {
    SelectKind(v, kForeignKinds, v.stored_kind == kKindCondominium ? kKindEGN : v.stored_kind);
  }
  v.person_enabled = true;
  v.country_enabled = true;
  v.row.country.clear();
  v.address_enabled = true;
  v.address_caption = Caption(kAddressAbroadCaption);
  if (IsKindBoundCode(v.row.code)) {
    v.row.code.clear();
    step.code_name = CodeNameShown::kCleared;
  }
  v.code_enabled = true;
  return step;
}

EditorStep KindChosen(const EditorValues &values) {
  EditorStep step{values};
  EditorValues &v = step.values;
  const int kind = v.row.kind;
  v.person_enabled = true;
  v.code_enabled = true;
  if (IsPersonKind(kind)) {
    v.identifier_limit = kIdentifierLimit;
  } else if (kind == kKindCondominium || kind == kKindBankInterest) {
    NobodyNamed(step,
                QLatin1String(kind == kKindCondominium ? kCondominiumCode : kBankInterestCode));
  }
  if (kind == kKindCondominium) {
    v.country_enabled = false;
    v.address_enabled = true;
    v.address_caption = Caption(kCondominiumAddressCaption);
  } else {
    v.row.country.clear();
    v.row.address.clear();
    v.country_enabled = v.row.foreign;
    v.address_enabled = v.row.foreign;
    v.address_caption = Caption(v.row.foreign ? kAddressAbroadCaption : kCondominiumAddressCaption);
    if (IsPersonKind(kind) && IsKindBoundCode(v.row.code)) {
      v.row.code.clear();
      step.code_name = CodeNameShown::kCleared;
    }
  }
  step.focus = IsPersonKind(kind)                              ? EditorFocus::kIdentifier
               : v.row.code == QLatin1String(kCondominiumCode) ? EditorFocus::kAddress
                                                               : EditorFocus::kIncome;
  return step;
}

EditorStep NextRowShown(const EditorValues &values) {
  EditorStep step{values};
  EditorValues &v = step.values;
  v.row.foreign = false;
  SelectKind(v, kAllKinds, kKindEGN);
  ClearTexts(v.row);
  step.code_name = CodeNameShown::kCleared;
  v.person_enabled = true;
  v.code_enabled = true;
  v.country_enabled = false;
  v.address_enabled = false;
  v.address_caption = Caption(kAddressAbroadCaption);
  step.focus = EditorFocus::kFirstInput;
  return step;
}

}  // namespace records
