#include "widgets/sw_gradient_button.h"

#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "widgets/gradient.h"
#include "widgets/handles.h"
#include "widgets/sw_menu_bar.h"
#include "widgets/tracking_events.h"

namespace sw::widgets {
namespace {

using sw::test::PrintTo;

void send(QWidget& widget, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
          QPointF pos = QPointF(60, 16)) {
    QMouseEvent event(type, pos, widget.mapToGlobal(pos), button, held, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
}

// Far from every test window, so that no window starts out under the pointer.
void parkPointer() {
    QCursor::setPos(QPoint(5000, 5000));
    QApplication::processEvents();
}

void sendLeave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

// A loaded 120 x 32 pixel button at 96 DPI in a running host, shown on the offscreen screen, with a
// short hover time so that the event loop does not wait long.
class Button : public ::testing::Test {
protected:
    static constexpr int kHoverTime = 60;

    void SetUp() override {
        parkPointer();
        m_button = std::make_unique<SWGradientButton>();
        m_button->setGeometryTwips(0, 0, 1800, 480);
        m_button->ReadProperties(PropertyBag({{"HoverTime", kHoverTime}}));
        m_button->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_button.get()));
        QObject::connect(m_button.get(), &SWGradientButton::MouseHover,
                         [this] { m_events.emplace_back("MouseHover"); });
        QObject::connect(m_button.get(), &SWGradientButton::MouseLeave,
                         [this] { m_events.emplace_back("MouseLeave"); });
    }

    void TearDown() override {
        m_button.reset();
        parkPointer();
    }

    void moveOnto(QPoint pos = QPoint(60, 16)) { QTest::mouseMove(m_button.get(), pos); }

    using Events = std::vector<std::string>;

    test::PinnedTwips m_pin;
    std::unique_ptr<SWGradientButton> m_button;
    Events m_events;
};

TEST_F(Button, TextGraphicAndUnknownBitmapNumbersDrawNothing) {
    const QImage before = m_button->grab().toImage();
    m_button->setButtonText(QStringLiteral("Print"));
    m_button->setButtonGraphic(QStringLiteral("printer.bmp"));
    EXPECT_EQ(m_button->grab().toImage(), before);
    for (const std::int16_t index : {99, -1}) {
        m_button->setImgIndex(index);
        EXPECT_EQ(m_button->grab().toImage(), before) << index;
    }
}

TEST_F(Button, ClickNeedsPressAndReleaseInside) {
    QSignalSpy click(m_button.get(), &SWGradientButton::Click);
    send(*m_button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(m_button->isDown());
    send(*m_button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(m_button->isDown());
    EXPECT_EQ(click.count(), 1);
    send(*m_button, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
    send(*m_button, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, QPointF(200, 16));
    EXPECT_EQ(click.count(), 1) << "released outside";
    send(*m_button, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(m_button->isDown()) << "only the left button presses";
}

TEST_F(Button, ApplyGradientPaintsUntilTheNextPaint) {
    SWGradientButton button;
    button.setGeometryTwips(0, 0, 1800, 480);
    button.grab();
    button.ApplyGradient(rgb(255, 255, 255), 0x8000000Fu);
    EXPECT_EQ(button.surfaceImage().pixelColor(60, 0), QColor(Qt::white));
    EXPECT_NE(button.grab().toImage().pixelColor(60, 0), QColor(Qt::white)) << "paint restores";
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

// ---- Gradient bands ----------------------------------------------------------------------------

const OleColor kBlack = rgb(0, 0, 0);
const OleColor kWhite = rgb(255, 255, 255);

struct LoopCase {
    std::string name;
    bool menuBar;
    double height;  // twips
    std::int32_t step;
    std::int32_t lastY;
    std::size_t count;
};

class GradientLoop : public ::testing::TestWithParam<LoopCase> {};

// The step is a hundredth of the height rounded half to even (at least 1); the button's bands run
// to the full height, the menu bar's stop two pixels (15 twips each) short of it.
TEST_P(GradientLoop, BandsRunFromTheTopToTheLoopEnd) {
    const LoopCase& c = GetParam();
    const auto bands = c.menuBar ? menuBarGradientBands(kBlack, kWhite, c.height, 15)
                                 : buttonGradientBands(kBlack, kWhite, c.height);
    ASSERT_TRUE(bands.has_value());
    EXPECT_EQ(bands->step, c.step);
    EXPECT_EQ(gradientStep(c.height), c.step);
    ASSERT_EQ(bands->bands.size(), c.count);
    if (c.count > 0) {
        EXPECT_EQ(bands->bands.front().y, 0);
        EXPECT_EQ(bands->bands.back().y, c.lastY);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Areas, GradientLoop,
    ::testing::Values(
        // 30 pixels at 15 twips per pixel: the bands stop at 420, where the edge lines begin.
        LoopCase{"MenuBar30px", true, 450, 4, 420, 106},
        LoopCase{"MenuBarUnder100Twips", true, 90, 1, 60, 61},
        LoopCase{"MenuBarShorterThanItsEdge", true, 15, 1, 0, 0},
        LoopCase{"Button32px", false, 480, 5, 480, 97},
        LoopCase{"HalfDownToEven", false, 250, 2, 250, 126},
        LoopCase{"HalfUpToEven", false, 350, 4, 348, 88},
        LoopCase{"BelowHalfATwip", false, 49, 1, 49, 50}, LoopCase{"ZeroHeight", false, 0, 1, 0, 1},
        LoopCase{"Tall", false, 30000, 300, 30000, 101}),
    sw::test::byName);

TEST(Gradient, LoopEndBeyondSixteenBitsPaintsNothing) {
    EXPECT_FALSE(buttonGradientBands(kBlack, kWhite, 32768).has_value());
    EXPECT_TRUE(buttonGradientBands(kBlack, kWhite, 32767).has_value());
}

// 1049 twips: step 10, 105 bands, band 100 at the end colour and four increments past it.
TEST(Gradient, ReachesTheEndAtBandHundredAndClampsPastIt) {
    const auto start = buttonGradientBands(rgb(221, 236, 254), rgb(129, 169, 226), 1000);
    EXPECT_EQ(start->bands.front().color, QColor(221, 236, 254));
    EXPECT_EQ(start->bands.at(100).color, QColor(129, 169, 226));
    const auto falling = buttonGradientBands(rgb(50, 255, 2), kBlack, 1049);
    ASSERT_EQ(falling->bands.size(), 105U);
    for (const GradientBand& band : falling->bands) {
        ASSERT_TRUE(band.color.isValid()) << band.y;
    }
    EXPECT_EQ(falling->bands.back().color, QColor(0, 0, 0)) << "negative components clamp to 0";
    const auto rising = buttonGradientBands(kBlack, kWhite, 1049);
    EXPECT_EQ(rising->bands.back().color, QColor(255, 255, 255)) << "RGB caps at 255";
}

TEST(Gradient, SystemColourStandsForItsPaletteColour) {
    const auto bands = buttonGradientBands(0x8000000Fu, kBlack, 1000);  // 15: the button face
    const QColor face = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    EXPECT_EQ(bands->bands.front().color.rgb(), face.rgb());
    EXPECT_EQ(oleColorToQColor(0x800000FEu), QColor(Qt::black)) << "unknown system colour";
}

// ---- Hover and leave ---------------------------------------------------------------------------

// One MouseHover per rest after movement, one MouseLeave per arming; leaving before the rest
// cancels the hover.
TEST_F(Button, HoverAfterEveryRestOneLeaveAndNoHoverAfterALeave) {
    moveOnto();
    sendLeave(*m_button);
    QTest::qWait(3 * kHoverTime);
    EXPECT_EQ(m_events, (Events{"MouseLeave"}));
    m_events.clear();
    QSignalSpy hover(m_button.get(), &SWGradientButton::MouseHover);
    moveOnto(QPoint(30, 10));
    EXPECT_TRUE(m_button->isHovering()) << "the hover look comes with the first move";
    EXPECT_TRUE(m_events.empty()) << "MouseHover waits for the rest";
    ASSERT_TRUE(hover.wait(2000));
    QTest::qWait(3 * kHoverTime);
    EXPECT_EQ(hover.count(), 1) << "one report per rest";
    moveOnto(QPoint(40, 12));
    ASSERT_TRUE(hover.wait(2000));
    sendLeave(*m_button);
    sendLeave(*m_button);
    EXPECT_EQ(m_events, (Events{"MouseHover", "MouseHover", "MouseLeave"}));
    EXPECT_FALSE(m_button->isHovering());
}

TEST(Tracking, ButtonWithoutStoredPropertiesKeepsTheHoverLook) {
    parkPointer();
    SWGradientButton button;
    button.setGeometryTwips(0, 0, 1800, 480);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    EXPECT_EQ(TrackingEvents::TrackedWindowCount(), 0);
    QTest::mouseMove(&button, QPoint(60, 16));
    sendLeave(button);
    EXPECT_TRUE(button.isHovering());
    parkPointer();
    SWGradientButton designer;
    designer.setAmbientUserMode(false);
    designer.ReadProperties(PropertyBag());
    EXPECT_EQ(TrackingEvents::TrackedWindowCount(), 0) << "designer mode does not track";
}

// Counts the events that reach the widget itself.
class CountingWidget : public QWidget {
public:
    int received = 0;

protected:
    bool event(QEvent* event) override {
        received += event->type() == QEvent::User ? 1 : 0;
        return QWidget::event(event);
    }
};

// The collection holds each live window once and exists only while one is tracked. Stopping gives
// the window its own pointer setting back; a record or window destroyed while tracked leaves the
// collection, and no stale filter swallows the window's events. Unknown windows are refused and
// their messages swallowed.
TEST(Tracking, CollectionHoldsEachLiveTrackedWindowOnce) {
    CountingWidget first;
    auto second = std::make_unique<QWidget>();
    first.setMouseTracking(false);
    auto a = std::make_unique<clsTrackInfo>();
    clsTrackInfo b;
    a->setHWnd(handles::windowHandle(&first));
    b.setHWnd(handles::windowHandle(second.get()));
    ASSERT_TRUE(TrackingEvents::StartTracking(a.get()));
    ASSERT_TRUE(TrackingEvents::StartTracking(&b));
    EXPECT_EQ(TrackingEvents::TrackedWindowCount(), 2);
    EXPECT_TRUE(first.hasMouseTracking());
    EXPECT_FALSE(TrackingEvents::StartTracking(a.get())) << "a window is tracked once";
    clsTrackInfo sameWindow;
    sameWindow.setHWnd(handles::windowHandle(&first));
    EXPECT_FALSE(TrackingEvents::StartTracking(&sameWindow));
    TrackingEvents::StopTracking(&sameWindow);  // not its record: nothing happens
    EXPECT_EQ(TrackingEvents::TrackedWindowCount(), 2);
    QEvent user(QEvent::User);
    QApplication::sendEvent(&first, &user);
    EXPECT_EQ(first.received, 1) << "other events go on to the window";
    TrackingEvents::StopTracking(a.get());
    TrackingEvents::StopTracking(a.get());
    EXPECT_EQ(TrackingEvents::TrackedWindowCount(), 1);
    EXPECT_FALSE(first.hasMouseTracking()) << "the window's own pointer setting comes back";
    ASSERT_TRUE(TrackingEvents::StartTracking(a.get()));
    a.reset();
    second.reset();
    EXPECT_EQ(TrackingEvents::TrackedWindowCount(), 0);
    QApplication::sendEvent(&first, &user);
    EXPECT_EQ(first.received, 2) << "no stale filter swallows the window's events";
    TrackingEvents::StopTracking(&b);

    EXPECT_FALSE(TrackingEvents::TrackingWndProc(0, TrackingEvents::kMouseMove));
    EXPECT_FALSE(TrackingEvents::TrackingWndProc(0x7FFFFFF0, TrackingEvents::kMouseHover));
    clsTrackInfo nowhere;
    nowhere.setHWnd(0x7FFFFFF0);
    EXPECT_FALSE(TrackingEvents::StartTracking(&nowhere));
    TrackingEvents::RequestTracking(&nowhere);
    TrackingEvents::StopTracking(&nowhere);
    EXPECT_FALSE(TrackingEvents::StartTracking(nullptr));
}

struct HoverTimeCase {
    std::string name;
    QVariant stored;
    int readBack;
    bool written;
};

class HoverTimePersistence : public ::testing::TestWithParam<HoverTimeCase> {};

TEST_P(HoverTimePersistence, RoundTripsThroughTheBag) {
    const HoverTimeCase& c = GetParam();
    SWGradientButton designer;
    designer.setAmbientUserMode(false);
    designer.ReadProperties(PropertyBag({{QStringLiteral("HoverTime"), c.stored}}));
    EXPECT_EQ(designer.HoverTime(), c.readBack);
    PropertyBag saved;
    designer.WriteProperties(saved);
    EXPECT_EQ(saved.contains(QStringLiteral("HoverTime")), c.written);
    SWGradientButton reloaded;
    reloaded.setAmbientUserMode(false);
    reloaded.ReadProperties(saved);
    EXPECT_EQ(reloaded.HoverTime(), c.readBack);
}

INSTANTIATE_TEST_SUITE_P(
    Values, HoverTimePersistence,
    ::testing::Values(HoverTimeCase{"DefaultIsNotWritten", 400, 400, false},
                      HoverTimeCase{"TextNumber", QStringLiteral("250"), 250, true},
                      HoverTimeCase{"GarbageReadsAsDefault", QStringLiteral("soon"), 400, false}),
    sw::test::byName);

}  // namespace
}  // namespace sw::widgets
