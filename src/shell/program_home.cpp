// See program_home.h.
#include "shell/program_home.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "shell/app_paths.h"
#include "shell/home_folders.h"

namespace shell {
namespace {

// The installed shipped files, relative to the folder of the program file.
constexpr char kInstalledShareDir[] = "../share/vedil";

QString WithSlash(const QString &dir) {
  return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QString ProgramDir(const QString &program_file) { return QFileInfo(program_file).absolutePath(); }

bool HasPortableMarker(const QString &program_dir) {
  return QFileInfo::exists(program_dir + QLatin1Char('/') + QLatin1String(kPortableMarkerName));
}

// Makes `path` with its missing parents, each new folder readable by its
// owner only (the home holds personal identifiers). False with the reason in
// `error` when it cannot be made or is not a folder.
bool MakePrivateFolders(const QString &path, QString *error) {
  const QString clean = QDir::cleanPath(path);
  QStringList missing;
  for (QString p = clean; !QFileInfo::exists(p);) {
    missing.prepend(p);
    const QString parent = QFileInfo(p).path();
    if (parent == p) break;
    p = parent;
  }
  for (const QString &folder : missing) {
    if (!MakePrivateFolder(folder, error)) return false;
  }
  if (!QFileInfo(clean).isDir()) {
    *error = QStringLiteral("не е папка");
    return false;
  }
  return true;
}

qint64 ModifiedSeconds(const QFileInfo &file) { return file.lastModified().toSecsSinceEpoch(); }

// Replaces `to` by a copy of `from` in one step and gives it the modification
// time of `from`, so that an unchanged shipped file is not copied again.
bool CopyKeepingTime(const QString &from, const QString &to, QString *error) {
  QFile in(from);
  if (!in.open(QIODevice::ReadOnly)) {
    *error = in.errorString();
    return false;
  }
  QSaveFile out(to);
  if (!out.open(QIODevice::WriteOnly)) {
    *error = out.errorString();
    return false;
  }
  while (!in.atEnd()) {
    const QByteArray chunk = in.read(1 << 16);
    if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
      *error = in.errorString();
      out.cancelWriting();
      return false;
    }
    if (out.write(chunk) != chunk.size()) {
      *error = out.errorString();
      out.cancelWriting();
      return false;
    }
  }
  if (!out.commit()) {
    *error = out.errorString();
    return false;
  }
  QFile copied(to);
  if (!copied.open(QIODevice::ReadOnly) ||
      !copied.setFileTime(QFileInfo(from).lastModified(), QFileDevice::FileModificationTime)) {
    *error = copied.errorString();
    return false;
  }
  return true;
}

// True when some member of `group` is shipped and is missing in the home or
// older there.
bool GroupNeedsCopy(const QStringList &group, const QString &shipped_dir, const QString &home) {
  for (const QString &name : group) {
    const QFileInfo shipped(shipped_dir + name);
    if (!shipped.isFile()) continue;
    const QFileInfo own(home + name);
    if (!own.isFile() || ModifiedSeconds(shipped) > ModifiedSeconds(own)) return true;
  }
  return false;
}

}  // namespace

QString UserDataHome() {
  return WithSlash(
      QDir::cleanPath(UserDataFolder() + QLatin1Char('/') + QLatin1String(kHomeFolderName)));
}

bool IsPortableCopy(const QString &program_file) {
  const QString dir = ProgramDir(program_file);
  return HasPortableMarker(dir) && CanCreateFilesIn(dir);
}

QString ProgramHomeFor(const QString &program_file) {
  if (IsPortableCopy(program_file)) return WithSlash(ProgramDir(program_file));
  return UserDataHome();
}

QString ShippedFilesDir(const QString &program_file) {
  const QString dir = ProgramDir(program_file);
  if (!HasPortableMarker(dir)) {
    const QString installed =
        QDir::cleanPath(dir + QLatin1Char('/') + QLatin1String(kInstalledShareDir));
    if (QFileInfo(installed).isDir()) return WithSlash(installed);
  }
  return WithSlash(dir);
}

QList<QStringList> ShippedFileGroups(const QString &exe_name) {
  const QString data = QLatin1String(kDataDirName) + QLatin1Char('/');
  return {
      {data + QLatin1String(kCountriesTableName), data + QLatin1String(kCountriesIndexName)},
      {data + QLatin1String(kIncomesTableName)},
      {ChangeFileExt(exe_name, QStringLiteral(".rav"))},
      {ChangeFileExt(exe_name, QStringLiteral(".html"))},
  };
}

HomeUpdate UpdateProgramHome(const QString &shipped_dir, const QString &home,
                             const QString &exe_name) {
  HomeUpdate update;
  const QString from = WithSlash(shipped_dir);
  const QString to = WithSlash(home);
  update.home_ready = MakePrivateFolders(to + QLatin1String(kDataDirName), &update.error);
  if (!update.home_ready) return update;
  if (QFileInfo(from).canonicalFilePath() == QFileInfo(to).canonicalFilePath()) return update;
  for (const QStringList &group : ShippedFileGroups(exe_name)) {
    if (!GroupNeedsCopy(group, from, to)) continue;
    for (const QString &name : group) {
      if (!QFileInfo(from + name).isFile()) continue;
      QString error;
      if (CopyKeepingTime(from + name, to + name, &error)) {
        update.copied << name;
      } else {
        update.failed << name;
        if (update.error.isEmpty()) update.error = error;
      }
    }
  }
  return update;
}

QString HomeUpdateProblem(const HomeUpdate &update, const QString &home) {
  const QString folder = QDir::toNativeSeparators(home);
  if (!update.home_ready) {
    return QStringLiteral("Папката с данните на програмата [%1] не може да бъде създадена (%2).")
        .arg(folder, update.error);
  }
  if (update.failed.isEmpty()) return QString();
  return QStringLiteral("Файловете на програмата не могат да бъдат копирани в папката [%1] (%2):\n")
             .arg(folder, update.error) +
         update.failed.join(QLatin1Char('\n'));
}

}  // namespace shell
