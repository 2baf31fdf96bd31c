#pragma once

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
// data: <libtiff's reason>", "The image of W x H pixels needs N MB, more than the limit of M MB",
// "Unsupported TIFF: <reason>". Functions are reentrant: any number of threads may decode at once.
namespace sw::imaging {

struct DecodeOptions {
    // Largest decoded image accepted, in bytes as held in memory (1 bit per pixel for bilevel
    // sheets); larger ones are refused before anything is allocated.
    qint64 maxImageBytes = qint64{2} << 30;
};

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

// Opens a file's bytes (memory-mapped where possible) and hands them to `use`. Throws
// ImagingError "Cannot open <path>: <reason>".
class MappedFile {
public:
    explicit MappedFile(const QString& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    [[nodiscard]] QByteArrayView bytes() const;

private:
    struct Private;
    Private* d;
};

}  // namespace sw::imaging
