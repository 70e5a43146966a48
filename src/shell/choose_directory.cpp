// See choose_directory.h.
#include "shell/choose_directory.h"

#include "ui/ui_driver.h"

namespace shell {

QString ChooseDirectory(QWidget *owner) {
  return ui::ChooseFolder(owner, QStringLiteral("Изберете директория"));
}

}  // namespace shell
