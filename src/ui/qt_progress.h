// The program's progress dialog: a QProgressDialog, modal over the whole
// application so that nothing else can be started while the operation runs.
#pragma once

#include <memory>

#include "ui/progress.h"

namespace ui {

std::unique_ptr<ProgressSession> MakeQtProgress(const ProgressRequest &request);

}  // namespace ui
