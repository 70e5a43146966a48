// The question table creation asks before it replaces an existing table, as
// a warning box with OK and Cancel; set it as
// TCreateXbaseDataSet::OnConfirmOverwrite.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace ui {

std::function<bool(const std::string &question)> TableOverwriteQuestion(QWidget *parent);

}  // namespace ui
