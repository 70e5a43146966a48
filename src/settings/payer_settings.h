// The payer's data in the settings file: its template, one getter per key,
// the one-line street address, and loading and saving the whole payer record.
// Every operation opens the file, works, and lets it go.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "settings/settings_file.h"
#include "shell/payer_record.h"

namespace settings {

// The settings file beside the program (shell::SettingsFilePath()).
SettingsFile OpenSettingsFile();

// The 34 lines of a new settings file, all values empty.
const QStringList &SettingsTemplateLines();
// Writes the template to `path`, replacing any file there.
void WriteSettingsTemplate(const QString &path);

// "Year", "AuthorizedPerson" or "Owner": the section a payer key lives in.
QString SectionOfKey(const QString &key);
// One key of the settings file, at most 255 characters; "" when missing.
QString ReadPayerKey(const QString &key);

QString GetFiscalYear();
QString GetOwnerNoType();
QString GetOwnerNo();
QString GetOwnerName();
// `suffix` is "" for the correspondence address, "8" for the address under
// art. 8 of ДОПК.
QString GetOwnerObl(const QString &suffix = QString());
QString GetOwnerObst(const QString &suffix = QString());
QString GetOwnerNM(const QString &suffix = QString());
QString GetOwnerPK(const QString &suffix = QString());
QString GetOwnerAddr(const QString &suffix = QString());
QString GetOwnerAddrName(const QString &suffix = QString());
// The block prefix with "№" appended: "бл.№", or "№" alone.
QString GetOwnerAddrBl(const QString &suffix = QString());
QString GetOwnerAddrNo(const QString &suffix = QString());
QString GetOwnerAddrVh(const QString &suffix = QString());
QString GetOwnerAddrEt(const QString &suffix = QString());
QString GetOwnerAddrAp(const QString &suffix = QString());
QString GetOwnerPhone();
QString GetOwnerEMail();
QString GetAuthorizedPersonName();
QString GetAuthorizedPersonID();
QString GetStatus();

// The one-line street address ("ул.Витоша №15 ет.3"), at most 255 characters.
QString ComposeAddress(const QString &suffix = QString());

// The order the payer keys are saved in, which is also the order of the
// payer data dialog's comparison copy.
const std::array<shell::PayerIndex, shell::kPayerValueCount> &PayerSaveOrder();

// Reads the 31 payer values from the settings file (missing keys are empty).
shell::PayerRecord ReadPayerRecord();
// Clears shell::PayerData, then fills it from the settings file.
void LoadPayerData();
// Writes the 31 values in the key order of a saved file (year, identifier,
// name, correspondence address, address under art. 8, contacts,
// representative, status), then saves the file atomically. Throws
// SettingsWriteError when the file cannot be written.
void SavePayerRecord(const shell::PayerRecord &values);

}  // namespace settings
