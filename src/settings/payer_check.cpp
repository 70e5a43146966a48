// See payer_check.h.
#include "settings/payer_check.h"

#include <QFileInfo>

#include "settings/payer_fields.h"
#include "settings/payer_settings.h"
#include "shell/app_paths.h"
#include "shell/identifier_checks.h"
#include "shell/payer_record.h"
#include "xbase/file/clock.h"

namespace settings {
namespace {

using shell::PayerRecord;

const char *const kStatusWords[4] = {"Active", "Stopped", "Target", "StoppedTarget"};

bool IsKind(const QString &kind, const char *name) { return kind == QString::fromUtf8(name); }

bool IdentifierFails(const QString &no, const QString &kind) {
  if (no.isEmpty()) return true;
  if (IsKind(kind, kKindEgn)) return !shell::CheckEGN(no);
  if (IsKind(kind, kKindLnch)) return !shell::CheckLNCh(no);
  if (IsKind(kind, kKindServiceNo)) return !shell::CheckServiceNo(no);
  if (IsKind(kind, kKindEik)) return !shell::CheckEIK(no) && !shell::CheckEGN(no);
  return false;
}

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
  if (n < 1 || n > shell::kPayerValueCount) return PayerProblem{};
  const PayerField &field = kPayerFields[n - 1];
  const QString &value = v[field.index];
  const QString &partner = v[field.partner];
  QString warning = QString::fromUtf8(field.warning);
  bool fails = false;
  switch (field.rule) {
    case PayerRule::kAny:
      break;
    case PayerRule::kTaxYear:
      fails = value != QString::number(current_year - 1) && value != QString::number(current_year);
      break;
    case PayerRule::kIdentifierKind:
      fails = !IsKind(value, kKindEgn) && !IsKind(value, kKindLnch) &&
              !IsKind(value, kKindServiceNo) && !IsKind(value, kKindEik);
      break;
    case PayerRule::kIdentifier:
      fails = IdentifierFails(value, partner);
      warning = identifier_warning;
      break;
    case PayerRule::kRequired:
      fails = value.isEmpty();
      break;
    case PayerRule::kPostalCode:
      fails = value.size() != 4 || shell::HasNonDigit(value);
      break;
    case PayerRule::kStreetName:
      fails = value.isEmpty();
      warning += partner;  // names the kind of street that is missing its name
      break;
    case PayerRule::kRepresentativeName:
      fails = value.isEmpty() && !partner.isEmpty();
      break;
    case PayerRule::kRepresentativeId:
      fails = value.isEmpty() ? !partner.isEmpty()
                              : !shell::CheckEGN(value) && !shell::CheckLNCh(value) &&
                                    !shell::CheckServiceNo(value);
      break;
    case PayerRule::kStatusWord: {
      bool termination = false;
      bool successor = false;
      fails = !StatusFlags(value, &termination, &successor);
      break;
    }
  }
  if (!fails) return PayerProblem{};
  return PayerProblem{n, QLatin1String(field.control), warning};
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
