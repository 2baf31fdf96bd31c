#include "imaging/sheet_fixtures.h"

#include "support/test_paths.h"
#include "support/tiff_builder.h"

#include <random>

#include <QDir>
#include <QRegularExpression>

#include "imaging/imaging_error.h"

namespace sw::test {
namespace {

// A white bilevel sheet with ink where `ink(x, y)` says, asked row by row.
template <class Ink>
imaging::Sheet painted(int w, int h, Ink ink, double dpiX = 200, double dpiY = 200) {
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (ink(x, y)) {
                image.setPixel(x, y, 1);
            }
        }
    }
    return imaging::Sheet(image, dpiX, dpiY);
}

}  // namespace

imaging::Sheet randomBilevel(int w, int h, unsigned seed, int inkPercent, double dpi) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> percent(0, 99);
    return painted(
        w, h, [&](int, int) { return percent(random) < inkPercent; }, dpi, dpi);
}

imaging::Sheet inkSheet(int w, int h, const QRect& ink, double dpiX, double dpiY) {
    return painted(
        w, h, [&](int x, int y) { return ink.contains(x, y); }, dpiX, dpiY);
}

imaging::Sheet gridSheet(int w, int h, int spacing, int offset) {
    return painted(w, h, [=](int x, int y) {
        return (x - offset) % spacing == 0 || (y - offset) % spacing == 0;
    });
}

bool isInk(const imaging::Sheet& sheet, int x, int y) {
    return (sheet.image().constScanLine(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

double meanLuminance(const imaging::Sheet& sheet) {
    const QImage& image = sheet.image();
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            // Alpha-weighted, as libtiff's RGBA decode (the corpus oracle) gives it.
            sum += qGray(qPremultiply(image.pixel(x, y)));
        }
    }
    return sum / (255.0 * image.width() * image.height());
}

bool samePixels(const imaging::Sheet& a, const imaging::Sheet& b) {
    if (a.size() != b.size() || a.image().format() != b.image().format()) {
        return false;
    }
    if (a.isBilevel() && (a.paperColour() != b.paperColour() || a.inkColour() != b.inkColour())) {
        return false;
    }
    const qsizetype bytes = (static_cast<qsizetype>(a.width()) * a.image().depth() + 7) / 8;
    for (int y = 0; y < a.height(); ++y) {
        if (memcmp(a.image().constScanLine(y), b.image().constScanLine(y), bytes) != 0) {
            return false;
        }
    }
    return true;
}

QByteArray bilevelTiff(quint32 w, quint32 h, quint32 compression, const QByteArray& strip) {
    return buildTiff({{256, {w}}, {257, {h}}, {258, {1}}, {259, {compression}}, {262, {0}}},
                     {strip});
}

QString corpus(const QString& file) {
    return dataPath(QStringLiteral("corpus/") + file);
}

QStringList filesIn(const QString& folder) {
    QStringList files;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        files << folder + QLatin1Char('/') + name;
    }
    return files;
}

QString errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const imaging::ImagingError& e) {
        return e.message();
    }
    return {};
}

QString caseName(const QString& file) {
    return file.section(QLatin1Char('/'), -1)
        .replace(QRegularExpression(QStringLiteral("\\W")), QStringLiteral("_"));
}

}  // namespace sw::test
