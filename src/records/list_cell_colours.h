// The colours of a cell in the program's read-only row lists (the data entry
// grid and the country pick list): the row the user is on stands out.
#pragma once

#include <QColor>

namespace records {

// The current row red with yellow text in the focused cell and light green
// (192, 220, 192) elsewhere; other rows white. `text` is invalid where the
// list's normal text colour applies.
struct CellColours {
  QColor background;
  QColor text;
};
CellColours ListCellColours(bool current_row, bool focused_cell);

}  // namespace records
