#pragma once

#include <QPoint>

#include "imaging/sheet.h"

// Bringing an earlier revision of a sheet onto the new one: the same resolution first, then the
// shift that lays its drawing over the new drawing. Pure functions; any thread (the pyramid
// levels of both sheets are built on first use, thread-safely).
namespace sw::compare {

// The earlier sheet at the new sheet's resolution, one bit per pixel (grey and colour sheets are
// reduced to ink where darker than mid-grey), without an overlay. Throws imaging::ImagingError
// when it would be unreasonably large (more than 16 times the new sheet's pixels).
imaging::Sheet atResolutionOf(const imaging::Sheet& earlier, const imaging::Sheet& newer);

// The whole-pixel shift s that lays `earlier` over `newer` best: earlier pixel p lies on new
// pixel p + s. Both bilevel at the same resolution, of any sizes. Coarse to fine: an exhaustive
// search on a reduced level about 128 cells across (shifts up to a sixth of the larger sheet plus
// the difference of their sizes), then a narrow search on each finer level down to the 4:1
// level, and the last step on the bits themselves. Ink coverage is correlated at every step;
// blank sheets give (0, 0).
QPoint findShift(const imaging::Sheet& newer, const imaging::Sheet& earlier);

}  // namespace sw::compare
