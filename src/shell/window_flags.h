// The small flags windows hand to each other.
#pragma once

#include <QString>

namespace shell {

// Full path of the agency file chosen for checking; empty when none.
extern QString FileToCheck;
// Set by the data entry window before it opens the record editor: append a
// new row, or change the current one. At most one is set.
extern bool InsertMode;
extern bool EditMode;

}  // namespace shell
