// See engine_text.h.
#include "ui/engine_text.h"

#include <QDir>

namespace ui {

std::string EnginePath(const QString &path) {
  return QDir::fromNativeSeparators(path).toUtf8().toStdString();
}

QString EngineErrorText(const char *what) { return QString::fromUtf8(what); }

}  // namespace ui
