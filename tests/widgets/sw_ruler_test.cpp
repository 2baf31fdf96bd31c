#include "widgets/sw_ruler.h"

#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include "widgets/handles.h"
#include "widgets/ruler_drawing.h"

namespace sw::widgets {
namespace {

using sw::test::PrintTo;

const QColor kGrey(213, 212, 211);
const QColor kBlack(Qt::black);

// The viewer's horizontal ruler over a 36 inch sheet shown 960 pixels wide: 980 x 20 pixels at
// 96 DPI, Offset 300.
class RulerWidget : public ::testing::Test {
protected:
    RulerWidget() {
        m_ruler.setGeometryTwips(0, 0, 14700, 300);
        m_ruler.setOffset(300);
        m_ruler.setMax(36);
    }
    QColor shown(int x, int y) const { return m_ruler.surfaceImage().pixelColor(x, y); }

    test::PinnedTwips m_pin;
    SWRuler m_ruler;
};

// The painted ruler: frame on three sides, the offset box, a line per unit (every second one on a
// sparse ruler) with its number beside it; the vertical ruler draws its lines across.
TEST_F(RulerWidget, PaintsFrameOffsetBoxUnitsAndLabels) {
    const QImage image = m_ruler.grab().toImage();
    ASSERT_EQ(image.size(), QSize(980, 20));
    // Top, bottom (on the last row) and leading frame, offset box, background, no frame on the far
    // edge; unit 2 at 1116 twips (pixel 74.4) and unit 4 at 1932 twips, but not unit 1 (708
    // twips, pixel 47) on this sparse ruler.
    const std::pair<QPoint, QColor> pixels[] = {
        {{500, 0}, kBlack}, {{500, 19}, kBlack}, {{0, 10}, kBlack},
        {{15, 10}, kBlack}, {{30, 17}, kGrey},   {{979, 17}, kGrey},
        {{74, 17}, kBlack}, {{129, 17}, kBlack}, {{47, 17}, kGrey}};
    for (const auto& [at, colour] : pixels) {
        EXPECT_EQ(image.pixelColor(at), colour) << at.x() << "," << at.y();
    }
    // " 2 " starts at the line; its digit lies a blank's width to the right, in the top rows.
    int dark = 0;
    for (int x = 76; x < 100; ++x) {
        for (int y = 1; y < 15; ++y) {
            dark += image.pixelColor(x, y).lightness() < 128 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 5);

    SWRuler ruler;
    ruler.setIsVertical(true);
    ruler.setMax(10);
    ruler.setGeometryTwips(0, 0, 300, 6000);  // 20 x 400 pixels, a unit every 600 twips
    const QImage vertical = ruler.grab().toImage();
    EXPECT_EQ(vertical.pixelColor(15, 40), kBlack) << "unit 1 at 600 twips";
    EXPECT_EQ(vertical.pixelColor(15, 41), kGrey);
    EXPECT_EQ(vertical.pixelColor(15, 80), kBlack) << "unit 2: dense";
}

// Setters record and raise PropertyChanged but do not repaint; what the host draws (a circle,
// Cls, a BackColor that clears) lasts until the next paint, which restores the ruler's own
// colours whatever the host set.
TEST_F(RulerWidget, HostChangesLastUntilTheNextPaintWhichRestoresTheRuler) {
    m_ruler.Refresh();
    QSignalSpy changed(&m_ruler, &SWRuler::PropertyChanged);
    m_ruler.setMax(10);
    m_ruler.setOffset(0);
    EXPECT_EQ(changed, (QList<QVariantList>{{"Max"}, {"Offset"}}));
    EXPECT_EQ(shown(15, 10), kBlack) << "old drawing stays";
    m_ruler.setBackColor(rgb(255, 0, 0));
    EXPECT_EQ(shown(30, 17), QColor(Qt::red)) << "setting clears";
    m_ruler.setForeColor(rgb(0, 0, 255));
    m_ruler.setFillStyle(0);
    m_ruler.setFillColor(rgb(0, 0, 255));
    const QImage before = m_ruler.surfaceImage();
    m_ruler.Circle_(3000, 150, 90, rgb(0, 0, 255), 0.0, 7.0);
    EXPECT_EQ(m_ruler.surfaceImage(), before) << "an arc angle beyond 2 pi draws nothing";
    m_ruler.Circle_(3000, 150, 90, rgb(0, 0, 255));
    EXPECT_EQ(shown(200, 10), QColor(Qt::blue));
    m_ruler.Cls();
    EXPECT_EQ(shown(200, 10), QColor(Qt::red));
    EXPECT_EQ(shown(500, 0), QColor(Qt::red)) << "Cls clears the frame too";
    m_ruler.Refresh();
    EXPECT_EQ(shown(30, 17), kGrey);
    EXPECT_EQ(shown(500, 0), kBlack);
    EXPECT_EQ(shown(15, 10), kGrey) << "no box with Offset 0";
    EXPECT_EQ(m_ruler.BackColor(), rgb(213, 212, 211));
}

TEST_F(RulerWidget, ResizeIsRaisedBeforeThePaintThatFollows) {
    m_ruler.Refresh();
    int seenWidth = 0;
    QObject::connect(&m_ruler, &SWRuler::Resize, [&] {
        seenWidth = m_ruler.width();
        m_ruler.setMax(10);  // a host adjusting the scale to the new size
    });
    m_ruler.setWidthTwips(15000);
    const QImage image = m_ruler.grab().toImage();
    EXPECT_EQ(seenWidth, 1000);
    // Max 10 over 15000 twips: unit 1 at 1500 + 300 twips = pixel 120.
    EXPECT_EQ(image.pixelColor(120, 17), kBlack);
}

// Twips go to the nearest pixel, for the ruler as for hosts; a place may be negative, a size may
// not, and a refused size changes nothing. No drawing handle outlives its ruler.
TEST_F(RulerWidget, GeometryInTwipsAllowsNegativePlacesButNoNegativeSize) {
    EXPECT_TRUE(m_ruler.setGeometryTwips(-1492, 443, 14707, 300));  // to the nearest pixel
    EXPECT_EQ(m_ruler.geometry(), QRect(-99, 30, 980, 20));
    EXPECT_EQ(QPoint(twipsToPixelsX(-1492), twipsToPixelsY(443)), QPoint(-99, 30)) << "for hosts";
    EXPECT_FALSE(m_ruler.setWidthTwips(-15));
    EXPECT_FALSE(m_ruler.setHeightTwips(1e12));
    EXPECT_EQ(m_ruler.geometry(), QRect(-99, 30, 980, 20));
    std::int32_t handle = 0;
    {
        SWRuler other;
        handle = other.hDC();
        EXPECT_EQ(handles::drawableFromHandle(handle), &other.surfaceImage());
    }
    EXPECT_EQ(handles::drawableFromHandle(handle), nullptr) << "no handle outlives its ruler";
}

TEST_F(RulerWidget, PointerEventsReachTheHostInTwips) {
    QSignalSpy down(&m_ruler, &SWRuler::MouseDown);
    QSignalSpy up(&m_ruler, &SWRuler::MouseUp);
    QSignalSpy click(&m_ruler, &SWRuler::Click);
    QSignalSpy dbl(&m_ruler, &SWRuler::DblClick);
    QTest::mousePress(&m_ruler, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 5));
    QTest::mouseRelease(&m_ruler, Qt::RightButton, Qt::ShiftModifier, QPoint(10, 5));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down.at(0), (QVariantList{2, 1, 150.0F, 75.0F})) << "right button, shift";
    EXPECT_EQ(up.count(), 1);
    EXPECT_EQ(click.count(), 1);
    // The second press of a double click: DblClick, and its release clicks no more.
    QTest::mouseDClick(&m_ruler, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseRelease(&m_ruler, Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(dbl.count(), 1);
    EXPECT_EQ(up.count(), 2);
    QTest::mousePress(&m_ruler, Qt::LeftButton, {}, QPoint(10, 5));
    QTest::mouseRelease(&m_ruler, Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_EQ(click.count(), 1) << "no click for the double click's release, nor outside";
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
    EXPECT_EQ(down, (QList<QVariantList>{{c.keyCode, c.shift}}));
    EXPECT_EQ(up, (QList<QVariantList>{{c.keyCode, c.shift}}));
    EXPECT_EQ(press, c.keyAscii < 0 ? QList<QVariantList>{} : QList<QVariantList>{{c.keyAscii}});
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RulerKeys,
    ::testing::Values(KeyCase{"ShiftA", Qt::Key_A, Qt::ShiftModifier, "A", 65, 1, 'A'},
                      KeyCase{"CtrlA", Qt::Key_A, Qt::ControlModifier, "\x01", 65, 2, 1},
                      KeyCase{"F1", Qt::Key_F1, {}, "", 112, 0, -1},
                      KeyCase{"AltDelete", Qt::Key_Delete, Qt::AltModifier, "", 46, 4, -1},
                      KeyCase{"Keypad5", Qt::Key_5, Qt::KeypadModifier, "5", 101, 0, '5'}),
    sw::test::byName);

// Changed values are written in the host's order and read back; values equal to their defaults
// are not written even when set explicitly, and writing a default takes an older value out of
// the bag.
TEST(RulerPersistence, ChangedValuesRoundTripInOrderAndDefaultsAreLeftOut) {
    SWRuler source;
    source.setMax(24);
    source.setMin(-2);
    source.setOffset(300);
    source.setIsVertical(true);
    source.setTickColor(rgb(1, 2, 3));
    source.setBorderWidth(1);
    source.setDrawMode(13);
    source.setCurrentX(120.5);
    QFont font = SWRuler::ambientFont();
    font.setPointSizeF(10);
    source.setFont(font);
    source.setEnabled(false);
    PropertyBag bag;
    source.WriteProperties(bag);
    EXPECT_EQ(bag.writtenKeys(), QStringList({"Enabled", "Font", "CurrentX", "Max", "Min", "Offset",
                                              "IsVertical", "TickColor"}));
    SWRuler copy;
    copy.ReadProperties(PropertyBag(bag.toMap()));
    EXPECT_EQ(copy.Min(), -2);
    EXPECT_EQ(copy.Font(), font);
    EXPECT_FALSE(copy.Enabled());
    PropertyBag again;
    copy.WriteProperties(again);
    EXPECT_EQ(again.toMap(), bag.toMap());
    SWRuler().WriteProperties(bag);
    EXPECT_TRUE(bag.isEmpty()) << bag.writtenKeys().join(',').toStdString();
}

// Values only a damaged bag can hold: one beyond 16 bits fails its getter but the ruler still
// draws with it; values of the wrong kind read as the defaults.
TEST(RulerPersistence, UnusableStoredValuesFailTheGetterOrReadAsDefaults) {
    test::PinnedTwips pin;
    SWRuler ruler;
    ruler.ReadProperties(PropertyBag({{"Max", 40000}, {"Min", 39990}}));
    EXPECT_THROW((void)ruler.Max(), std::overflow_error);
    ruler.setGeometryTwips(0, 0, 15000, 300);
    EXPECT_EQ(ruler.grab().toImage().pixelColor(100, 17), kBlack) << "range 10, 1500 twips a unit";
    ruler.ReadProperties(
        PropertyBag({{"Max", "many"}, {"IsVertical", "yes"}, {"DrawMode", 70000}}));
    EXPECT_EQ(ruler.Max(), 36);
    EXPECT_FALSE(ruler.IsVertical());
    EXPECT_EQ(ruler.DrawMode(), 13);
}

// ---- Layout ------------------------------------------------------------------------------------

RulerInput horizontal(double width, std::int32_t max, std::int32_t min = 0, std::int32_t offset = 0,
                      double twipsPerPixel = 15) {
    RulerInput in{.width = width, .height = 300, .max = max, .min = min, .offset = offset};
    in.twipsPerPixelX = twipsPerPixel;
    return in;
}

RulerInput vertical(double height, std::int32_t max) {
    return RulerInput{.width = 300, .height = height, .max = max, .isVertical = true};
}

struct TickCase {
    std::string name;
    RulerInput input;
    bool sparse;  // every second unit only
    std::int32_t step;
    std::int32_t firstValue;
    std::int32_t lastValue;
    std::vector<double> positions;  // of the first drawn units, twips
};

class RulerTicks : public ::testing::TestWithParam<TickCase> {};

TEST_P(RulerTicks, DrawsTheExpectedUnits) {
    const TickCase& c = GetParam();
    const RulerDrawing d = layoutRuler(c.input);
    EXPECT_EQ(d.sparse, c.sparse);
    EXPECT_EQ(d.step, c.step);
    std::int32_t value = c.firstValue;
    for (std::size_t i = 0; i < d.ticks.size(); ++i, value += c.sparse ? 2 : 1) {
        EXPECT_EQ(d.ticks[i].value, value) << "tick " << i;
        if (i < c.positions.size()) {
            EXPECT_DOUBLE_EQ(d.ticks[i].position, c.positions[i]) << "tick " << i;
        }
    }
    EXPECT_EQ(value - (c.sparse ? 2 : 1), c.lastValue) << "the last unit";
}

// 980 pixels at 15 twips per pixel: narrower than 1000 pixels with more than 20 units.
INSTANTIATE_TEST_SUITE_P(
    Layout, RulerTicks,
    ::testing::Values(
        TickCase{
            "Width980pxIsSparse", horizontal(14700, 36, 0, 300), true, 408, 2, 36, {1116, 1932}},
        TickCase{
            "Width1000pxIsDense", horizontal(15000, 36, 0, 300), false, 417, 1, 36, {717, 1134}},
        TickCase{"At120DpiIsDense", horizontal(14700, 36, 0, 300, 12), false, 408, 1, 36, {708}},
        TickCase{"VerticalTallTwentyDense", vertical(90000, 20), false, 4500, 1, 20, {4500}},
        TickCase{"VerticalTallTwentyOneSparse", vertical(90000, 21), true, 4286, 2, 20, {8572}},
        TickCase{"MinFourLabelsFiveToTen", horizontal(6000, 10, 4), false, 1000, 5, 10, {1000}},
        TickCase{"StepHalfRoundsDownToEven", horizontal(450, 36), true, 12, 2, 36, {24}},
        TickCase{"StepHalfRoundsUpToEven", horizontal(1350, 36), true, 38, 2, 36, {76}},
        TickCase{"NegativeMinCountsFromMin", horizontal(6000, 2, -3), false, 1200, -2, 2, {1200}},
        TickCase{"MaxEqualMinDrawsNoUnit", horizontal(6000, 5, 5), false, 0, 1, 0, {}}),
    sw::test::byName);

// Lines cross the ruler and labels carry a blank after the number and one in place of a sign;
// the offset box runs along the ruler, also along a vertical one, and outlives an empty scale.
TEST(RulerLayout, LinesCrossTheRulerLabelsCarryBlanksAndTheOffsetBoxStays) {
    const RulerDrawing h = layoutRuler(horizontal(6000, 10, 4));
    ASSERT_FALSE(h.ticks.empty());
    EXPECT_EQ(h.ticks.front().line, QLineF(1000, 0, 1000, 300));
    EXPECT_EQ(h.ticks.front().label, QStringLiteral(" 5 "));
    EXPECT_EQ(layoutRuler(horizontal(6000, 2, -3)).ticks.front().label, QStringLiteral("-2 "));
    EXPECT_EQ(layoutRuler(vertical(600, 20)).ticks.front().line, QLineF(0, 30, 300, 30));
    RulerInput v = vertical(9000, 24);
    v.offset = 450;
    EXPECT_EQ(layoutRuler(v).offsetBox, QRectF(QPointF(0, 0), QPointF(300, 450)));
    EXPECT_TRUE(layoutRuler(horizontal(14700, 0, 0, 300)).offsetBox.has_value());
}

TEST(RulerLayout, RangeWiderThanSixteenBitsDrawsOnlyTheFrame) {
    // Only a damaged property bag can hold such values; the paint must not run for billions of
    // units.
    const RulerDrawing d = layoutRuler(horizontal(14700, 2'000'000'000, -2'000'000'000));
    EXPECT_EQ(d.frame.size(), 3U);
    EXPECT_TRUE(d.ticks.empty());
    const RulerDrawing widest = layoutRuler(horizontal(14700, 32767, -32768));
    EXPECT_EQ(widest.ticks.size(), 65535U / 2);
}

TEST(RulerLayout, UnitsIncreaseAndNeverSitOnTheZero) {
    for (std::int32_t max = 1; max <= 60; ++max) {
        for (const double width : {300.0, 14700.0, 15000.0, 60000.0}) {
            const RulerDrawing d = layoutRuler(horizontal(width, max, 0, 300));
            for (std::size_t i = 0; i < d.ticks.size(); ++i) {
                EXPECT_GT(d.ticks[i].position, 300) << max << " " << width;
                if (i > 0) {
                    EXPECT_GT(d.ticks[i].value, d.ticks[i - 1].value);
                    EXPECT_GE(d.ticks[i].position, d.ticks[i - 1].position);
                }
            }
            const std::size_t expected =
                d.sparse ? static_cast<std::size_t>(max / 2) : static_cast<std::size_t>(max);
            EXPECT_EQ(d.ticks.size(), expected) << max << " " << width;
        }
    }
}

}  // namespace
}  // namespace sw::widgets
