#include "imaging/tiff_reader.h"

#include <algorithm>

#include "imaging/imaging_error.h"
#include "imaging/load_token.h"
#include "imaging/pyramid.h"
#include "imaging/tiff_decode.h"

namespace sw::imaging {
namespace {

using namespace tiffdecode;

Handle open(QByteArrayView data, qint64 maxAllocation) {
    if (!tiffio::hasTiffSignature(data)) {
        if (data.isEmpty()) {
            fail(QStringLiteral("Not a TIFF file (no data)"));
        }
        const QByteArray head = data.first(std::min<qsizetype>(data.size(), 256)).toByteArray();
        if (head.trimmed().startsWith('<')) {
            fail(QStringLiteral("Not a TIFF file (received an HTML or XML page)"));
        }
        fail(QStringLiteral("Not a TIFF file"));
    }
    Handle tif = Handle::openMemory(data, maxAllocation);
    if (!tif) {
        const QString reason = tif.diagnostics().firstError;
        fail(reason.isEmpty() ? QStringLiteral("Corrupt data: unreadable TIFF header")
                              : QStringLiteral("Corrupt data: %1").arg(reason));
    }
    return tif;
}

// What libtiff may allocate at once (strip and tile tables, strip buffers of the RGBA decoder):
// never more than the largest file, and for a small image limit not far beyond that image.
qint64 libtiffAllocationLimit(const DecodeOptions& options) {
    return std::clamp<qint64>(options.maxImageBytes, 64 << 20, kMaxSheetFileBytes);
}

void checkSize(const Layout& l, Kind kind, const DecodeOptions& options) {
    const qint64 w = l.width;
    if (w * l.height > kMaxSheetPixels) {
        fail(QStringLiteral("The image of %1 x %2 pixels is larger than the largest sheet accepted "
                            "(%3 million pixels)")
                 .arg(l.width)
                 .arg(l.height)
                 .arg(kMaxSheetPixels / 1'000'000));
    }
    qint64 bytes = 0;
    switch (kind) {
        case Kind::Bilevel:
            bytes = (w + 31) / 32 * 4 * l.height;
            break;
        case Kind::Grey:
            bytes = (w + 3) / 4 * 4 * l.height;
            break;
        default:
            bytes = w * 4 * l.height;
    }
    if (bytes > options.maxImageBytes) {
        fail(QStringLiteral("The image of %1 x %2 pixels needs %3 MB, more than the limit of %4 MB")
                 .arg(l.width)
                 .arg(l.height)
                 .arg((bytes + (1 << 20) - 1) >> 20)
                 .arg(options.maxImageBytes >> 20));
    }
}

// A sheet saved by this program after turns or resampling names its source in ImageDescription;
// a description that does not parse, or a source that would not land on the image, is ignored.
void adoptSavedSource(const Handle& tif, Sheet& sheet) {
    const char* text = nullptr;
    if (TIFFGetField(tif.get(), TIFFTAG_IMAGEDESCRIPTION, &text) != 1 || text == nullptr) {
        return;
    }
    const std::optional<Sheet::Source> source =
        Sheet::Source::fromText(QByteArrayView(text, qstrnlen(text, 1024)));
    if (source && source->toImage.mapRect(QRectF(QPointF(0, 0), QSizeF(source->size)))
                      .intersects(QRectF(sheet.image().rect()))) {
        sheet.setSource(*source);
    }
}

QImage decodePixels(const Handle& tif, const Layout& layout, Kind kind,
                    std::shared_ptr<Plane>& quarter) {
    switch (kind) {
        case Kind::Bilevel:
            try {
                return decodeBilevel(tif, layout, quarter);
            } catch (const ImagingError&) {
                if (layout.token && layout.token->isCancelled()) {
                    throw;
                }
                QImage image = decodeOneDimensionalG3(tif, layout);
                if (image.isNull()) {
                    throw;
                }
                quarter.reset();
                return image;
            }
        case Kind::Grey:
            return decodeGrey(tif, layout);
        case Kind::Palette:
            return decodePalette(tif, layout);
        case Kind::Rgb:
            return decodeRgb(tif, layout);
        case Kind::Generic:
            break;
    }
    return decodeGeneric(tif, layout);
}

}  // namespace

qint64 maxFileBytes(const DecodeOptions& options) {
    return std::min(kMaxSheetFileBytes, options.maxImageBytes + options.maxImageBytes / 8 + 4096);
}

Sheet decodeTiff(QByteArrayView data, const DecodeOptions& options) {
    Handle tif = open(data, libtiffAllocationLimit(options));
    Layout layout = readLayout(tif);
    layout.token = options.token;
    const Kind kind = kindOf(layout);
    checkSize(layout, kind, options);
    // Complaints about the directory (bogus counts, unsorted tags) are not fatal once libtiff
    // has accepted it; only failures while decoding the pixels are.
    tif.clearErrors();
    try {
        std::shared_ptr<Plane> quarter;
        QImage image = decodePixels(tif, layout, kind, quarter);
        Sheet sheet(std::move(image), layout.dpiX, layout.dpiY);
        adoptSavedSource(tif, sheet);
        if (quarter) {
            attachLevel(sheet, 2, std::move(quarter));
        }
        return sheet;
    } catch (const std::bad_alloc&) {
        fail(QStringLiteral("Not enough memory to decode the image of %1 x %2 pixels")
                 .arg(layout.width)
                 .arg(layout.height));
    }
}

TiffFacts readTiffFacts(QByteArrayView data) {
    Handle tif = open(data, libtiffAllocationLimit({}));
    const Layout l = readLayout(tif);
    TiffFacts facts;
    facts.width = l.width;
    facts.height = l.height;
    facts.bitsPerSample = l.bps;
    facts.samplesPerPixel = l.spp;
    facts.compression = compressionName(l.compression);
    facts.photometric = photometricName(l.photometric);
    facts.dpiX = l.dpiX;
    facts.dpiY = l.dpiY;
    facts.tiled = l.tiled;
    return facts;
}

Sheet readTiffFile(const QString& path, const DecodeOptions& options) {
    return decodeTiff(readLocalFile(path, maxFileBytes(options), options.token), options);
}

}  // namespace sw::imaging
