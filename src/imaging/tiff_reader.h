#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "imaging/sheet.h"

// Decoding of TIFF sheets with libtiff: CCITT G3/G4 and modified Huffman, LZW, PackBits,
// Deflate, uncompressed (and whatever else libtiff reads); strips and tiles; 1-bit in either
// photometric and fill order, 2/4/8/16-bit grey, palette, RGB and RGBA. Bilevel images (and
// palette images that use only two colours) become packed Format_Mono sheets, never an expanded
// copy. Only the first image of a file is read.
//
// Every failure throws ImagingError with a sentence for the user: "Not a TIFF file", "Corrupt
// data: <libtiff's reason>", "The image of W x H pixels is larger than the largest sheet accepted
// (...)", "The image of W x H pixels needs N MB, more than the limit of M MB", "Unsupported TIFF:
// <reason>", "Not enough memory ...". Functions are reentrant: any number of threads may decode at
// once.
namespace sw::imaging {

class LoadToken;

// Limits that keep a hostile or broken file from taking the machine, chosen to cover the largest
// real plan sheets: a 48 x 144 in roll at 600 dpi is 28800 x 86400 pixels (2488 million).
// - kMaxSheetPixels: width x height of any image accepted, checked before anything is allocated.
//   At that size a bilevel sheet is held in 311 MB packed (and about 210 MB of reduced levels),
//   a grey one in 2.5 GB, a colour one in 10 GB.
// - DecodeOptions::maxImageBytes, 4 GB by default: the decoded store as held (1 bit per pixel
//   bilevel, 8 grey, 32 colour). It admits every bilevel and grey sheet within kMaxSheetPixels and
//   colour sheets up to about 1000 million pixels (a 36 x 48 in sheet at 600 dpi, a 48 x 144 in
//   roll at 300 dpi).
// - kMaxSheetFileBytes, 512 MB: the largest file read from disk or downloaded. The largest
//   bilevel sheet stored without compression takes 312 MB; with room for headers and for CCITT
//   codes worse than raw (scanner noise), no sheet within the limits sensibly needs more.
//   maxFileBytes() lowers it with a lower maxImageBytes.
// - libtiff never allocates more than kMaxSheetFileBytes at once for a file.
inline constexpr qint64 kMaxSheetPixels = 2'500'000'000;
inline constexpr qint64 kMaxSheetFileBytes = qint64{512} << 20;

struct DecodeOptions {
    // Largest decoded image accepted, in bytes as held in memory (1 bit per pixel for bilevel
    // sheets); larger ones are refused before anything is allocated.
    qint64 maxImageBytes = qint64{4} << 30;
    // The load this decode serves (counted and checked for cancellation after every row), or
    // null. Not owned; outlives the decode.
    LoadToken* token = nullptr;
};

// The largest file accepted for these options: kMaxSheetFileBytes, or an image of maxImageBytes
// stored uncompressed with room for its headers when that is less.
qint64 maxFileBytes(const DecodeOptions& options);

// Header facts of a TIFF file (what `sheetwise info` prints).
struct TiffFacts {
    int width = 0;
    int height = 0;
    int bitsPerSample = 0;
    int samplesPerPixel = 0;
    QString compression;  // "CCITT Group 4", "LZW", ...
    QString photometric;  // "min-is-white", "RGB", ...
    double dpiX = Sheet::kDefaultDpi;
    double dpiY = Sheet::kDefaultDpi;
    bool tiled = false;
};

Sheet decodeTiff(QByteArrayView data, const DecodeOptions& options = {});
Sheet readTiffFile(const QString& path, const DecodeOptions& options = {});

// Header facts only (no pixel decoding). Throws ImagingError like decodeTiff.
TiffFacts readTiffFacts(QByteArrayView data);

// The whole content of a local file, read into memory (so that a file shortened or changed while
// a sheet decodes cannot harm the decoder). Only regular files are read: a device (a terminal,
// /dev/zero), a FIFO, a socket or a folder is refused at once, without waiting for data. A file
// larger than maxBytes is refused before it is read; one that shrinks while it is read fails.
// Throws ImagingError "Cannot open <path>: <reason>" or "Cannot read <path>: <reason>".
QByteArray readLocalFile(const QString& path, qint64 maxBytes = kMaxSheetFileBytes,
                         LoadToken* token = nullptr);

}  // namespace sw::imaging
