// The cell colours of the read-only row lists (see list_cell_colours.h).
#include "records/list_cell_colours.h"

namespace records {

CellColours ListCellColours(bool current_row, bool focused_cell) {
  if (!current_row) return {QColor(Qt::white), QColor()};
  if (focused_cell) return {QColor(Qt::red), QColor(Qt::yellow)};
  return {QColor(192, 220, 192), QColor()};
}

}  // namespace records
