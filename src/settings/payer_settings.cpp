// See payer_settings.h.
#include "settings/payer_settings.h"

#include <array>

#include "shell/app_paths.h"
#include "shell/payer_record.h"

namespace settings {
namespace {

constexpr int kMaxValueLength = 255;

QString Get(const char *key, const QString &suffix = QString()) {
  return ReadPayerKey(QLatin1String(key) + suffix);
}

// The order SavePayerRecord writes the keys in.
constexpr std::array<shell::PayerIndex, shell::kPayerValueCount> kSaveOrder = {
    shell::kFiscalYear,
    shell::kOwnerNoType,
    shell::kOwnerNo,
    shell::kOwnerName,
    shell::kOwnerObl,
    shell::kOwnerObst,
    shell::kOwnerNM,
    shell::kOwnerPK,
    shell::kOwnerAddr,
    shell::kOwnerAddrName,
    shell::kOwnerAddrBl,
    shell::kOwnerAddrNo,
    shell::kOwnerAddrVh,
    shell::kOwnerAddrEt,
    shell::kOwnerAddrAp,
    shell::kOwnerObl8,
    shell::kOwnerObst8,
    shell::kOwnerNM8,
    shell::kOwnerPK8,
    shell::kOwnerAddr8,
    shell::kOwnerAddrName8,
    shell::kOwnerAddrBl8,
    shell::kOwnerAddrNo8,
    shell::kOwnerAddrVh8,
    shell::kOwnerAddrEt8,
    shell::kOwnerAddrAp8,
    shell::kOwnerPhone,
    shell::kOwnerEMail,
    shell::kAuthorizedPersonName,
    shell::kAuthorizedPersonID,
    shell::kStatus,
};

}  // namespace

const std::array<shell::PayerIndex, shell::kPayerValueCount> &PayerSaveOrder() {
  return kSaveOrder;
}

SettingsFile OpenSettingsFile() { return SettingsFile(shell::SettingsFilePath()); }

const QStringList &SettingsTemplateLines() {
  static const QStringList lines = {
      "[Year]",
      "FiscalYear=",
      "[Owner]",
      "OwnerNo=",
      "OwnerNoType=",
      "OwnerName=",
      "Status=",
      "OwnerObl=",
      "OwnerObst=",
      "OwnerNM=",
      "OwnerPK=",
      "OwnerAddr=",
      "OwnerAddrName=",
      "OwnerAddrBl=",
      "OwnerAddrNo=",
      "OwnerAddrVh=",
      "OwnerAddrEt=",
      "OwnerAddrAp=",
      "OwnerObl8=",
      "OwnerObst8=",
      "OwnerNM8=",
      "OwnerPK8=",
      "OwnerAddr8=",
      "OwnerAddrName8=",
      "OwnerAddrBl8=",
      "OwnerAddrNo8=",
      "OwnerAddrVh8=",
      "OwnerAddrEt8=",
      "OwnerAddrAp8=",
      "OwnerPhone=",
      "OwnerEMail=",
      "[AuthorizedPerson]",
      "AuthorizedPersonName=",
      "AuthorizedPersonID=",
  };
  return lines;
}

void WriteSettingsTemplate(const QString &path) {
  WriteLinesAtomically(path, SettingsTemplateLines());
}

QString SectionOfKey(const QString &key) {
  if (key.compare(QLatin1String("FiscalYear"), Qt::CaseInsensitive) == 0) {
    return QStringLiteral("Year");
  }
  if (key.startsWith(QLatin1String("AuthorizedPerson"), Qt::CaseInsensitive)) {
    return QStringLiteral("AuthorizedPerson");
  }
  return QStringLiteral("Owner");
}

QString ReadPayerKey(const QString &key) {
  return OpenSettingsFile().ReadString(SectionOfKey(key), key).left(kMaxValueLength);
}

QString GetFiscalYear() { return Get("FiscalYear"); }
QString GetOwnerNoType() { return Get("OwnerNoType"); }
QString GetOwnerNo() { return Get("OwnerNo"); }
QString GetOwnerName() { return Get("OwnerName"); }
QString GetOwnerObl(const QString &suffix) { return Get("OwnerObl", suffix); }
QString GetOwnerObst(const QString &suffix) { return Get("OwnerObst", suffix); }
QString GetOwnerNM(const QString &suffix) { return Get("OwnerNM", suffix); }
QString GetOwnerPK(const QString &suffix) { return Get("OwnerPK", suffix); }
QString GetOwnerAddr(const QString &suffix) { return Get("OwnerAddr", suffix); }
QString GetOwnerAddrName(const QString &suffix) { return Get("OwnerAddrName", suffix); }
QString GetOwnerAddrBl(const QString &suffix) {
  return Get("OwnerAddrBl", suffix) + QStringLiteral("№");
}
QString GetOwnerAddrNo(const QString &suffix) { return Get("OwnerAddrNo", suffix); }
QString GetOwnerAddrVh(const QString &suffix) { return Get("OwnerAddrVh", suffix); }
QString GetOwnerAddrEt(const QString &suffix) { return Get("OwnerAddrEt", suffix); }
QString GetOwnerAddrAp(const QString &suffix) { return Get("OwnerAddrAp", suffix); }
QString GetOwnerPhone() { return Get("OwnerPhone"); }
QString GetOwnerEMail() { return Get("OwnerEMail"); }
QString GetAuthorizedPersonName() { return Get("AuthorizedPersonName"); }
QString GetAuthorizedPersonID() { return Get("AuthorizedPersonID"); }
QString GetStatus() { return Get("Status"); }

QString ComposeAddress(const QString &suffix) {
  QString address = GetOwnerAddr(suffix) + GetOwnerAddrName(suffix) + QLatin1Char(' ') +
                    GetOwnerAddrBl(suffix) + GetOwnerAddrNo(suffix);
  const QString entrance = GetOwnerAddrVh(suffix);
  if (!entrance.isEmpty()) address += QStringLiteral(" вх.") + entrance;
  const QString floor = GetOwnerAddrEt(suffix);
  if (!floor.isEmpty()) address += QStringLiteral(" ет.") + floor;
  const QString flat = GetOwnerAddrAp(suffix);
  if (!flat.isEmpty()) address += QStringLiteral(" ап.") + flat;
  return address.left(kMaxValueLength);
}

shell::PayerRecord ReadPayerRecord() {
  const SettingsFile file = OpenSettingsFile();
  shell::PayerRecord values;
  for (int i = 0; i < shell::kPayerValueCount; ++i) {
    const QString key = QLatin1String(shell::kPayerKeys[i]);
    values[i] = file.ReadString(SectionOfKey(key), key).left(kMaxValueLength);
  }
  return values;
}

void LoadPayerData() {
  shell::PayerData = shell::PayerRecord{};
  shell::PayerData = ReadPayerRecord();
}

void SavePayerRecord(const shell::PayerRecord &values) {
  SettingsFile file = OpenSettingsFile();
  for (shell::PayerIndex index : PayerSaveOrder()) {
    const QString key = QLatin1String(shell::kPayerKeys[index]);
    file.WriteString(SectionOfKey(key), key, values[index]);
  }
  file.Save();
}

}  // namespace settings
