// What the program's home (program_home.h) asks of the operating system, one
// file per platform: home_folders_posix.cpp, home_folders_windows.cpp.
#pragma once

#include <QString>

namespace shell {

// The user's own data folder, without the program's name: $XDG_DATA_HOME
// when it holds an absolute path, else ~/.local/share (the home directory
// from $HOME, else from the password database); %APPDATA% on Windows.
QString UserDataFolder();

// Whether this user may create files in `dir`.
bool CanCreateFilesIn(const QString &dir);

// Makes the one folder `folder` (its parent exists), readable by its owner
// only; false with the reason in `error`. A folder that exists already is no
// failure.
bool MakePrivateFolder(const QString &folder, QString *error);

}  // namespace shell
