#include "widgets/sw_gradient_button.h"

#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "widgets/sw_menu_bar.h"

namespace sw::widgets {
namespace {

using test::near;
using test::pixel;

const QColor kNormalTop(221, 236, 254);
const QColor kNormalBottom(129, 169, 226);
const QColor kHoverTop(247, 227, 134);
const QColor kHoverBottom(238, 164, 36);
const QColor kPressedTop(238, 164, 36);
const QColor kPressedBottom(226, 113, 22);

void send(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
          QPointF pos = QPointF(60, 16)) {
    QMouseEvent event(type, pos, widget.mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

enum class State { Normal, Hover, Pressed };

struct StateCase {
    const char* name;
    State state;
    QColor top;
    QColor bottom;
    bool outline;
};

void PrintTo(const StateCase& c, std::ostream* os) {
    *os << c.name;
}

class ButtonStates : public ::testing::TestWithParam<StateCase> {
protected:
    // A 120 x 32 pixel button at 96 DPI, brought into the state by pointer events.
    QImage render(std::int16_t imgIndex) {
        SWGradientButton button;
        button.setGeometryTwips(0, 0, 1800, 480);
        button.setImgIndex(imgIndex);
        if (GetParam().state != State::Normal) {
            send(button, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
        }
        if (GetParam().state == State::Pressed) {
            send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
        }
        return button.grab().toImage();
    }

    test::PinnedTwips m_pin;
};

TEST_P(ButtonStates, GradientRunsFromTopToBottomColour) {
    const StateCase& c = GetParam();
    const QImage image = render(0);
    ASSERT_EQ(image.size(), QSize(120, 32));
    // A pixel row holds about three bands; the 480 twip button's loop ends at band 96 of 100, so
    // its last rows stay a few hundredths short of the bottom colour.
    EXPECT_TRUE(near(pixel(image, 60, 1), c.top, 4)) << pixel(image, 60, 1).name().toStdString();
    EXPECT_TRUE(near(pixel(image, 60, 30), c.bottom, 12))
        << pixel(image, 60, 30).name().toStdString();
    // The colour moves steadily from top to bottom.
    for (int y = 2; y < 31; ++y) {
        const int before = pixel(image, 60, y - 1).green();
        const int here = pixel(image, 60, y).green();
        EXPECT_LE(here, before) << "row " << y;
    }
}

TEST_P(ButtonStates, OutlineOnlyWhileHovering) {
    const QImage image = render(0);
    const QColor black(Qt::black);
    for (const QPoint corner : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 31), QPoint(119, 31)}) {
        EXPECT_EQ(pixel(image, corner.x(), corner.y()) == black, GetParam().outline)
            << corner.x() << "," << corner.y();
    }
    EXPECT_NE(pixel(image, 1, 1), black) << "one pixel wide";
}

TEST_P(ButtonStates, BitmapIsCentredWithoutItsKeyColour) {
    const QImage plain = render(0);
    const QImage printer = render(3);
    const QImage bitmap = SWGradientButton::libraryBitmap(3);
    // 120 / 2 - 16 / 2 = 52 and 32 / 2 - 16 / 2 = 8.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb source = bitmap.pixel(x, y) & RGB_MASK;
            const QColor shown = pixel(printer, 52 + x, 8 + y);
            if (source == 0xFF0000) {
                EXPECT_EQ(shown, pixel(plain, 52 + x, 8 + y)) << x << "," << y;
            } else {
                EXPECT_EQ(shown.rgb() & RGB_MASK, source) << x << "," << y;
            }
        }
    }
    // Outside the bitmap nothing changed.
    EXPECT_EQ(printer.copy(0, 0, 52, 32), plain.copy(0, 0, 52, 32));
}

INSTANTIATE_TEST_SUITE_P(
    States, ButtonStates,
    ::testing::Values(StateCase{"Normal", State::Normal, kNormalTop, kNormalBottom, false},
                      StateCase{"Hover", State::Hover, kHoverTop, kHoverBottom, true},
                      StateCase{"Pressed", State::Pressed, kPressedTop, kPressedBottom, true}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

class Button : public ::testing::Test {
protected:
    test::PinnedTwips m_pin;
};

TEST_F(Button, TextAndGraphicAreStoredButNotDrawn) {
    SWGradientButton button;
    button.setGeometryTwips(0, 0, 1800, 480);
    const QImage before = button.grab().toImage();
    button.setButtonText(QStringLiteral("Print"));
    button.setButtonGraphic(QStringLiteral("printer.bmp"));
    EXPECT_EQ(button.ButtonText(), QStringLiteral("Print"));
    EXPECT_EQ(button.grab().toImage(), before);
}

TEST_F(Button, UnknownBitmapNumberDrawsOnlyTheGradient) {
    SWGradientButton button;
    button.setGeometryTwips(0, 0, 1800, 480);
    const QImage before = button.grab().toImage();
    button.setImgIndex(99);
    EXPECT_EQ(button.grab().toImage(), before);
    button.setImgIndex(-1);
    EXPECT_EQ(button.grab().toImage(), before);
}

TEST_F(Button, ClickNeedsPressAndReleaseInside) {
    SWGradientButton button;
    button.setGeometryTwips(0, 0, 1800, 480);
    QSignalSpy click(&button, &SWGradientButton::Click);
    send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(button.isDown());
    send(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(button.isDown());
    EXPECT_EQ(click.count(), 1);
    send(button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send(button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(200, 16));
    EXPECT_EQ(click.count(), 1) << "released outside";
    send(button, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(button.isDown()) << "only the left button presses";
}

TEST_F(Button, ApplyGradientPaintsUntilTheNextPaint) {
    SWGradientButton button;
    button.setGeometryTwips(0, 0, 1800, 480);
    button.grab();
    button.ApplyGradient(rgb(255, 255, 255), 0x8000000Fu);
    EXPECT_EQ(pixel(button.surfaceImage(), 60, 0), QColor(Qt::white));
    EXPECT_NE(pixel(button.grab().toImage(), 60, 0), QColor(Qt::white)) << "paint restores";
}

TEST_F(Button, MenuBarGradientAndEdge) {
    SWMenuBar bar;
    bar.setGeometryTwips(0, 0, 6000, 450);
    const QImage image = bar.grab().toImage();
    ASSERT_EQ(image.size(), QSize(400, 30));
    EXPECT_TRUE(near(pixel(image, 200, 0), kNormalTop, 4));
    EXPECT_TRUE(near(pixel(image, 200, 27), kNormalBottom, 6))
        << pixel(image, 200, 27).name().toStdString();
    for (const int x : {0, 200, 399}) {
        EXPECT_EQ(pixel(image, x, 28), QColor(97, 124, 163)) << x;
        EXPECT_EQ(pixel(image, x, 29), QColor(Qt::black)) << x;
    }
}

TEST_F(Button, LowMenuBarStillHasItsEdge) {
    SWMenuBar bar;
    bar.setGeometryTwips(0, 0, 1500, 90);  // 6 pixels: bands of 1 twip, 15 to a row
    const QImage image = bar.grab().toImage();
    EXPECT_TRUE(near(pixel(image, 50, 0), kNormalTop, 10));
    // The bands end at 60 twips (row 4, under the edge), so row 3 is gradient, darker than row 0.
    EXPECT_LT(pixel(image, 50, 3).green(), pixel(image, 50, 0).green());
    EXPECT_GT(pixel(image, 50, 3).green(), kNormalBottom.green());
    EXPECT_EQ(pixel(image, 50, 4), QColor(97, 124, 163));
    EXPECT_EQ(pixel(image, 50, 5), QColor(Qt::black));
}

}  // namespace
}  // namespace sw::widgets
