// The agency's logo (VeskorLogo) that the main window and the dialogs show at
// their top, 85 x 57 pixels, drawn rather than loaded so no image file ships.
#pragma once

#include <QPixmap>

namespace ui {

QPixmap VeskorLogo();

}  // namespace ui
