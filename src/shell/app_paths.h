// Where the program and its files live: the program's home (AppDir), the
// program file's name, and each of the program's files spelled once.
#pragma once

#include <QString>

namespace shell {

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

// AppDir + "data/".
QString DataDir();
// DataDir() + name.
QString DataFile(const QString &name);
// AppDir + ExeName with its extension replaced by ".ini".
QString SettingsFilePath();
// AppDir + ExeName with its extension replaced by ".html": the help shown by
// the help command.
QString HelpFilePath();

}  // namespace shell
