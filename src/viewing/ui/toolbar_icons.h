#pragma once

#include <QIcon>
#include <QString>

namespace sw::viewing {

// The icon of a toolbar command, drawn as vector strokes at whatever size and device pixel ratio
// it is shown (sharp on HiDPI screens, no image files). An unknown caption gives a null icon.
QIcon toolbarIcon(const QString& caption);

}  // namespace sw::viewing
