#include "widgets/sw_ruler.h"

#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <stdexcept>

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "widgets/handles.h"

namespace sw::widgets {
namespace {

using test::near;
using test::pixel;

const QColor kGrey(213, 212, 211);

class RulerWidget : public ::testing::Test {
protected:
    test::PinnedTwips m_pin;
};

// The viewer's horizontal ruler over a 36 inch sheet shown 960 pixels wide: 980 x 20 pixels,
// Offset 300.
std::unique_ptr<SWRuler> horizontalRuler() {
    auto ruler = std::make_unique<SWRuler>();
    ruler->setGeometryTwips(0, 0, 14700, 300);
    ruler->setOffset(300);
    ruler->setMax(36);
    return ruler;
}

TEST_F(RulerWidget, HorizontalRulerPixels) {
    auto ruler = horizontalRuler();
    const QImage image = ruler->grab().toImage();
    ASSERT_EQ(image.size(), QSize(980, 20));
    EXPECT_EQ(pixel(image, 500, 0), QColor(Qt::black)) << "top frame";
    EXPECT_EQ(pixel(image, 500, 19), QColor(Qt::black)) << "bottom frame on the last row";
    EXPECT_EQ(pixel(image, 0, 10), QColor(Qt::black)) << "leading frame";
    EXPECT_EQ(pixel(image, 15, 10), QColor(Qt::black)) << "offset box";
    EXPECT_EQ(pixel(image, 30, 17), kGrey) << "background";
    EXPECT_EQ(pixel(image, 979, 17), kGrey) << "no frame on the far edge";
    // Unit 2 at 1116 twips = pixel 74.4; unit 1 (708 twips, pixel 47) is skipped on a sparse
    // ruler.
    EXPECT_EQ(pixel(image, 74, 17), QColor(Qt::black));
    EXPECT_EQ(pixel(image, 47, 17), kGrey);
    EXPECT_EQ(pixel(image, 129, 17), QColor(Qt::black)) << "unit 4 at 1932 twips";
}

TEST_F(RulerWidget, LabelIsDrawnRightOfItsLine) {
    auto ruler = horizontalRuler();
    const QImage image = ruler->grab().toImage();
    int dark = 0;
    // " 2 " starts at the line; its digit lies a blank's width to the right, in the top rows.
    for (int x = 76; x < 100; ++x) {
        for (int y = 1; y < 15; ++y) {
            dark += pixel(image, x, y).lightness() < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 5);
}

TEST_F(RulerWidget, VerticalRulerDrawsHorizontalLines) {
    SWRuler ruler;
    ruler.setIsVertical(true);
    ruler.setMax(10);
    ruler.setGeometryTwips(0, 0, 300, 6000);  // 20 x 400 pixels, a unit every 600 twips
    const QImage image = ruler.grab().toImage();
    EXPECT_EQ(pixel(image, 15, 40), QColor(Qt::black)) << "unit 1 at 600 twips";
    EXPECT_EQ(pixel(image, 15, 41), kGrey);
    EXPECT_EQ(pixel(image, 15, 80), QColor(Qt::black)) << "unit 2: dense";
}

TEST_F(RulerWidget, PaintRestoresItsColoursWhateverTheHostSet) {
    auto ruler = horizontalRuler();
    ruler->grab();
    ruler->setBackColor(rgb(255, 0, 0));
    EXPECT_EQ(pixel(ruler->surfaceImage(), 30, 17), QColor(Qt::red)) << "setting clears";
    ruler->setForeColor(rgb(0, 0, 255));
    ruler->Refresh();
    EXPECT_EQ(pixel(ruler->surfaceImage(), 30, 17), kGrey);
    EXPECT_EQ(pixel(ruler->surfaceImage(), 74, 17), QColor(Qt::black));
    EXPECT_EQ(ruler->BackColor(), rgb(213, 212, 211));
    EXPECT_EQ(ruler->ForeColor(), rgb(0, 0, 0));
}

TEST_F(RulerWidget, SettersRecordButDoNotRepaint) {
    auto ruler = horizontalRuler();
    ruler->Refresh();
    QSignalSpy changed(ruler.get(), &SWRuler::PropertyChanged);
    ruler->setMax(10);
    ruler->setOffset(0);
    ASSERT_EQ(changed.count(), 2);
    EXPECT_EQ(changed.at(0).at(0).toString(), QStringLiteral("Max"));
    EXPECT_EQ(changed.at(1).at(0).toString(), QStringLiteral("Offset"));
    EXPECT_EQ(pixel(ruler->surfaceImage(), 15, 10), QColor(Qt::black)) << "old drawing stays";
    ruler->Refresh();
    EXPECT_EQ(pixel(ruler->surfaceImage(), 15, 10), kGrey) << "no box with Offset 0";
}

TEST_F(RulerWidget, ResizeIsRaisedBeforeThePaintThatFollows) {
    auto ruler = horizontalRuler();
    ruler->Refresh();
    int seenWidth = 0;
    QObject::connect(ruler.get(), &SWRuler::Resize, [&] {
        seenWidth = ruler->width();
        ruler->setMax(10);  // a host adjusting the scale to the new size
    });
    ruler->setWidthTwips(15000);
    const QImage image = ruler->grab().toImage();
    EXPECT_EQ(seenWidth, 1000);
    // Max 10 over 15000 twips: unit 1 at 1500 + 300 twips = pixel 120.
    EXPECT_EQ(pixel(image, 120, 17), QColor(Qt::black));
}

TEST_F(RulerWidget, CircleAndClsLastUntilTheNextPaint) {
    auto ruler = horizontalRuler();
    ruler->Refresh();
    ruler->setFillStyle(0);
    ruler->setFillColor(rgb(0, 0, 255));
    ruler->Circle_(3000, 150, 90, rgb(0, 0, 255));
    EXPECT_EQ(pixel(ruler->surfaceImage(), 200, 10), QColor(Qt::blue));
    EXPECT_DOUBLE_EQ(ruler->CurrentX(), 3000);
    ruler->Cls();
    EXPECT_EQ(pixel(ruler->surfaceImage(), 200, 10), kGrey);
    EXPECT_EQ(pixel(ruler->surfaceImage(), 500, 0), kGrey) << "Cls clears the frame too";
    ruler->Refresh();
    EXPECT_EQ(pixel(ruler->surfaceImage(), 500, 0), QColor(Qt::black));
    EXPECT_FALSE(ruler->Redraw().isValid());
}

TEST_F(RulerWidget, ArcWithOutOfRangeAngleDrawsNothing) {
    auto ruler = horizontalRuler();
    ruler->Refresh();
    const QImage before = ruler->surfaceImage();
    ruler->Circle_(3000, 150, 90, rgb(0, 0, 255), 0.0, 7.0);
    EXPECT_EQ(ruler->surfaceImage(), before);
}

TEST_F(RulerWidget, GeometryInTwipsAllowsNegativePlacesButNoNegativeSize) {
    auto ruler = horizontalRuler();
    EXPECT_TRUE(ruler->setGeometryTwips(-1500, 450, 14700, 300));
    EXPECT_EQ(ruler->geometry(), QRect(-100, 30, 980, 20));
    EXPECT_DOUBLE_EQ(ruler->leftTwips(), -1500);
    EXPECT_FALSE(ruler->setWidthTwips(-15));
    EXPECT_FALSE(ruler->setHeightTwips(1e12));
    EXPECT_EQ(ruler->geometry(), QRect(-100, 30, 980, 20));
}

TEST_F(RulerWidget, SurfaceHandleNamesTheSurfaceWhileTheRulerLives) {
    std::int32_t handle = 0;
    {
        SWRuler ruler;
        handle = ruler.hDC();
        EXPECT_NE(handle, 0);
        EXPECT_EQ(handles::drawableFromHandle(handle), &ruler.surfaceImage());
    }
    EXPECT_EQ(handles::drawableFromHandle(handle), nullptr);
}

TEST_F(RulerWidget, PointerEventsReachTheHostInTwips) {
    auto ruler = horizontalRuler();
    QSignalSpy down(ruler.get(), &SWRuler::MouseDown);
    QSignalSpy up(ruler.get(), &SWRuler::MouseUp);
    QSignalSpy click(ruler.get(), &SWRuler::Click);
    QSignalSpy dbl(ruler.get(), &SWRuler::DblClick);
    QTest::mousePress(ruler.get(), Qt::RightButton, Qt::ShiftModifier, QPoint(10, 5));
    QTest::mouseRelease(ruler.get(), Qt::RightButton, Qt::ShiftModifier, QPoint(10, 5));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).toInt(), 2) << "right button";
    EXPECT_EQ(down.at(0).at(1).toInt(), 1) << "shift";
    EXPECT_FLOAT_EQ(down.at(0).at(2).toFloat(), 150);
    EXPECT_FLOAT_EQ(down.at(0).at(3).toFloat(), 75);
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(click.count(), 1);
    // The second press of a double click: DblClick, and its release clicks no more.
    QTest::mouseDClick(ruler.get(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseRelease(ruler.get(), Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(dbl.count(), 1);
    EXPECT_EQ(up.count(), 2);
    EXPECT_EQ(click.count(), 1);
}

TEST_F(RulerWidget, ReleaseOutsideIsNoClick) {
    auto ruler = horizontalRuler();
    QSignalSpy click(ruler.get(), &SWRuler::Click);
    QTest::mousePress(ruler.get(), Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseRelease(ruler.get(), Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_EQ(click.count(), 0);
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;  // what the platform says the key typed
    int keyCode;
    int shift;
    int keyAscii;  // -1: no KeyPress
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << c.name;
}

class RulerKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(RulerKeys, PassKeysOnWithHostCodes) {
    const KeyCase& c = GetParam();
    SWRuler ruler;
    QSignalSpy down(&ruler, &SWRuler::KeyDown);
    QSignalSpy press(&ruler, &SWRuler::KeyPress);
    QSignalSpy up(&ruler, &SWRuler::KeyUp);
    QKeyEvent pressed(QEvent::KeyPress, c.key, c.modifiers, QString::fromLatin1(c.text));
    QKeyEvent released(QEvent::KeyRelease, c.key, c.modifiers, QString::fromLatin1(c.text));
    QApplication::sendEvent(&ruler, &pressed);
    QApplication::sendEvent(&ruler, &released);
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0).at(0).toInt(), c.keyCode);
    EXPECT_EQ(down.at(0).at(1).toInt(), c.shift);
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.at(0).at(0).toInt(), c.keyCode);
    if (c.keyAscii < 0) {
        EXPECT_EQ(press.count(), 0);
    } else {
        ASSERT_EQ(press.count(), 1);
        EXPECT_EQ(press.at(0).at(0).toInt(), c.keyAscii);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RulerKeys,
    ::testing::Values(KeyCase{"ShiftA", Qt::Key_A, Qt::ShiftModifier, "A", 65, 1, 'A'},
                      KeyCase{"CtrlA", Qt::Key_A, Qt::ControlModifier, "\x01", 65, 2, 1},
                      KeyCase{"F1", Qt::Key_F1, {}, "", 112, 0, -1},
                      KeyCase{"AltDelete", Qt::Key_Delete, Qt::AltModifier, "", 46, 4, -1},
                      KeyCase{"Keypad5", Qt::Key_5, Qt::KeypadModifier, "5", 101, 0, '5'}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST(RulerPersistence, NewRulerWritesNothing) {
    SWRuler ruler;
    PropertyBag bag;
    ruler.WriteProperties(bag);
    EXPECT_TRUE(bag.isEmpty()) << bag.writtenKeys().join(',').toStdString();
}

TEST(RulerPersistence, ChangedValuesRoundTripInOrder) {
    SWRuler source;
    source.setMax(24);
    source.setMin(-2);
    source.setOffset(300);
    source.setIsVertical(true);
    source.setTickColor(rgb(1, 2, 3));
    source.setBorderWidth(3);
    source.setDrawMode(7);
    source.setCurrentX(120.5);
    QFont font = SWRuler::ambientFont();
    font.setPointSizeF(10);
    source.setFont(font);
    source.setEnabled(false);
    PropertyBag bag;
    source.WriteProperties(bag);
    EXPECT_EQ(bag.writtenKeys(),
              QStringList({"Enabled", "Font", "CurrentX", "DrawMode", "Max", "Min", "Offset",
                           "IsVertical", "TickColor", "BorderWidth"}));

    SWRuler copy;
    copy.ReadProperties(PropertyBag(bag.toMap()));
    EXPECT_EQ(copy.Max(), 24);
    EXPECT_EQ(copy.Min(), -2);
    EXPECT_EQ(copy.Offset(), 300);
    EXPECT_TRUE(copy.IsVertical());
    EXPECT_EQ(copy.TickColor(), rgb(1, 2, 3));
    EXPECT_EQ(copy.BorderWidth(), 3);
    EXPECT_EQ(copy.DrawMode(), 7);
    EXPECT_DOUBLE_EQ(copy.CurrentX(), 120.5);
    EXPECT_EQ(copy.Font(), font);
    EXPECT_FALSE(copy.Enabled());
    PropertyBag again;
    copy.WriteProperties(again);
    EXPECT_EQ(again.toMap(), bag.toMap());
}

TEST(RulerPersistence, DefaultsAreNotWrittenEvenWhenSetExplicitly) {
    SWRuler ruler;
    ruler.setMax(36);
    ruler.setBorderWidth(1);
    ruler.setDrawMode(13);
    PropertyBag bag;
    ruler.WriteProperties(bag);
    EXPECT_TRUE(bag.isEmpty());
}

TEST(RulerPersistence, StoredValueBeyondSixteenBitsFailsTheGetterButStillDraws) {
    test::PinnedTwips pin;
    SWRuler ruler;
    ruler.ReadProperties(PropertyBag({{"Max", 40000}, {"Min", 39990}}));
    EXPECT_THROW((void)ruler.Max(), std::overflow_error);
    ruler.setGeometryTwips(0, 0, 15000, 300);
    const QImage image = ruler.grab().toImage();
    EXPECT_EQ(pixel(image, 100, 17), QColor(Qt::black)) << "range 10 at 1500 twips a unit";
}

TEST(RulerPersistence, ValuesOfTheWrongKindReadAsDefaults) {
    SWRuler ruler;
    ruler.ReadProperties(
        PropertyBag({{"Max", "many"}, {"IsVertical", "yes"}, {"DrawMode", 70000}}));
    EXPECT_EQ(ruler.Max(), 36);
    EXPECT_FALSE(ruler.IsVertical());
    EXPECT_EQ(ruler.DrawMode(), 13);
}

}  // namespace
}  // namespace sw::widgets
