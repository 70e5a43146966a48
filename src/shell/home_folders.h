// What the program's home (program_home.h) asks of the operating system, one
// file per platform: home_folders_posix.cpp, home_folders_windows.cpp.
#pragma once

#include <QString>

namespace shell {

// The environment variable that names the user's own data folder:
// XDG_DATA_HOME, APPDATA on Windows.
const char *UserDataFolderVariable();

// The user's own data folder, without the program's name: the variable's
// folder when it holds an absolute path, else ~/.local/share (the home
// directory from $HOME, else from the password database), on Windows the
// roaming application data folder that %APPDATA% normally names.
QString UserDataFolder();

// Whether this user may create files in `dir`.
bool CanCreateFilesIn(const QString &dir);

// Makes the one folder `folder` (its parent exists), readable by its owner
// only; false with the reason in `error`. A folder that exists already is no
// failure.
bool MakePrivateFolder(const QString &folder, QString *error);

}  // namespace shell
