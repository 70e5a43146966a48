// Where the program keeps the user's files (its home, which becomes AppDir)
// and how the files shipped with it get there. The home is the user's own
// data folder, or the program's folder for a portable copy. The shipped files
// are installed read-only with the program and copied into the home when
// missing there or older than the installed ones; the user's own files
// (settings, income table, agency files) are never part of that copy.
#pragma once

#include <QString>
#include <QStringList>

namespace shell {

// A file of this name beside the program file marks a portable copy: its home
// is the program's own folder, as long as the user can write there.
inline constexpr char kPortableMarkerName[] = "vedil.portable";
// The home's name inside the user's data folder.
inline constexpr char kHomeFolderName[] = "vedil";

// $XDG_DATA_HOME/vedil/ when that variable holds an absolute path, else
// ~/.local/share/vedil/ (the home directory from $HOME, else from the
// password database); %APPDATA%\vedil\ on Windows.
QString UserDataHome();

// True when the folder of `program_file` holds the portable marker and this
// user may create files in it.
bool IsPortableCopy(const QString &program_file);

// The home for `program_file`: its own folder for a portable copy, else
// UserDataHome(). A marked folder the user cannot write (a copy on a
// read-only medium) falls back to UserDataHome(). Ends with '/'.
QString ProgramHomeFor(const QString &program_file);

// The folder of the shipped files that belong to `program_file`, ending with
// '/': <folder>/../share/vedil/ of an installed program (so also under a
// staging prefix), else the program's own folder (a portable copy, the build
// tree).
QString ShippedFilesDir(const QString &program_file);

// The shipped files as paths relative to the home (and to the shipped
// folder), in groups that are copied together: a table with its index, the
// report project file, the help file.
QList<QStringList> ShippedFileGroups(const QString &exe_name);

struct HomeUpdate {
  bool home_ready = false;  // the home and its data directory exist
  QStringList copied;       // relative paths copied in this time
  QStringList failed;       // relative paths that could not be copied
  QString error;            // why the home or the first failed copy could not be made
};

// Makes `home` and its data directory when missing (folders it creates are
// private to the user), then copies from `shipped_dir` every group of
// ShippedFileGroups(exe_name) of which a member is missing in the home or is
// older there than the shipped one. A copy keeps the shipped file's
// modification time and replaces the old file at once (a reader still open
// on it keeps its old contents). Nothing is copied when both folders are the
// same.
HomeUpdate UpdateProgramHome(const QString &shipped_dir, const QString &home,
                             const QString &exe_name);

// The warning for what UpdateProgramHome could not do, naming the folder and
// the files; empty when it did everything.
QString HomeUpdateProblem(const HomeUpdate &update, const QString &home);

}  // namespace shell
