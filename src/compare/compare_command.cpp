#include "compare/compare_command.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include <QCoreApplication>

#include "compare/comparison.h"
#include "imaging/imaging_error.h"
#include "imaging/tiff_reader.h"
#include "imaging/view_geometry.h"

namespace sw::compare {

namespace {

constexpr char kUsage[] =
    "usage: sheetwise compare EARLIER.tif NEW.tif --out OUT.png [--width N]\n"
    "\n"
    "Lays the earlier revision of a sheet over the new one, aligned automatically, and writes\n"
    "the overlay: ink in both dark grey, only in the new sheet blue, only in the earlier one\n"
    "red, on white. Without --width the picture has the new sheet's size; with it, the\n"
    "overlay fitted to N pixels wide. Prints the offset of the earlier drawing (pixels of the\n"
    "new sheet) and the pixels added and removed, as JSON:\n"
    "  {\"offset\": [dx, dy], \"added\": n, \"removed\": n}\n";

constexpr QRgb kBackground = qRgb(128, 128, 128);

imaging::Sheet readSheet(const QString& path) {
    try {
        return imaging::readTiffFile(path);
    } catch (const imaging::ImagingError& e) {
        if (e.message().contains(path)) {
            throw;
        }
        throw imaging::ImagingError(path + QStringLiteral(": ") + e.message());
    }
}

}  // namespace

CompareResult compareFiles(const QString& earlierPath, const QString& newPath, int width) {
    if (width < 0 || width > 100000) {
        throw imaging::ImagingError(
            QStringLiteral("The width must be between 1 and 100000 pixels"));
    }
    const imaging::Sheet earlier = readSheet(earlierPath);
    const imaging::Sheet newer = readSheet(newPath);
    const auto comparison = Comparison::make(newer, earlier);
    CompareResult result;
    result.offset = comparison->offset();
    result.added = comparison->added();
    result.removed = comparison->removed();
    if (width == 0) {
        result.picture = comparisonPicture(*comparison, CompareMode::Overlay);
        result.picture.setDotsPerMeterX(static_cast<int>(std::lround(newer.dpiX() / 0.0254)));
        result.picture.setDotsPerMeterY(static_cast<int>(std::lround(newer.dpiY() / 0.0254)));
        return result;
    }
    const QSize size(
        width,
        std::max(1, static_cast<int>(std::lround(static_cast<double>(width) * newer.height() /
                                                 std::max(1, newer.width())))));
    result.picture = QImage(size, QImage::Format_RGB32);
    if (result.picture.isNull()) {
        throw imaging::ImagingError(QStringLiteral("Not enough memory for the picture"));
    }
    renderComparison(*comparison, CompareMode::Overlay, result.picture, QPoint(0, 0),
                     imaging::view::fittedRect(newer.size(), size), kBackground);
    return result;
}

int runCompareCommand(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QStringList sheets;
    QString out;
    int width = 0;
    bool usage = false;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == QLatin1String("--out") && hasValue) {
            out = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--width") && hasValue) {
            bool ok = false;
            width = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            usage = usage || !ok || width < 1;
        } else if (!arg.startsWith(QLatin1String("--"))) {
            sheets << arg;
        } else {
            usage = true;
        }
    }
    if (usage || sheets.size() != 2 || out.isEmpty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        const CompareResult result = compareFiles(sheets[0], sheets[1], width);
        if (!result.picture.save(out)) {
            std::fprintf(stderr, "sheetwise: %s: cannot write the picture\n", qPrintable(out));
            return 1;
        }
        std::printf("{\"offset\": [%d, %d], \"added\": %lld, \"removed\": %lld}\n",
                    result.offset.x(), result.offset.y(), static_cast<long long>(result.added),
                    static_cast<long long>(result.removed));
    } catch (const imaging::ImagingError& e) {
        std::fprintf(stderr, "sheetwise: %s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}

}  // namespace sw::compare
