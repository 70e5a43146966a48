// The folder dialog the data entry window asks for a folder with.
#pragma once

#include <QString>

class QWidget;

namespace shell {

// The folder dialog titled "Изберете директория", owned by `owner` (the data
// entry window); the chosen folder, or empty text on cancel.
QString ChooseDirectory(QWidget *owner);

}  // namespace shell
