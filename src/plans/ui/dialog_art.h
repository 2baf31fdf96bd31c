#pragma once

#include <QPixmap>

// Pictures of the plan dialogs, drawn in code at the size asked for (sharp at any device pixel
// ratio, no image files): the product logo of the about window and the download picture of the
// batch download's progress panel.
namespace sw::plans {

// A plan sheet with a folded corner and drawing lines over a blue disc; `size` in logical pixels.
QPixmap sheetwiseLogo(int size, qreal devicePixelRatio = 1.0);

// A white sheet with a downward arrow into a tray, for a blue background.
QPixmap downloadPicture(int size, qreal devicePixelRatio = 1.0);

}  // namespace sw::plans
