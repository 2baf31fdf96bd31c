#include "widgets/gallery_command.h"

#include <cstdio>
#include <optional>
#include <utility>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QStringList>

#include "widgets/sw_gradient_button.h"
#include "widgets/sw_menu_bar.h"
#include "widgets/sw_ruler.h"
#include "widgets/twips.h"

namespace sw::widgets {

namespace {

// The gallery shows the widgets as a host on a 96 DPI screen does.
constexpr double kGalleryTwipsPerPixel = 15.0;

constexpr char kUsage[] =
    "usage: sheetwise widgets --out DIR\n"
    "Draws the gradient button (normal, hovered, pressed), the menu bar and both rulers as\n"
    "a host on a 96 DPI screen shows them, into PNG files in DIR, and prints their paths.\n";

struct Options {
    QString outDir;
    QString error;
    bool help = false;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
            return options;
        }
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

    void save(const QImage& image, const QString& name) {
        if (!m_error.isEmpty()) {
            return;
        }
        const QString path = m_dir.filePath(name);
        if (image.isNull() || !image.save(path, "PNG")) {
            m_error = QStringLiteral("cannot write %1").arg(path);
            return;
        }
        m_written.append(path);
    }

    [[nodiscard]] QString error() const { return m_error; }
    [[nodiscard]] QStringList written() const { return m_written; }

private:
    QDir m_dir;
    QStringList m_written;
    QString m_error;
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

// Delivers a pointer event to `widget` at its centre, as the window system would.
void sendMouse(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held) {
    const QPointF local = QRectF(widget.rect()).center();
    QMouseEvent event(type, local, widget.mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// The button as a loaded control in a running host: tracking on, the printer bitmap, then the
// pointer moved onto it and pressed.
void renderButton(Gallery& gallery) {
    SWGradientButton button;
    button.setGeometryTwips(0, 0, 120 * kGalleryTwipsPerPixel, 32 * kGalleryTwipsPerPixel);
    button.ReadProperties(PropertyBag());
    button.setImgIndex(3);
    button.show();
    QApplication::processEvents();
    gallery.save(button.grab().toImage(), QStringLiteral("button-normal.png"));

    sendMouse(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
    gallery.save(button.grab().toImage(), QStringLiteral("button-hover.png"));

    sendMouse(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    gallery.save(button.grab().toImage(), QStringLiteral("button-pressed.png"));
    sendMouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
}

void renderMenuBar(Gallery& gallery) {
    SWMenuBar bar;
    bar.setGeometryTwips(0, 0, 400 * kGalleryTwipsPerPixel, 30 * kGalleryTwipsPerPixel);
    gallery.save(bar.grab().toImage(), QStringLiteral("menubar.png"));
}

}  // namespace

QStringList writeGallery(const QString& dir, QString* error) {
    QDir out(dir);
    if (dir.isEmpty() || !out.mkpath(QStringLiteral("."))) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot create %1").arg(dir);
        }
        return {};
    }
    const std::optional<double> previous = pinnedTwipsPerPixel();
    pinTwipsPerPixel(kGalleryTwipsPerPixel);
    Gallery gallery(out);
    renderButton(gallery);
    renderMenuBar(gallery);
    renderRulers(gallery);
    pinTwipsPerPixel(previous);
    if (error != nullptr) {
        *error = gallery.error();
    }
    return gallery.written();
}

int runWidgetsCommand(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "sheetwise widgets: %s\n%s", qPrintable(options.error), kUsage);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    int appArgc = 1;
    QApplication app(appArgc, argv);
    QString error;
    const QStringList written = writeGallery(options.outDir, &error);
    for (const QString& path : written) {
        std::printf("%s\n", qPrintable(path));
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "sheetwise widgets: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

}  // namespace sw::widgets
