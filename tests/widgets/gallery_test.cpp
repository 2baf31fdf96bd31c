// What `sheetwise widgets --out DIR` writes: the widgets as a 96 DPI host shows them, checked at
// the pixels that give each look away.
#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "widgets/gallery_command.h"
#include "widgets/sw_gradient_button.h"

namespace sw::widgets {
namespace {

using test::near;

struct ButtonLook {
    const char* file;
    QColor top;
    QColor bottom;
    bool outline;
};

void expectButton(const QImage& image, const ButtonLook& look) {
    ASSERT_EQ(image.size(), QSize(120, 32));
    // A pixel row holds about three bands; the 480 twip button's loop ends at band 96 of 100, so
    // its last rows stay a few hundredths short of the bottom colour.
    EXPECT_TRUE(near(image.pixelColor(30, 1), look.top, 4));
    EXPECT_TRUE(near(image.pixelColor(30, 30), look.bottom, 12));
    for (int y = 2; y < 31; ++y) {
        EXPECT_LE(image.pixelColor(30, y).green(), image.pixelColor(30, y - 1).green()) << y;
    }
    for (const QPoint corner : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 31), QPoint(119, 31)}) {
        EXPECT_EQ(image.pixelColor(corner) == QColor(Qt::black), look.outline) << corner.x();
    }
    EXPECT_NE(image.pixelColor(1, 1), QColor(Qt::black)) << "the outline is one pixel wide";
    // The printer bitmap sits at the centre, (52, 8); its red key pixels show the gradient row.
    const QImage bitmap = SWGradientButton::libraryBitmap(3);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb source = bitmap.pixel(x, y) & RGB_MASK;
            const QRgb shown = image.pixel(52 + x, 8 + y) & RGB_MASK;
            const QRgb want = source == 0xFF0000 ? image.pixel(30, 8 + y) & RGB_MASK : source;
            ASSERT_EQ(shown, want) << x << "," << y;
        }
    }
}

TEST(Gallery, WritesEveryWidgetAsTheHostShowsIt) {
    QTemporaryDir dir;
    QString error;
    const QStringList written = writeGallery(dir.filePath(QStringLiteral("out")), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(written.size(), 6);
    EXPECT_FALSE(pinnedTwipsPerPixel().has_value()) << "the gallery gives the factor back";
    const auto load = [&](const char* name) {
        return QImage(dir.filePath(QStringLiteral("out/") + QString::fromLatin1(name)));
    };
    EXPECT_EQ(load("ruler-horizontal.png").size(), QSize(980, 20));
    EXPECT_EQ(load("ruler-vertical.png").size(), QSize(20, 640));
    // The pointer events reached the button: three different looks.
    const ButtonLook looks[] = {
        {"button-normal.png", QColor(221, 236, 254), QColor(129, 169, 226), false},
        {"button-hover.png", QColor(247, 227, 134), QColor(238, 164, 36), true},
        {"button-pressed.png", QColor(238, 164, 36), QColor(226, 113, 22), true},
    };
    for (const ButtonLook& look : looks) {
        SCOPED_TRACE(look.file);
        expectButton(load(look.file), look);
    }
    // The menu bar: the normal button's gradient over a two-line bottom edge.
    const QImage bar = load("menubar.png");
    ASSERT_EQ(bar.size(), QSize(400, 30));
    EXPECT_TRUE(near(bar.pixelColor(200, 0), looks[0].top, 4));
    EXPECT_TRUE(near(bar.pixelColor(200, 27), looks[0].bottom, 6));
    for (const int x : {0, 200, 399}) {
        EXPECT_EQ(bar.pixelColor(x, 28), QColor(97, 124, 163)) << x;
        EXPECT_EQ(bar.pixelColor(x, 29), QColor(Qt::black)) << x;
    }
}

TEST(Gallery, UnusableFolderIsAnErrorNotACrash) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain-file"));
    QFile(file).open(QIODevice::WriteOnly);
    QString error;
    EXPECT_TRUE(writeGallery(file + QStringLiteral("/below"), &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace sw::widgets
