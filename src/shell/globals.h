// What the whole program shares: where the program and its files live, the
// number format of amounts, the display tables (identifier kinds, agency
// record field captions, the record editor's numbered messages), the payer
// record in memory, and the small flags windows hand to each other.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>

class QWidget;

namespace shell {

// ---- Program location ------------------------------------------------------

// AppDir is the program's home: the folder of the settings file and the data
// directory (program_home.h says which folder that is). ExeName is the file
// name of the program file; the settings, help and report files are named
// after it.

// Sets AppDir to `home` and ExeName to `exe_name`.
void InitAppHome(const QString &home, const QString &exe_name);
// Sets AppDir to the directory of `program_file` and ExeName to its file
// name: the files live beside it. Tests point it at a file in a temp dir.
void InitAppPaths(const QString &program_file);

// The program's home, ending with '/'.
const QString &AppDir();
// File name of the program file without directory ("vedil").
const QString &ExeName();

// `name` with the extension of its last path element replaced by `ext` (with
// its dot); a name without extension gets `ext` appended.
QString ChangeFileExt(const QString &name, const QString &ext);

// The program's files, each spelled once. Paths are AppDir-based.
inline constexpr char kDataDirName[] = "data";
inline constexpr char kIncomeTableName[] = "dvel.dbf";
inline constexpr char kIncomeIndexName[] = "dvel.ntx";
inline constexpr char kCountriesTableName[] = "Countries.dbf";
inline constexpr char kCountriesIndexName[] = "Countries.cdx";
inline constexpr char kIncomesTableName[] = "Incomes.dbf";
inline constexpr char kReportProjectName[] = "vedil.rav";

// The titles of the program's warnings and information boxes.
inline constexpr char kWarningTitle[] = "Внимание !";
inline constexpr char kInformationTitle[] = "Информация";

// AppDir + "data/".
QString DataDir();
// DataDir() + name.
QString DataFile(const QString &name);
// AppDir + ExeName with its extension replaced by ".ini".
QString SettingsFilePath();
// AppDir + ExeName with its extension replaced by ".html": the help shown by
// the help command.
QString HelpFilePath();

// ---- Number format ----------------------------------------------------------

// The user's locale, with '.' as decimal separator and two currency decimals.
// Amounts are always written and read with these, whatever the locale says.
struct FormatSettings {
  QLocale locale;
  QChar decimal_separator = QLatin1Char('.');
  int currency_decimals = 2;
};
const FormatSettings &AppFormatSettings();

// value with `decimals` digits after a '.', no grouping ("-1234.50").
QString FormatFixed(double value, int decimals);
// Reads a number written with '.' (blanks around it allowed, no grouping);
// false when the text is not a number.
bool TextToFloat(const QString &text, double *value);

// ---- Display tables ----------------------------------------------------------

// Names of the identifier kinds by kind code 0..5.
const QStringList &IdKindNames();
// Captions of the 13 fields of an agency file record, in record order.
const QStringList &FieldCaptions();

// The 26 numbered messages of the record editor, numbered 1..26.
inline constexpr int kMessageCount = 26;
QString MsgText(int number);
// Kind of control the message belongs to: 'e' edit box, 'c' combo box,
// 'r' radio group.
QChar MsgKind(int number);
// Input field the message belongs to: 1 identifier, 2 name, 3 country code,
// 4 address, 5 income, 6 tax, 7 income code, 8 number of persons.
int MsgField(int number);
// Object name of the control the message belongs to ("Edit7").
QString MsgControlName(int number);

// ---- Payer data in memory -----------------------------------------------------

// Index of each payer value; the settings key of index i is kPayerKeys[i].
enum PayerIndex {
  kFiscalYear,
  kOwnerNoType,
  kOwnerNo,
  kOwnerName,
  kOwnerObl,
  kOwnerObst,
  kOwnerNM,
  kOwnerPK,
  kOwnerAddr,
  kOwnerAddrName,
  kOwnerAddrNo,
  kOwnerAddrVh,
  kOwnerAddrEt,
  kOwnerAddrAp,
  kOwnerObl8,
  kOwnerObst8,
  kOwnerNM8,
  kOwnerPK8,
  kOwnerAddr8,
  kOwnerAddrName8,
  kOwnerAddrNo8,
  kOwnerAddrVh8,
  kOwnerAddrEt8,
  kOwnerAddrAp8,
  kOwnerPhone,
  kOwnerEMail,
  kAuthorizedPersonName,
  kAuthorizedPersonID,
  kStatus,
  kOwnerAddrBl,
  kOwnerAddrBl8,
  kPayerValueCount
};
extern const std::array<const char *, kPayerValueCount> kPayerKeys;

using PayerRecord = std::array<QString, kPayerValueCount>;
// The payer's data in memory, filled from the settings file or the payer
// data dialog.
extern PayerRecord PayerData;

// ---- Flags between windows ---------------------------------------------------

// Full path of the agency file chosen for checking; empty when none.
extern QString FileToCheck;
// Set by the data entry window before it opens the record editor: append a
// new row, or change the current one. At most one is set.
extern bool InsertMode;
extern bool EditMode;

// ---- Shared dialogs --------------------------------------------------------------

// The folder dialog titled "Изберете директория", owned by `owner` (the data
// entry window); the chosen folder, or empty text on cancel.
QString ChooseDirectory(QWidget *owner);

}  // namespace shell
