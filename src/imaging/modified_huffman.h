#pragma once

#include <QByteArrayView>
#include <QImage>

// Decoder of CCITT Group 3 one-dimensional (modified Huffman) data, used when libtiff refuses a
// strip it should read: libtiff 4.5 cannot decode rows that are not ended by end-of-line codes
// (T4Options 0 from some scanners). End-of-line codes and fill bits are accepted when present.
// Pure functions; any thread.
namespace sw::imaging {

// Decodes `rows` rows of `width` pixels from one strip into image rows firstRow.. of `mono`
// (Format_Mono, black runs become set bits). `reversed`: the bytes hold their first bit in the
// least significant place (FillOrder 2). Returns false when the data do not decode to whole rows
// of exactly `width` pixels, or when the rows asked for are not all inside `mono`.
bool decodeModifiedHuffman(QByteArrayView strip, bool reversed, int width, int firstRow, int rows,
                           QImage& mono);

}  // namespace sw::imaging
