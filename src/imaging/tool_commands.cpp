#include "imaging/tool_commands.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include "imaging/imaging_error.h"
#include "imaging/sheet_renderer.h"
#include "imaging/tiff_reader.h"
#include "imaging/transforms.h"
#include "imaging/view_geometry.h"

namespace sw::imaging {

namespace {

constexpr QRgb kBackground = qRgb(128, 128, 128);

std::unique_ptr<QCoreApplication> ensureApplication(int& argc, char** argv) {
    if (QCoreApplication::instance()) {
        return nullptr;
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

void printError(const QString& text) {
    std::fprintf(stderr, "sheetwise: %s\n", qPrintable(text));
}

constexpr char kRenderUsage[] =
    "usage: sheetwise render SHEET.tif --width N --out OUT.png|OUT.pgm [--rotate 90]\n"
    "Draws the sheet fitted into N pixels wide, as the viewer shows it, turned by a multiple\n"
    "of 90 degrees.\n";
constexpr char kInfoUsage[] =
    "usage: sheetwise info SHEET.tif\n"
    "Prints the sheet's size, resolution, depth and compression as JSON.\n";

// "--help" or "-h" anywhere after the command word.
bool helpAsked(int argc, char** argv) {
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return true;
        }
    }
    return false;
}

QString number(double value) {
    return QString::number(value, 'g', 10);
}

// A grey picture as a binary PGM, byte for byte what QImage::save writes, without looking through
// the image format plugins first.
bool savePgm(const QImage& grey, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    const QByteArray header =
        QStringLiteral("P5\n%1 %2\n255\n").arg(grey.width()).arg(grey.height()).toLatin1();
    bool ok = file.write(header) == header.size();
    for (int y = 0; ok && y < grey.height(); ++y) {
        ok = file.write(reinterpret_cast<const char*>(grey.constScanLine(y)), grey.width()) ==
             grey.width();
    }
    return ok && file.flush();
}

}  // namespace

QImage renderFitted(const QString& path, int width, int rotationDegrees, QImage::Format format) {
    if (width < 1 || width > 100000) {
        throw ImagingError(QStringLiteral("The width must be between 1 and 100000 pixels"));
    }
    if (rotationDegrees % 90 != 0) {
        throw ImagingError(QStringLiteral("The rotation must be a multiple of 90 degrees"));
    }
    Sheet sheet = readTiffFile(path);
    sheet = rotated(sheet, rotationDegrees * 100, qRgb(255, 255, 255));
    const int height = std::max(1, static_cast<int>(std::lround(static_cast<double>(width) *
                                                                sheet.height() / sheet.width())));
    const QRectF display = view::fittedRect(sheet.size(), QSizeF(width, height));
    QImage picture(width, height, format);
    if (picture.isNull()) {
        throw ImagingError(QStringLiteral("Not enough memory for a picture of %1 x %2 pixels")
                               .arg(width)
                               .arg(height));
    }
    renderSheet(sheet, picture, QPoint(0, 0), display, kBackground);
    return picture;
}

QString sheetInfoJson(const QString& path) {
    const QByteArray file = readLocalFile(path);
    const TiffFacts facts = readTiffFacts(file);
    const Sheet sheet = decodeTiff(file);
    auto text = [](const QString& s) {
        QString escaped = s;
        escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('"'), QLatin1String("\\\""));
        return QLatin1Char('"') + escaped + QLatin1Char('"');
    };
    const QStringList fields = {
        QStringLiteral("\"width\": %1").arg(sheet.width()),
        QStringLiteral("\"height\": %1").arg(sheet.height()),
        QStringLiteral("\"dpiX\": %1").arg(number(sheet.dpiX())),
        QStringLiteral("\"dpiY\": %1").arg(number(sheet.dpiY())),
        QStringLiteral("\"bitsPerPixel\": %1").arg(facts.bitsPerSample * facts.samplesPerPixel),
        QStringLiteral("\"compression\": %1").arg(text(facts.compression)),
        QStringLiteral("\"photometric\": %1").arg(text(facts.photometric)),
        QStringLiteral("\"widthInches\": %1").arg(number(sheet.widthInches())),
        QStringLiteral("\"heightInches\": %1").arg(number(sheet.heightInches())),
    };
    return QStringLiteral("{\n  ") + fields.join(QStringLiteral(",\n  ")) + QStringLiteral("\n}\n");
}

int runRenderCommand(int argc, char** argv) {
    if (helpAsked(argc, argv)) {
        std::fputs(kRenderUsage, stdout);
        return 0;
    }
    const auto app = ensureApplication(argc, argv);
    QString sheetPath;
    QString outPath;
    int width = 0;
    int rotation = 0;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == QLatin1String("--width") && hasValue) {
            width = QString::fromLocal8Bit(argv[++i]).toInt();
        } else if (arg == QLatin1String("--out") && hasValue) {
            outPath = QString::fromLocal8Bit(argv[++i]);
        } else if (arg == QLatin1String("--rotate") && hasValue) {
            rotation = QString::fromLocal8Bit(argv[++i]).toInt();
        } else if (sheetPath.isEmpty() && !arg.startsWith(QLatin1String("--"))) {
            sheetPath = arg;
        } else {
            sheetPath.clear();
            break;
        }
    }
    const bool pgm = outPath.endsWith(QLatin1String(".pgm"), Qt::CaseInsensitive);
    if (sheetPath.isEmpty() || width <= 0 ||
        !(pgm || outPath.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))) {
        std::fputs(kRenderUsage, stderr);
        return 2;
    }
    try {
        const QImage image = renderFitted(sheetPath, width, rotation,
                                          pgm ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
        if (!(pgm ? savePgm(image, outPath) : image.save(outPath, "PNG"))) {
            printError(QStringLiteral("%1: cannot write the picture").arg(outPath));
            return 1;
        }
    } catch (const ImagingError& e) {
        printError(e.message().contains(sheetPath)
                       ? e.message()
                       : sheetPath + QStringLiteral(": ") + e.message());
        return 1;
    } catch (const std::bad_alloc&) {
        printError(sheetPath + QStringLiteral(": not enough memory"));
        return 1;
    }
    return 0;
}

int runInfoCommand(int argc, char** argv) {
    if (helpAsked(argc, argv)) {
        std::fputs(kInfoUsage, stdout);
        return 0;
    }
    const auto app = ensureApplication(argc, argv);
    if (argc != 3) {
        std::fputs(kInfoUsage, stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[2]);
    try {
        std::fputs(qPrintable(sheetInfoJson(path)), stdout);
    } catch (const ImagingError& e) {
        printError(e.message().contains(path) ? e.message()
                                              : path + QStringLiteral(": ") + e.message());
        return 1;
    } catch (const std::bad_alloc&) {
        printError(path + QStringLiteral(": not enough memory"));
        return 1;
    }
    return 0;
}

}  // namespace sw::imaging
