// The home's system calls on Linux; see home_folders.h.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "shell/home_folders.h"

namespace shell {
namespace {

QString UserHomeDirectory() {
  const QString home = qEnvironmentVariable("HOME");
  if (QDir::isAbsolutePath(home)) return home;
  if (const passwd *entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return QFile::decodeName(entry->pw_dir);
  }
  return QDir::rootPath();
}

}  // namespace

const char *UserDataFolderVariable() { return "XDG_DATA_HOME"; }

QString UserDataFolder() {
  const QString base = qEnvironmentVariable(UserDataFolderVariable());
  // Relative paths in the variable are invalid and ignored.
  if (QDir::isAbsolutePath(base)) return base;
  return UserHomeDirectory() + QStringLiteral("/.local/share");
}

bool CanCreateFilesIn(const QString &dir) {
  return ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0;
}

bool MakePrivateFolder(const QString &folder, QString *error) {
  if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST) return true;
  *error = QString::fromLocal8Bit(std::strerror(errno));
  return false;
}

}  // namespace shell
