#pragma once

#include <QImage>
#include <QPoint>

// Rows of two packed 1-bit sheets (Format_Mono, most significant bit leftmost, 1 = ink, padding
// bits 0: the imaging engine's invariant) read on the pixels of the first one, the second moved
// by a whole-pixel shift. The comparison's classes come from these rows by word operations:
// ink in both = n & e, only in the new sheet = n & ~e, only in the earlier one = e & ~n.
// Pure functions; any thread.
namespace sw::compare {

// Bytes [b0, b1) of row y of `newer`'s pixel grid, taken from `earlier` moved by `shift`: pixel
// (x, y) of the result is earlier pixel (x - shift.x, y - shift.y), paper where that lies outside
// the earlier sheet, and paper past newerWidth. Writes b1 - b0 bytes to `out`.
void shiftedRow(const QImage& earlier, QPoint shift, int y, int newerWidth, int b0, int b1,
                uchar* out);

// The two sheets' rows at y of the new sheet, bytes [b0, b1), as the three ink classes.
struct ClassRows {
    uchar* both;
    uchar* onlyNew;
    uchar* onlyEarlier;
};
void classRows(const QImage& newer, const QImage& earlier, QPoint shift, int y, int b0, int b1,
               uchar* scratch, const ClassRows& out);

}  // namespace sw::compare
