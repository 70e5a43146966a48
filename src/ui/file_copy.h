// Copying one file into a folder, the way the agency file's copy reaches the
// folder the user chose.
#pragma once

#include <QString>

namespace ui {

// Copies `file` into `folder` under its own name, replacing a file of that
// name. The copy is written beside the target and renamed over it, so the
// target is either the old file or the complete new one. False on failure
// (missing source or folder, no write permission, disk full).
bool CopyFileIntoFolder(const QString &file, const QString &folder);

}  // namespace ui
