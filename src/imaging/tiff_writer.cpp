#include "imaging/tiff_writer.h"

#include <algorithm>
#include <vector>

#include <QBuffer>
#include <QSaveFile>

#include "imaging/imaging_error.h"
#include "imaging/tiff_io.h"
#include "imaging/transforms.h"

namespace sw::imaging {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw ImagingError(message);
}

// How the pixels go into the file.
enum class Layout { MinIsWhite1, Palette1, Palette4, Grey4, Grey8, Rgb24, Rgba32 };

// Deflate level of working copies: about as small as level 6 on plan sheets, at a third of the
// time.
constexpr int kWorkingCopyDeflateLevel = 1;

Layout chooseLayout(const Sheet& sheet, int bitsPerPixel, int formatCode) {
    if (formatCode == kFormatWorkingCopy && bitsPerPixel == 4 && sheet.isBilevel()) {
        bitsPerPixel = 1;
    }
    switch (bitsPerPixel) {
        case 1:
            return sheet.paperColour() == qRgb(255, 255, 255) && sheet.inkColour() == qRgb(0, 0, 0)
                       ? Layout::MinIsWhite1
                       : Layout::Palette1;
        case 4:
            return sheet.isBilevel() ? Layout::Palette4 : Layout::Grey4;
        case 8:
            return Layout::Grey8;
        case 24:
            return Layout::Rgb24;
        case 32:
            return Layout::Rgba32;
        default:
            fail(QStringLiteral("Unsupported bits per pixel for saving: %1").arg(bitsPerPixel));
    }
}

QRgb pixelAt(const QImage& image, const uchar* row, int x, bool bilevel) {
    if (bilevel) {
        return image.color((row[x >> 3] >> (7 - (x & 7))) & 1);
    }
    if (image.depth() == 8) {
        return qRgb(row[x], row[x], row[x]);
    }
    return reinterpret_cast<const QRgb*>(row)[x];
}

void setColourMap(TIFF* tif, int entries, const std::vector<QRgb>& colours) {
    std::vector<uint16_t> r(entries), g(entries), b(entries);
    for (int i = 0; i < entries && i < static_cast<int>(colours.size()); ++i) {
        r[i] = static_cast<uint16_t>(qRed(colours[i]) * 257);
        g[i] = static_cast<uint16_t>(qGreen(colours[i]) * 257);
        b[i] = static_cast<uint16_t>(qBlue(colours[i]) * 257);
    }
    TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
}

void writeTags(TIFF* tif, const Sheet& sheet, Layout layout, int formatCode) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(sheet.width()));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(sheet.height()));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(sheet.dpiX()));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(sheet.dpiY()));
    TIFFSetField(tif, TIFFTAG_SOFTWARE, "Sheetwise");
    if (!sheet.source().isSelf(sheet)) {
        // Where the pixels lie on the sheet as first fetched (see Sheet::Source).
        TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, sheet.source().toText().constData());
    }
    // Depth first: libtiff sizes the colour map by the bits per sample set at that moment.
    const int bps = layout == Layout::MinIsWhite1 || layout == Layout::Palette1 ? 1
                    : layout == Layout::Palette4 || layout == Layout::Grey4     ? 4
                                                                                : 8;
    const int spp = layout == Layout::Rgb24 ? 3 : layout == Layout::Rgba32 ? 4 : 1;
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bps);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, spp);
    switch (layout) {
        case Layout::MinIsWhite1:
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
            break;
        case Layout::Palette1:
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
            setColourMap(tif, 2, {sheet.paperColour(), sheet.inkColour()});
            break;
        case Layout::Palette4:
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
            setColourMap(tif, 16, {sheet.inkColour(), sheet.paperColour()});
            break;
        case Layout::Grey4:
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            break;
        case Layout::Grey8:
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            break;
        case Layout::Rgb24:
        case Layout::Rgba32:
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
            if (spp == 4) {
                const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
                TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
            }
            break;
    }
    if (formatCode == kFormatWorkingCopy) {
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
        TIFFSetField(tif, TIFFTAG_ZIPQUALITY, kWorkingCopyDeflateLevel);
        if (bps == 8) {
            TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        }
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    } else if (bps == 1) {
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(sheet.height()));
    } else {
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        if (bps == 8) {
            TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        }
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    }
}

void packRow(const Sheet& sheet, Layout layout, int y, std::vector<uchar>& out) {
    const QImage& image = sheet.image();
    const uchar* row = image.constScanLine(y);
    const int w = sheet.width();
    const bool bilevel = sheet.isBilevel();
    switch (layout) {
        case Layout::MinIsWhite1:
        case Layout::Palette1:
            std::copy_n(row, (w + 7) / 8, out.begin());
            return;
        case Layout::Palette4:
            std::fill(out.begin(), out.end(), 0);
            for (int x = 0; x < w; ++x) {
                const bool ink = (row[x >> 3] >> (7 - (x & 7))) & 1;
                if (!ink) {  // paper is entry 1
                    out[x >> 1] |= static_cast<uchar>((x & 1) ? 0x01 : 0x10);
                }
            }
            return;
        case Layout::Grey4:
            std::fill(out.begin(), out.end(), 0);
            for (int x = 0; x < w; ++x) {
                const int v = qGray(pixelAt(image, row, x, bilevel)) >> 4;
                out[x >> 1] |= static_cast<uchar>((x & 1) ? v : v << 4);
            }
            return;
        case Layout::Grey8:
            for (int x = 0; x < w; ++x) {
                out[x] = static_cast<uchar>(qGray(pixelAt(image, row, x, bilevel)));
            }
            return;
        case Layout::Rgb24:
        case Layout::Rgba32: {
            const int spp = layout == Layout::Rgb24 ? 3 : 4;
            for (int x = 0; x < w; ++x) {
                const QRgb p = pixelAt(image, row, x, bilevel);
                uchar* o = out.data() + static_cast<size_t>(x) * spp;
                o[0] = static_cast<uchar>(qRed(p));
                o[1] = static_cast<uchar>(qGreen(p));
                o[2] = static_cast<uchar>(qBlue(p));
                if (spp == 4) {
                    o[3] = static_cast<uchar>(image.hasAlphaChannel() ? qAlpha(p) : 255);
                }
            }
            return;
        }
    }
}

}  // namespace

void writeTiff(const Sheet& input, QIODevice& device, int formatCode, int bitsPerPixel) {
    if (input.isNull()) {
        fail(QStringLiteral("There is no image to save"));
    }
    if (formatCode != kFormatCompressed && formatCode != kFormatWorkingCopy) {
        fail(QStringLiteral("Unsupported file format code %1").arg(formatCode));
    }
    const Sheet sheet = bitsPerPixel == 1 && !input.isBilevel()
                            ? reducedToBilevel(input, qRgb(0, 0, 0), qRgb(255, 255, 255))
                            : input;
    const Layout layout = chooseLayout(sheet, bitsPerPixel, formatCode);
    tiffio::Handle tif = tiffio::Handle::openDevice(device);
    if (!tif) {
        fail(QStringLiteral("Cannot start the TIFF file: %1").arg(tif.diagnostics().firstError));
    }
    writeTags(tif.get(), sheet, layout, formatCode);
    std::vector<uchar> row(static_cast<size_t>(TIFFScanlineSize(tif.get())) + 4);
    for (int y = 0; y < sheet.height(); ++y) {
        packRow(sheet, layout, y, row);
        if (TIFFWriteScanline(tif.get(), row.data(), static_cast<uint32_t>(y), 0) < 0) {
            break;
        }
    }
    if (!tif.diagnostics().failed() && !TIFFWriteDirectory(tif.get()) &&
        !tif.diagnostics().failed()) {
        fail(QStringLiteral("Cannot write the TIFF file"));
    }
    const QString error = tif.diagnostics().firstError;
    tif.close();
    if (!error.isEmpty()) {
        fail(QStringLiteral("Cannot write the TIFF file: %1").arg(error));
    }
}

QByteArray encodeTiff(const Sheet& sheet, int formatCode, int bitsPerPixel) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadWrite);
    writeTiff(sheet, buffer, formatCode, bitsPerPixel);
    buffer.close();
    return bytes;
}

void saveTiffFile(const Sheet& sheet, const QString& path, int formatCode, int bitsPerPixel) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw ImagingError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    }
    try {
        writeTiff(sheet, file, formatCode, bitsPerPixel);
    } catch (const ImagingError& e) {
        file.cancelWriting();
        throw ImagingError(QStringLiteral("Cannot write %1: %2").arg(path, e.message()));
    }
    if (!file.commit()) {
        throw ImagingError(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    }
}

}  // namespace sw::imaging
