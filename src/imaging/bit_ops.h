#pragma once

#include <cstdint>

#include <QImage>
#include <QRect>

// Operations on packed 1-bit sheets (QImage::Format_Mono: rows of bytes, most significant bit is
// the leftmost pixel, rows padded to 4 bytes). Throughout the engine a bilevel sheet keeps bit 1 =
// ink and bit 0 = paper, and every padding bit past the width is 0, so that counting set bits
// measures ink. Every function here keeps that invariant. Pure functions; any thread.
namespace sw::imaging::bits {

// Sets every bit past the image width to 0 in every row.
void clearPadding(QImage& mono);

// The image turned clockwise by quarterTurns * 90 degrees (any integer, taken modulo 4), computed
// on the packed bits (8 x 8 bit-block transposes); the colour table is kept.
QImage rotateQuarterTurns(const QImage& mono, int quarterTurns);

// The part of the image inside rect (which must lie inside the image), shifted bitwise.
QImage cropped(const QImage& mono, const QRect& rect);

// Writes count pixels of a packed row, starting at pixel x0, as one byte each: 255 for ink, 0 for
// paper.
void expandToBytes(const uchar* row, int x0, int count, uchar* out);

// Ink coverage of 2 x 2 cells: cell c covers pixels 2c, 2c+1 of rows a and b (b may be null for a
// missing last row). Writes count cells starting at cell c0, each 0..255.
void pairCoverage(const uchar* rowA, const uchar* rowB, int c0, int count, uchar* out);

// Ink coverage of 4 x 4 cells of a whole row group (rows[0..3], missing rows null), 0..255 per
// cell; cells counts ceil(width / 4) cells.
void quadCoverage(const uchar* const rows[4], int width, uchar* out);

// Bit i (most significant first) of each byte of the result is bit j of input byte i, i.e. the
// 8 x 8 bit matrix held one row per byte (byte 0 in the high byte) transposed.
std::uint64_t transpose8x8(std::uint64_t m);

// Number of set bits in the whole image (ink pixels).
qint64 countInk(const QImage& mono);

}  // namespace sw::imaging::bits
