#include "widgets/sw_gradient_button.h"

#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>

#include "widgets/sw_menu_bar.h"

namespace sw::widgets {
namespace {

void send(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
          QPointF pos = QPointF(60, 16)) {
    QMouseEvent event(type, pos, widget.mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// A 120 x 32 pixel button at 96 DPI.
class Button : public ::testing::Test {
protected:
    Button() { m_button.setGeometryTwips(0, 0, 1800, 480); }

    test::PinnedTwips m_pin;
    SWGradientButton m_button;
};

TEST_F(Button, TextGraphicAndUnknownBitmapNumbersDrawNothing) {
    const QImage before = m_button.grab().toImage();
    m_button.setButtonText(QStringLiteral("Print"));
    m_button.setButtonGraphic(QStringLiteral("printer.bmp"));
    EXPECT_EQ(m_button.grab().toImage(), before);
    for (const std::int16_t index : {99, -1}) {
        m_button.setImgIndex(index);
        EXPECT_EQ(m_button.grab().toImage(), before) << index;
    }
}

TEST_F(Button, ClickNeedsPressAndReleaseInside) {
    QSignalSpy click(&m_button, &SWGradientButton::Click);
    send(m_button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(m_button.isDown());
    send(m_button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(m_button.isDown());
    EXPECT_EQ(click.count(), 1);
    send(m_button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send(m_button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(200, 16));
    EXPECT_EQ(click.count(), 1) << "released outside";
    send(m_button, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(m_button.isDown()) << "only the left button presses";
}

TEST_F(Button, ApplyGradientPaintsUntilTheNextPaint) {
    m_button.grab();
    m_button.ApplyGradient(rgb(255, 255, 255), 0x8000000Fu);
    EXPECT_EQ(m_button.surfaceImage().pixelColor(60, 0), QColor(Qt::white));
    EXPECT_NE(m_button.grab().toImage().pixelColor(60, 0), QColor(Qt::white)) << "paint restores";
}

TEST_F(Button, LowMenuBarStillHasItsEdge) {
    SWMenuBar bar;
    bar.setGeometryTwips(0, 0, 1500, 90);  // 6 pixels: bands of 1 twip, 15 to a row
    const QImage image = bar.grab().toImage();
    const QColor top(221, 236, 254);
    EXPECT_TRUE(test::near(image.pixelColor(50, 0), top, 10));
    // The bands end at 60 twips (row 4, under the edge), so row 3 is gradient, darker than row 0.
    EXPECT_LT(image.pixelColor(50, 3).green(), image.pixelColor(50, 0).green());
    EXPECT_GT(image.pixelColor(50, 3).green(), 169);
    EXPECT_EQ(image.pixelColor(50, 4), QColor(97, 124, 163));
    EXPECT_EQ(image.pixelColor(50, 5), QColor(Qt::black));
}

}  // namespace
}  // namespace sw::widgets
