// The imaging control as the viewer, print and batch code drive it: pointer notifications and
// their order, the image list, the display rectangle (and the arithmetic beneath it), loading and
// saving, annotations, drawing.
#include "imaging/ui/imaging_control.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "imaging/sheet_fixtures.h"
#include "imaging/view_geometry.h"

namespace sw::imaging {
namespace {

using Control = ImagingControl;
using sw::test::PrintTo;

// Grabs what the control shows.
QImage shown(Control& control) {
    return control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        control.resize(400, 300);
        control.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&control));
        control.setSheet(test::randomBilevel(800, 400, 1, 5));
    }

    // Records the order of the notifications in `events`.
    void record() {
        QObject::connect(&control, &Control::mouseDown, [this](int b, int, double, double) {
            events << QStringLiteral("down%1").arg(b);
        });
        QObject::connect(&control, &Control::mouseUp, [this](int b, int, double, double) {
            events << QStringLiteral("up%1").arg(b);
        });
        QObject::connect(&control, &Control::rubberBandCompleted, [this] { events << "band"; });
        QObject::connect(&control, &Control::dblClick, [this] { events << "dbl"; });
    }

    Control control;
    QStringList events;
};

struct GestureCase {
    const char* name;
    QPoint press;
    QPoint release;
    QStringList expected;
};

class Gestures : public ControlTest, public ::testing::WithParamInterface<GestureCase> {};

// The viewer's rules depend on this order: a completed band comes before the release, and only
// for a drag beyond the drag distance.
TEST_P(Gestures, LeftDragNotificationsComeInTheAgreedOrder) {
    record();
    const GestureCase& c = GetParam();
    QTest::mousePress(&control, Qt::LeftButton, {}, c.press);
    QTest::mouseMove(&control, c.release);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, c.release);
    EXPECT_EQ(events, c.expected);
    if (c.expected.contains("band")) {
        EXPECT_EQ(control.rubberBandRect(), QRectF(c.press, c.release).normalized());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Control, Gestures,
    ::testing::Values(GestureCase{"ClickWithoutMovement", {100, 100}, {100, 100}, {"down1", "up1"}},
                      GestureCase{"ShakyClickIsNoBand", {100, 100}, {101, 101}, {"down1", "up1"}},
                      GestureCase{"FlatDragIsNoBand", {100, 100}, {180, 100}, {"down1", "up1"}},
                      GestureCase{
                          "DragUpAndLeft", {200, 150}, {120, 90}, {"down1", "band", "up1"}}),
    sw::test::byName);

// The lens shows the sheet around the pointer at 400 % of the view, centred on the pointer; while
// it is on it owns the pointer: a drag draws no band.
TEST_F(ControlTest, MagnifierEnlargesTheSheetAroundThePointerAndOwnsThePointer) {
    control.setSheet(test::inkSheet(400, 300, QRect(200, 150, 4, 4)));
    control.setPaintSizeMode(Control::kFit);  // one sheet pixel per window pixel
    ASSERT_EQ(control.displayRect(), QRectF(0, 0, 400, 300));
    record();
    control.setRubberBand(true);
    control.startMagnifier(Control::MagnifierOptions{});
    QTest::mouseMove(&control, QPoint(200, 150));
    const QImage lens = shown(control);
    EXPECT_EQ(lens.pixel(212, 162), qRgb(0, 0, 0));  // the 4 x 4 square grown to 16 x 16
    EXPECT_EQ(lens.pixel(217, 167), qRgb(255, 255, 255));
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(&control, QPoint(150, 150));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(150, 150));
    EXPECT_EQ(events, (QStringList{"down1", "up1"}));
    control.stopMagnifier();
    EXPECT_FALSE(control.toolActive());
    const QImage plain = shown(control);
    EXPECT_EQ(plain.pixel(212, 162), qRgb(255, 255, 255));
}

struct ScrollCase {
    const char* name;
    int mode;
    int key;  // 0: the wheel turned one notch towards the user
    QPointF move;
};

class Scrolling : public ControlTest, public ::testing::WithParamInterface<ScrollCase> {};

// The control's own scrolling moves a zoomed sheet and says so (the rulers follow
// viewScrolled()); a fitted sheet stays put.
TEST_P(Scrolling, KeysAndTheWheelMoveAZoomedSheetAndReportIt) {
    const ScrollCase& c = GetParam();
    control.setPaintSizeMode(c.mode);
    const QRectF before = control.displayRect();
    QSignalSpy scrolled(&control, &Control::viewScrolled);
    if (c.key) {
        QTest::keyClick(&control, static_cast<Qt::Key>(c.key));
    } else {
        QWheelEvent wheel(QPointF(100, 100), control.mapToGlobal(QPointF(100, 100)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&control, &wheel);
    }
    EXPECT_EQ(scrolled.size(), c.move.isNull() ? 0 : 1);
    EXPECT_EQ(control.displayRect(), before.translated(c.move));
}

INSTANTIATE_TEST_SUITE_P(
    Input, Scrolling,
    ::testing::Values(ScrollCase{"Left", Control::kZoom, Qt::Key_Left, {40, 0}},
                      ScrollCase{"Wheel", Control::kZoom, 0, {0, -30}},
                      ScrollCase{"WheelWhenFitted", Control::kFit, 0, {}}),
    sw::test::byName);

TEST_F(ControlTest, ButtonCodesAndModifiersOfThePointerNotifications) {
    QSignalSpy down(&control, &Control::mouseDown);
    QTest::mousePress(&control, Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier, {7, 9});
    QTest::mouseRelease(&control, Qt::RightButton, {}, QPoint(7, 9));
    QTest::mousePress(&control, Qt::MiddleButton, Qt::AltModifier, QPoint(3, 4));
    QTest::mouseRelease(&control, Qt::MiddleButton, {}, QPoint(3, 4));
    ASSERT_EQ(down.size(), 2);
    EXPECT_EQ(down[0], (QVariantList{2, 3, 7.0, 9.0}));
    EXPECT_EQ(down[1], (QVariantList{4, 4, 3.0, 4.0}));
}

// Fit centres the whole sheet across or down the window and follows resizing, reporting the
// changed view in fit mode only; with nothing to fit or nowhere to fit it, there is no rectangle.
TEST_F(ControlTest, FitCentresTheSheetAndFollowsResizing) {
    control.setPaintSizeMode(Control::kFit);
    EXPECT_EQ(control.displayRect(), QRectF(0, 50, 400, 200));
    QSignalSpy changed(&control, &Control::viewChanged);
    control.resize(200, 300);
    EXPECT_EQ(control.displayRect(), QRectF(0, 100, 200, 100));
    control.resize(800, 300);
    EXPECT_EQ(control.displayRect(), QRectF(100, 0, 600, 300));
    EXPECT_EQ(changed.size(), 2);
    control.setPaintSizeMode(Control::kZoom);
    control.resize(300, 300);
    EXPECT_EQ(changed.size(), 2);
    EXPECT_EQ(view::fittedRect({100, 50}, {0, 0}), QRectF());
}

// Zoom steps and quarter turns in zoom mode keep the sheet point at the window centre there: a
// zoom leaves it where it is, a turn takes it along with the sheet (clockwise: (u, v) becomes
// (1 - v, u) in fractions of the sheet), and opposite turns bring the view back.
TEST_F(ControlTest, ZoomAndQuarterTurnsKeepTheSheetPointAtTheWindowCentre) {
    control.setPaintSizeMode(Control::kZoom);
    control.setDisplayRect(control.displayRect().translated(-130, 40));
    const auto underCentre = [this] {
        const QRectF d = control.displayRect();
        return QPointF((200 - d.left()) / d.width(), (150 - d.top()) / d.height());
    };
    const QPointF at = underCentre();
    for (const double percent : {110.0, 35.0, 800.0}) {
        control.setZoom(percent);
        EXPECT_NEAR(control.displayRect().width(), 8 * percent, 1e-9);
        EXPECT_NEAR((underCentre() - at).manhattanLength(), 0, 1e-9) << percent;
    }
    const QRectF before = control.displayRect();
    control.rotate(9000, 1, 0);
    EXPECT_EQ(QSize(control.imageWidth(), control.imageHeight()), QSize(400, 800));
    EXPECT_EQ(control.displayRect().size(), before.size().transposed());
    EXPECT_NEAR((underCentre() - QPointF(1 - at.y(), at.x())).manhattanLength(), 0, 1e-9);
    control.rotate(18000, 1, 0);
    control.rotate(-9000, 1, 0);
    EXPECT_NEAR((underCentre() - QPointF(1 - at.x(), 1 - at.y())).manhattanLength(), 0, 1e-9);
    control.rotate(18000, 1, 0);
    EXPECT_EQ(control.displayRect(), before);
}

// The print hand-off tests fill the image list; an index past its end is ignored.
TEST_F(ControlTest, LoadedImageValueFollowsTheList) {
    control.insertImage(4, test::randomBilevel(30, 20, 3));
    EXPECT_EQ(control.imageCount(), 1);
    EXPECT_GE(control.loadedImage(), 1);
    control.clearImage();
    EXPECT_EQ(control.loadedImage(), 0);
    EXPECT_EQ(control.imageWidth(), 0);
    QByteArray buffer("old");
    EXPECT_NE(control.saveToMemory(buffer, 29, 1, -1), 0);
    EXPECT_TRUE(buffer.isEmpty());
}

// Loads from a file or from memory replace the sheet and say nothing; a load from an address
// signals its progress and end (imageLoaded() only for these: the batch print would otherwise run
// twice). A failed load of any kind names the file and keeps the shown sheet.
TEST_F(ControlTest, LoadsReplaceTheSheetAndOnlyAddressLoadsSignalTheirEnd) {
    QSignalSpy loaded(&control, &Control::imageLoaded);
    QSignalSpy failed(&control, &Control::loadFailed);
    QSignalSpy progress(&control, &Control::loadProgress);
    control.loadFile(test::corpus("drawings_bilevel/G4.TIF"));
    QByteArray buffer;
    ASSERT_EQ(control.saveToMemory(buffer, 29, 1, -1), 0);
    Control other;
    other.loadFromMemory(buffer);
    EXPECT_TRUE(test::samePixels(other.sheet(), control.sheet()));
    EXPECT_TRUE(test::errorOf([this] {
                    control.loadFile(test::corpus("malformed/fuzz-inf_loop-000028.tif"));
                }).contains(QLatin1String("fuzz-inf_loop-000028.tif")));
    EXPECT_EQ(control.imageWidth(), 2464);
    EXPECT_EQ(loaded.size(), 0);
    control.setLoadSwitch(true);
    control.setLoadAddress(test::corpus("drawings_bilevel/CCITT_1.TIF"));
    EXPECT_TRUE(control.isLoading());
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_EQ(control.imageWidth(), 1728);
    EXPECT_EQ(control.imageCount(), 1);
    EXPECT_EQ(progress.last().first().toInt(), 100);
    control.setLoadAddress(QStringLiteral("/no/such/plan.tif"));
    ASSERT_TRUE(failed.wait(5000));
    EXPECT_TRUE(failed.first().first().toString().contains(QLatin1String("/no/such/plan.tif")));
    EXPECT_EQ(control.imageWidth(), 1728);
    EXPECT_EQ(loaded.size(), 1);
}

TEST_F(ControlTest, PrintInBlueMakesInkEntryZeroAndPaperEntryOne) {
    control.setUserPalette(0, qRgb(0, 0, 255));
    control.setUserPalette(1, qRgb(255, 255, 255));
    control.reduceColours(1, 16, 0, 2);
    EXPECT_EQ(control.sheet().bitsPerPixel(), 1);
    EXPECT_EQ(control.sheet().inkColour(), qRgb(0, 0, 255));
    EXPECT_EQ(control.sheet().paperColour(), qRgb(255, 255, 255));
}

TEST_F(ControlTest, DrawsTheSheetOnNeutralGreyAndAnnotationsOverIt) {
    control.setSheet(test::inkSheet(800, 400));
    control.setPaintSizeMode(Control::kFit);  // sheet at (0, 50) - (400, 250)
    using Kind = Control::Annotation::Kind;
    control.addAnnotation({.kind = Kind::Rectangle,
                           .from = {},
                           .to = {100, 50},
                           .lineWidth = 0,
                           .fillColour = {100, 100, 100}});
    control.addAnnotation(
        {.from = {200, 0}, .to = {200, 200}, .lineWidth = 2, .lineStyle = 2, .fillColour = {}});
    const QImage image = shown(control);
    EXPECT_EQ(image.pixel(200, 20), qRgb(128, 128, 128));   // above the sheet
    EXPECT_EQ(image.pixel(300, 200), qRgb(255, 255, 255));  // paper
    EXPECT_EQ(image.pixel(50, 75), qRgb(100, 100, 100));    // the strip, display-relative
    int dark = 0;
    for (int y = 60; y < 240; ++y) {
        dark += qGray(image.pixel(200, y)) < 50 || qGray(image.pixel(201, y)) < 50;
    }
    EXPECT_GT(dark, 40);   // dotted: many dots ...
    EXPECT_LT(dark, 150);  // ... with gaps
    control.removeAnnotations();
    EXPECT_EQ(shown(control).pixel(50, 75), qRgb(255, 255, 255));
}

TEST_F(ControlTest, AutomaticRepaintOffFreezesThePicture) {
    control.setPaintSizeMode(Control::kFit);
    const QImage before = shown(control);
    control.setAutoRepaint(false);
    control.setPaintSizeMode(Control::kZoom);
    control.setZoom(400);
    EXPECT_EQ(shown(control), before);
    control.repaintNow();
    EXPECT_NE(shown(control), before);
}

}  // namespace
}  // namespace sw::imaging
