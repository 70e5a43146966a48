// Text that crosses between the program and the engine: file names go to the
// engine as UTF-8 with '/' between folders, which its file layer expects on
// every platform, and its error texts come back the same way.
#pragma once

#include <QString>
#include <string>

namespace ui {

std::string EnginePath(const QString &path);
// The display text of an error's what(): the engine's messages name files by
// the UTF-8 paths EnginePath gave it, and the program's own errors are built
// from QString the same way, so every error is read as UTF-8 (never as the
// 1251 bytes of the tables, which would garble a Cyrillic folder name).
QString EngineErrorText(const char *what);

}  // namespace ui
