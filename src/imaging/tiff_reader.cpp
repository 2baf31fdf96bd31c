#include "imaging/tiff_reader.h"

#include <algorithm>

#include <QFile>

#include "imaging/imaging_error.h"
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
    Handle tif = Handle::openMemory(data, std::max<qint64>(maxAllocation, 64 << 20));
    if (!tif) {
        const QString reason = tif.diagnostics().firstError;
        fail(reason.isEmpty() ? QStringLiteral("Corrupt data: unreadable TIFF header")
                              : QStringLiteral("Corrupt data: %1").arg(reason));
    }
    return tif;
}

void checkSize(const Layout& l, Kind kind, const DecodeOptions& options) {
    const qint64 w = l.width;
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

}  // namespace

Sheet decodeTiff(QByteArrayView data, const DecodeOptions& options) {
    Handle tif = open(data, options.maxImageBytes);
    const Layout layout = readLayout(tif);
    const Kind kind = kindOf(layout);
    checkSize(layout, kind, options);
    // Complaints about the directory (bogus counts, unsorted tags) are not fatal once libtiff
    // has accepted it; only failures while decoding the pixels are.
    tif.clearErrors();
    QImage image;
    std::shared_ptr<Plane> quarter;
    switch (kind) {
        case Kind::Bilevel:
            try {
                image = decodeBilevel(tif, layout, quarter);
            } catch (const ImagingError&) {
                image = decodeOneDimensionalG3(tif, layout);
                if (image.isNull()) {
                    throw;
                }
                quarter.reset();
            }
            break;
        case Kind::Grey:
            image = decodeGrey(tif, layout);
            break;
        case Kind::Palette:
            image = decodePalette(tif, layout);
            break;
        case Kind::Rgb:
            image = decodeRgb(tif, layout);
            break;
        case Kind::Generic:
            image = decodeGeneric(tif, layout);
            break;
    }
    Sheet sheet(std::move(image), layout.dpiX, layout.dpiY);
    adoptSavedSource(tif, sheet);
    if (quarter) {
        attachLevel(sheet, 2, std::move(quarter));
    }
    return sheet;
}

TiffFacts readTiffFacts(QByteArrayView data) {
    Handle tif = open(data, 64 << 20);
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

struct MappedFile::Private {
    QFile file;
    uchar* map = nullptr;
    QByteArray copy;
};

MappedFile::MappedFile(const QString& path) : d(new Private) {
    d->file.setFileName(path);
    if (!d->file.open(QIODevice::ReadOnly)) {
        const QString reason = d->file.errorString();
        delete d;
        throw ImagingError(QStringLiteral("Cannot open %1: %2").arg(path, reason));
    }
    if (d->file.size() > 0) {
        d->map = d->file.map(0, d->file.size());
    }
    if (!d->map) {
        d->copy = d->file.readAll();
    }
}

MappedFile::~MappedFile() {
    delete d;
}

QByteArrayView MappedFile::bytes() const {
    if (d->map) {
        return {reinterpret_cast<const char*>(d->map), d->file.size()};
    }
    return d->copy;
}

Sheet readTiffFile(const QString& path, const DecodeOptions& options) {
    MappedFile file(path);
    return decodeTiff(file.bytes(), options);
}

}  // namespace sw::imaging
