#include "widgets/gallery_command.h"

#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QStringList>

#include "widgets/sw_ruler.h"
#include "widgets/twips.h"

namespace sw::widgets {

namespace {

// The gallery shows the widgets as a host on a 96 DPI screen does.
constexpr double kGalleryTwipsPerPixel = 15.0;

struct Options {
    QString outDir;
    QString error;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--out") && i + 1 < argc) {
            options.outDir = QString::fromLocal8Bit(argv[++i]);
        } else if (arg.startsWith(QLatin1String("--out="))) {
            options.outDir = arg.mid(6);
        } else {
            options.error = QStringLiteral("unknown argument \"%1\"").arg(arg);
            return options;
        }
    }
    if (options.outDir.isEmpty()) {
        options.error = QStringLiteral("missing --out DIR");
    }
    return options;
}

class Gallery {
public:
    explicit Gallery(QDir dir) : m_dir(std::move(dir)) {}

    bool save(const QImage& image, const QString& name) {
        const QString path = m_dir.filePath(name);
        if (image.isNull() || !image.save(path, "PNG")) {
            std::fprintf(stderr, "sheetwise widgets: cannot write %s\n", qPrintable(path));
            m_failed = true;
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    }

    [[nodiscard]] bool failed() const { return m_failed; }

private:
    QDir m_dir;
    bool m_failed = false;
};

void renderRulers(Gallery& gallery) {
    SWRuler horizontal;
    horizontal.setGeometryTwips(0, 0, 980 * kGalleryTwipsPerPixel, 20 * kGalleryTwipsPerPixel);
    horizontal.setOffset(300);
    horizontal.setMax(36);
    gallery.save(horizontal.grab().toImage(), QStringLiteral("ruler-horizontal.png"));

    SWRuler vertical;
    vertical.setIsVertical(true);
    vertical.setGeometryTwips(0, 0, 20 * kGalleryTwipsPerPixel, 640 * kGalleryTwipsPerPixel);
    vertical.setMax(24);
    gallery.save(vertical.grab().toImage(), QStringLiteral("ruler-vertical.png"));
}

}  // namespace

int runWidgetsCommand(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "sheetwise widgets: %s\nusage: sheetwise widgets --out DIR\n",
                     qPrintable(options.error));
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int appArgc = 1;
    QApplication app(appArgc, argv);
    pinTwipsPerPixel(kGalleryTwipsPerPixel);

    QDir dir(options.outDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "sheetwise widgets: cannot create %s\n", qPrintable(options.outDir));
        return 1;
    }
    Gallery gallery(dir);
    renderRulers(gallery);
    return gallery.failed() ? 1 : 0;
}

}  // namespace sw::widgets
