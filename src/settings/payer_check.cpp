// See payer_check.h.
#include "settings/payer_check.h"

#include <QFileInfo>

#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/identifier_checks.h"
#include "shell/payer_record.h"
#include "xbase/clock.h"

namespace settings {
namespace {

using shell::PayerRecord;

const char *const kStatusWords[4] = {"Active", "Stopped", "Target", "StoppedTarget"};

bool IsKind(const QString &kind, const char *name) { return kind == QString::fromUtf8(name); }

bool IdentifierFails(const PayerRecord &v) {
  const QString &no = v[shell::kOwnerNo];
  const QString &kind = v[shell::kOwnerNoType];
  if (no.isEmpty()) return true;
  if (IsKind(kind, kKindEgn)) return !shell::CheckEGN(no);
  if (IsKind(kind, kKindLnch)) return !shell::CheckLNCh(no);
  if (IsKind(kind, kKindServiceNo)) return !shell::CheckServiceNo(no);
  if (IsKind(kind, kKindEik)) return !shell::CheckEIK(no) && !shell::CheckEGN(no);
  return false;
}

bool PostalCodeFails(const QString &code) { return code.size() != 4 || shell::HasNonDigit(code); }

}  // namespace

QString StatusWord(bool termination, bool successor) {
  return QLatin1String(kStatusWords[(termination ? 1 : 0) + (successor ? 2 : 0)]);
}

bool StatusFlags(const QString &word, bool *termination, bool *successor) {
  for (int i = 0; i < 4; ++i) {
    if (word == QLatin1String(kStatusWords[i])) {
      *termination = (i & 1) != 0;
      *successor = (i & 2) != 0;
      return true;
    }
  }
  return false;
}

QString IdentifierWarning(const QString &kind, qsizetype identifier_length) {
  if (IsKind(kind, kKindEgn)) return QStringLiteral(" Невалиден ЕГН на платеца");
  if (IsKind(kind, kKindLnch)) return QStringLiteral(" Невалиден ЛНЧ на платеца");
  if (IsKind(kind, kKindServiceNo)) {
    return QStringLiteral(" Невалиден Служебен № от регистъра на ВЕСКОР на платеца");
  }
  if (IsKind(kind, kKindEik)) {
    if (identifier_length == 9)
      return QStringLiteral(" Невалиден 9-значен ЕИК (Булстат) на платеца");
    if (identifier_length == 10) return QStringLiteral(" Невалиден 10-значен ЕИК (ЕГН) на платеца");
    return QStringLiteral(" Въведете 9-значен (Булстат) или 10-значен (ЕГН) ЕИК на платеца");
  }
  return QStringLiteral(" Въведете идентификатор на платеца");
}

PayerProblem CheckPayerField(int n, const PayerRecord &v, const QString &identifier_warning,
                             int current_year) {
  using namespace shell;
  auto fail = [n](const char *control, const QString &warning) {
    return PayerProblem{n, QLatin1String(control), warning};
  };
  const QString address_name = QStringLiteral(" Въведете наименование ");
  const QString number = QStringLiteral(" Въведете № ");
  const QString pick = QStringLiteral(" Изберете от списъка ");
  switch (n) {
    case 1: {
      const QString &year = v[kFiscalYear];
      if (year != QString::number(current_year - 1) && year != QString::number(current_year)) {
        return fail("ComboBox1", QStringLiteral(" Изберете данъчна година"));
      }
      break;
    }
    case 2: {
      const QString &kind = v[kOwnerNoType];
      if (!IsKind(kind, kKindEgn) && !IsKind(kind, kKindLnch) && !IsKind(kind, kKindServiceNo) &&
          !IsKind(kind, kKindEik)) {
        return fail("ComboBox2", QStringLiteral(" Изберете вид идентификатор"));
      }
      break;
    }
    case 3:
      if (IdentifierFails(v)) return fail("Edit1", identifier_warning);
      break;
    case 4:
      if (v[kOwnerName].isEmpty()) return fail("Edit2", QStringLiteral(" Въведете име на платеца"));
      break;
    case 5:
    case 15:
      if (v[n - 1].isEmpty()) {
        return fail(n == 5 ? "Edit3" : "Edit10", QStringLiteral(" Въведете област"));
      }
      break;
    case 6:
    case 16:
      if (v[n - 1].isEmpty()) {
        return fail(n == 6 ? "Edit4" : "Edit11", QStringLiteral(" Въведете община"));
      }
      break;
    case 7:
    case 17:
      if (v[n - 1].isEmpty()) {
        return fail(n == 7 ? "Edit5" : "Edit12", QStringLiteral(" Въведете населено място"));
      }
      break;
    case 8:
      if (PostalCodeFails(v[kOwnerPK])) {
        return fail("Edit6", QStringLiteral(
                                 " Въведете ПК (4-цифрен) на адреса за кореспонденция на платеца"));
      }
      break;
    case 18:
      if (PostalCodeFails(v[kOwnerPK8])) {
        return fail("Edit13",
                    QStringLiteral(" Въведете ПК (4-цифрен) на адреса по чл.8 от ДОПК на платеца"));
      }
      break;
    case 9:
    case 19:
      if (v[n - 1].isEmpty()) return fail(n == 9 ? "ComboBox3" : "ComboBox4", pick);
      break;
    case 10:
      // The warning names the kind of street that is missing its name.
      if (v[kOwnerAddrName].isEmpty()) return fail("Edit7", address_name + v[kOwnerAddr]);
      break;
    case 20:
      if (v[kOwnerAddrName8].isEmpty()) return fail("Edit14", address_name + v[kOwnerAddr8]);
      break;
    case 11:
      if (v[kOwnerAddrNo].isEmpty()) return fail("Edit19", number);
      break;
    case 21:
      if (v[kOwnerAddrNo8].isEmpty()) return fail("Edit15", number);
      break;
    case 27:
      if (v[kAuthorizedPersonName].isEmpty() && !v[kAuthorizedPersonID].isEmpty()) {
        return fail("Edit23", QStringLiteral(" Въведете името на представляващия "));
      }
      break;
    case 28: {
      const QString &id = v[kAuthorizedPersonID];
      const bool bad = id.isEmpty() ? !v[kAuthorizedPersonName].isEmpty()
                                    : !CheckEGN(id) && !CheckLNCh(id) && !CheckServiceNo(id);
      if (bad)
        return fail("Edit24", QStringLiteral(" Въведете вярно ЕГН/ЛНЧ/Сл.№ от рег.на ВЕСКОР "));
      break;
    }
    case 29: {
      bool termination = false;
      bool successor = false;
      if (!StatusFlags(v[kStatus], &termination, &successor)) return fail("", QString());
      break;
    }
    default:  // entrance, floor, flat, phone, e-mail, block prefixes: anything goes
      break;
  }
  return PayerProblem{};
}

PayerProblem FindPayerProblem(const PayerRecord &values, const QString &identifier_warning,
                              int current_year) {
  for (int n = 1; n <= shell::kPayerValueCount; ++n) {
    PayerProblem problem = CheckPayerField(n, values, identifier_warning, current_year);
    if (problem.value != 0) return problem;
  }
  return PayerProblem{};
}

bool CheckPayerDataSilently() {
  // The identifier's warning is chosen from the kind in memory before the file
  // is read, so at start-up it is always the one for no kind. That is harmless:
  // this check shows no warning, only its answer (a problem or none) is used.
  const QString warning = IdentifierWarning(shell::PayerData[shell::kOwnerNoType],
                                            shell::PayerData[shell::kOwnerNo].size());
  const QString path = shell::SettingsFilePath();
  if (!QFileInfo::exists(path)) WriteSettingsTemplate(path);
  LoadPayerData();
  return FindPayerProblem(shell::PayerData, warning, xb::Now().year).value != 0;
}

}  // namespace settings
