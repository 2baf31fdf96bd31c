#include "sheet_tiff.h"

#include "sheet_drawing.h"
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace sw::tools {

namespace {

constexpr qint64 kBandBytes = 24 * 1024 * 1024;
// How far a second revision's drawing lies from the first's on the paper, inches (as a rescan
// would place it): right and up.
constexpr QPointF kRevisionShift(0.03, -0.02);
constexpr int kBlackBelow = 128;

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

void setTags(TIFF* tiff, const SampleSheet& sheet) {
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(sheet.widthPx()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(sheet.heightPx()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(sheet.heightPx()));
    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(sheet.dpi));
    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(sheet.dpi));
    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tiff, TIFFTAG_SOFTWARE, "Sheetwise make-sample-sheets");
    TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, sheet.sheetName().toUtf8().constData());
}

// One row of 8-bit grey to packed bits, 1 = black.
void packRow(const uchar* grey, int width, uint8_t* bits) {
    const int fullBytes = width / 8;
    for (int b = 0; b < fullBytes; ++b) {
        const uchar* p = grey + b * 8;
        uint8_t byte = 0;
        for (int i = 0; i < 8; ++i) {
            byte = static_cast<uint8_t>((byte << 1) | (p[i] < kBlackBelow ? 1 : 0));
        }
        bits[b] = byte;
    }
    if (width % 8 != 0) {
        uint8_t byte = 0;
        for (int i = 0; i < 8; ++i) {
            const int x = fullBytes * 8 + i;
            byte = static_cast<uint8_t>((byte << 1) | (x < width && grey[x] < kBlackBelow ? 1 : 0));
        }
        bits[fullBytes] = byte;
    }
}

QString failure(const QString& path, const QString& why) {
    return QStringLiteral("cannot write %1: %2").arg(path, why);
}

}  // namespace

SheetWriteResult writeSheetTiff(const QString& path, const SampleSheet& sheet,
                                const QString& projectNumber) {
    SheetWriteResult result;
    const QString partial = path + QStringLiteral(".part");
    {
        // Opening through Qt first gives a readable reason when the folder is not writable.
        QFile probe(partial);
        if (!probe.open(QIODevice::WriteOnly)) {
            result.error = failure(path, probe.errorString());
            return result;
        }
    }
    std::unique_ptr<TIFF, TiffCloser> tiff(TIFFOpen(QFile::encodeName(partial).constData(), "w"));
    if (!tiff) {
        QFile::remove(partial);
        result.error = failure(path, QStringLiteral("libtiff cannot create the file"));
        return result;
    }
    setTags(tiff.get(), sheet);

    const int width = sheet.widthPx();
    const int height = sheet.heightPx();
    const int bandRows = static_cast<int>(std::clamp<qint64>(kBandBytes / width, 1, height));
    QImage band(width, bandRows, QImage::Format_Grayscale8);
    std::vector<uint8_t> bits(static_cast<size_t>((width + 7) / 8));
    bool written = !band.isNull();
    for (int top = 0; written && top < height; top += bandRows) {
        band.fill(Qt::white);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            painter.scale(sheet.dpi, sheet.dpi);
            if (sheet.revision > 1) {
                painter.translate(kRevisionShift);
            }
            drawSheet(painter, sheet, projectNumber);
        }
        const int rows = std::min(bandRows, height - top);
        for (int r = 0; r < rows && written; ++r) {
            packRow(band.constScanLine(r), width, bits.data());
            written =
                TIFFWriteScanline(tiff.get(), bits.data(), static_cast<uint32_t>(top + r), 0) == 1;
        }
    }
    written = written && TIFFFlush(tiff.get()) == 1;
    tiff.reset();
    if (!written) {
        QFile::remove(partial);
        result.error = failure(path, QStringLiteral("encoding failed (disk full?)"));
        return result;
    }
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(path).constData()) !=
        0) {
        QFile::remove(partial);
        result.error = failure(path, QStringLiteral("cannot rename the finished file"));
        return result;
    }
    result.ok = true;
    result.bytes = QFileInfo(path).size();
    return result;
}

}  // namespace sw::tools
