#include "widgets/sw_gradient_button.h"

#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "widgets/gallery_command.h"
#include "widgets/gradient.h"
#include "widgets/handles.h"
#include "widgets/tracking_events.h"

namespace sw::widgets {
namespace {

using sw::test::PrintTo;
using test::near;

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

TEST_F(Button, ClickNeedsPressAndReleaseInside) {
    QSignalSpy click(m_button.get(), &SWGradientButton::Click);
    QTest::mousePress(m_button.get(), Qt::LeftButton, {}, QPoint(60, 16));
    EXPECT_TRUE(m_button->isDown());
    QTest::mouseRelease(m_button.get(), Qt::LeftButton, {}, QPoint(60, 16));
    EXPECT_FALSE(m_button->isDown());
    EXPECT_EQ(click.count(), 1);
    QTest::mousePress(m_button.get(), Qt::LeftButton, {}, QPoint(60, 16));
    QTest::mouseRelease(m_button.get(), Qt::LeftButton, {}, QPoint(200, 16));
    EXPECT_EQ(click.count(), 1) << "released outside";
    QTest::mousePress(m_button.get(), Qt::RightButton, {}, QPoint(60, 16));
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
        LoopCase{"HalfUpToEven", false, 350, 4, 348, 88}, LoopCase{"ZeroHeight", false, 0, 1, 0, 1},
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

// ---- Gallery
// -------------------------------------------------------------------------------------

// What `sheetwise widgets --out DIR` writes: the widgets as a 96 DPI host shows them, checked at
// the pixels that give each look away.
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
