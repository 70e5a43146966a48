// The overwrite question of table creation; see table_overwrite_question.h.
#include "ui/table_overwrite_question.h"

#include "ui/codepage.h"
#include "ui/ui_driver.h"

namespace ui {

std::function<bool(const std::string &)> TableOverwriteQuestion(QWidget *parent) {
  return [parent](const std::string &question) {
    return MessageBox(parent, QStringLiteral("Warning"), codepage::FromCp1251(question),
                      Icon::kWarning, Buttons::kOkCancel) == Answer::kOk;
  };
}

}  // namespace ui
