// See app_paths.h.
#include "shell/app_paths.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace shell {
namespace {

struct AppPaths {
  QString dir;
  QString exe_name;
  bool set = false;
};

AppPaths g_paths;

// The paths, taken from the running program when nobody set them.
const AppPaths &Paths() {
  if (!g_paths.set && QCoreApplication::instance() != nullptr) {
    InitAppPaths(QCoreApplication::applicationFilePath());
  }
  return g_paths;
}

}  // namespace

void InitAppHome(const QString &home, const QString &exe_name) {
  g_paths.dir = home;
  if (!g_paths.dir.endsWith(QLatin1Char('/'))) g_paths.dir += QLatin1Char('/');
  g_paths.exe_name = exe_name;
  g_paths.set = true;
}

void InitAppPaths(const QString &program_file) {
  const QFileInfo info(program_file);
  InitAppHome(info.absolutePath(), info.fileName());
}

const QString &AppDir() { return Paths().dir; }
const QString &ExeName() { return Paths().exe_name; }

QString ChangeFileExt(const QString &name, const QString &ext) {
  const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot > slash) return name.left(dot) + ext;
  return name + ext;
}

QString DataDir() { return AppDir() + QLatin1String(kDataDirName) + QLatin1Char('/'); }
QString DataFile(const QString &name) { return DataDir() + name; }
QString SettingsFilePath() { return AppDir() + ChangeFileExt(ExeName(), QStringLiteral(".ini")); }
QString HelpFilePath() { return AppDir() + ChangeFileExt(ExeName(), QStringLiteral(".html")); }

}  // namespace shell
