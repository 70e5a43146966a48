// See window_flags.h.
#include "shell/window_flags.h"

namespace shell {

QString FileToCheck;
bool InsertMode = false;
bool EditMode = false;

}  // namespace shell
