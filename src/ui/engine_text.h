// Text that crosses between the program and the engine: file names go to the
// engine as UTF-8 with '/' between folders, which its file layer expects on
// every platform, and its error texts come back the same way.
#pragma once

#include <QString>
#include <string>

namespace ui {

std::string EnginePath(const QString &path);
QString EngineErrorText(const char *what);

}  // namespace ui
