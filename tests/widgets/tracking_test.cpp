#include "widget_test_support.h"
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QCursor>
#include <QSignalSpy>
#include <QTest>

#include "widgets/handles.h"
#include "widgets/sw_gradient_button.h"
#include "widgets/tracking_events.h"

namespace sw::widgets {
namespace {

// Far from every test window, so that no window starts out under the pointer.
void parkPointer() {
    QCursor::setPos(QPoint(5000, 5000));
    QApplication::processEvents();
}

void sendLeave(QWidget& widget) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

// A loaded button in a running host, shown on the offscreen screen, with a short hover time so
// that the event loop does not wait long.
class TrackedButton : public ::testing::Test {
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

// One MouseHover per rest after movement, one MouseLeave per arming; leaving before the rest
// cancels the hover.
TEST_F(TrackedButton, HoverAfterEveryRestOneLeaveAndNoHoverAfterALeave) {
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

using sw::test::PrintTo;

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
