// The record editor's field rules (see editor_rules.h).
#include "records/editor_rules.h"

#include "records/income_codes.h"
#include "shell/display_texts.h"

namespace records {

namespace {

bool IsLatinLetterRange(QChar c) { return c.unicode() >= 0x41 && c.unicode() <= 0x7A; }

QString KindName(int kind) {
  const QStringList &names = shell::IdKindNames();
  return kind >= 0 && kind < names.size() ? names.at(kind) : QString();
}

}  // namespace

StoredRowView ViewOfStoredRow(const QString &f02, const QString &f03, const QString &f10) {
  StoredRowView view;
  const QChar stored = f03.isEmpty() ? QLatin1Char('0') : f03.at(0);
  const int kind =
      stored >= QLatin1Char('0') && stored <= QLatin1Char('4') ? stored.digitValue() : kKindNone;
  if (f02 == QLatin1String("1")) {
    view.foreign = true;
    view.kind = kind >= kKindEGN && kind <= kKindServiceNo ? kind : kKindNone;
    view.state = EditorState::kForeignPerson;
    return view;
  }
  if (kind != kKindCondominium) {
    view.kind = kind;
    view.state = EditorState::kPerson;
  } else if (f10 == QLatin1String(kBankInterestCode)) {
    view.kind = kKindBankInterest;
    view.state = EditorState::kInterest;
  } else {
    view.kind = kKindCondominium;
    view.state = f10.isEmpty() ? EditorState::kKindFourNoCode : EditorState::kCondominium;
  }
  return view;
}

QString StoredKind(int kind) {
  return kind >= kKindEGN && kind <= kKindCondominium ? QString::number(kind) : QStringLiteral("4");
}

CodeExitCheck CheckCodeOnExit(const QString &text, int kind) {
  CodeExitCheck check;
  check.code = text;
  check.code.remove(QLatin1Char('+')).remove(QLatin1Char('-'));
  bool ok = false;
  const qint64 number = check.code.toLongLong(&ok);
  if (!ok || !IsAllowedIncomeCode(number)) {
    check.result = CodeExitCheck::kNotAllowed;
    check.warning = QString::fromUtf8(kCodeNotAllowedText);
    return check;
  }
  const bool fits = kind == kKindCondominium    ? check.code == QLatin1String(kCondominiumCode)
                    : kind == kKindBankInterest ? check.code == QLatin1String(kBankInterestCode)
                                                : !IsKindBoundCode(check.code);
  if (!fits) {
    check.result = CodeExitCheck::kWrongKind;
    check.warning = QStringLiteral(" Невалиден код доход [") + check.code +
                    QStringLiteral("] при вид идентификатор [") + KindName(kind) +
                    QStringLiteral("].    ");
  }
  return check;
}

CountryExitCheck CheckCountryOnExit(const QString &text) {
  CountryExitCheck check;
  if (text.size() != 2 || !IsLatinLetterRange(text.at(0)) || !IsLatinLetterRange(text.at(1))) {
    check.result = CountryExitCheck::kNotTwoLatinLetters;
    return check;
  }
  check.code = CountryCodeUpper(text);
  check.result =
      check.code == QLatin1String("BG") ? CountryExitCheck::kBulgaria : CountryExitCheck::kLookUp;
  return check;
}

QString CountryAddressCaption(const QString &code, const QString &name) {
  return QStringLiteral("(7) Адрес в [") + code + QStringLiteral("] ") + name;
}

}  // namespace records
