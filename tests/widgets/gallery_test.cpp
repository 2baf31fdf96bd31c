#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "widgets/gallery_command.h"
#include "widgets/twips.h"

namespace sw::widgets {
namespace {

TEST(Gallery, WritesEveryWidgetAtNinetySixDpi) {
    QTemporaryDir dir;
    QString error;
    const QStringList written = writeGallery(dir.filePath(QStringLiteral("out")), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(written.size(), 6);
    const auto load = [&](const char* name) {
        return QImage(dir.filePath(QStringLiteral("out/") + QString::fromLatin1(name)));
    };
    EXPECT_EQ(load("button-normal.png").size(), QSize(120, 32));
    EXPECT_EQ(load("menubar.png").size(), QSize(400, 30));
    EXPECT_EQ(load("ruler-horizontal.png").size(), QSize(980, 20));
    EXPECT_EQ(load("ruler-vertical.png").size(), QSize(20, 640));
    // The pointer events reached the button: three different looks.
    const QImage normal = load("button-normal.png");
    const QImage hover = load("button-hover.png");
    const QImage pressed = load("button-pressed.png");
    EXPECT_NE(normal.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(hover.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(pressed.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_NE(hover.pixelColor(60, 2), pressed.pixelColor(60, 2));
    EXPECT_FALSE(pinnedTwipsPerPixel().has_value()) << "the gallery gives the factor back";
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
