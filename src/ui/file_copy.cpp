// See file_copy.h.
#include "ui/file_copy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ui {

bool CopyFileIntoFolder(const QString &file, const QString &folder) {
  const QFileInfo source_info(file);
  if (!source_info.isFile() || !QFileInfo(folder).isDir()) return false;
  const QString target = QDir(folder).filePath(source_info.fileName());
  if (QFileInfo(target).canonicalFilePath() == source_info.canonicalFilePath()) return true;

  QFile source(file);
  if (!source.open(QIODevice::ReadOnly)) return false;
  QSaveFile out(target);
  if (!out.open(QIODevice::WriteOnly)) return false;
  char buffer[64 * 1024];
  for (;;) {
    const qint64 n = source.read(buffer, sizeof buffer);
    if (n < 0) return false;  // QSaveFile discards the partial copy
    if (n == 0) break;
    if (out.write(buffer, n) != n) return false;
  }
  return out.commit();
}

}  // namespace ui
