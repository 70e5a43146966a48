// The agency's logo (VeskorLogo) that the main window and the dialogs show at
// their top, 85 x 57 pixels, and the program's icon in the logo's colours,
// both drawn rather than loaded so no image file ships.
#pragma once

#include <QImage>
#include <QPixmap>

namespace ui {

QPixmap VeskorLogo();

// The program's icon, `size` x `size` pixels: a report sheet over the logo's
// navy square with its white and red band. Shapes only, no text, so it draws
// without fonts (also when the icon files are made at build time).
QImage ProgramIcon(int size);

}  // namespace ui
