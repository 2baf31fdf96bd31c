#include "viewing/command_dispatcher.h"

#include <gtest/gtest.h>

#include "viewing/fakes.h"
#include "viewing/qt_printers.h"

namespace sw::viewing {
namespace {

using test::FakeImagingView;
using test::FakeShell;

struct Fixture {
    FakeImagingView view;
    FakeShell shell;
    PointerState pointer;
    ViewController controller{view, shell, pointer};
    CommandDispatcher dispatcher{controller};

    Fixture() {
        view.loadSheet(7200, 4800, 200);
        shell.horMax = 36;
        shell.vertMax = 24;
    }
};

const QStringList kPreamble = {QStringLiteral("stopMagnifier"), QStringLiteral("rubberBand 1"),
                               QStringLiteral("repaint")};

class EveryWord : public ::testing::TestWithParam<const char*> {};

// Whatever the word, the magnifier is stopped and its button restored before anything else.
TEST_P(EveryWord, RunsThePreambleFirst) {
    Fixture f;
    f.dispatcher.DoCommand(QStringLiteral("Magnify"));
    f.view.log.clear();
    f.view.band = false;
    f.dispatcher.DoCommand(QString::fromUtf8(GetParam()));
    ASSERT_GE(f.view.log.size(), 3);
    EXPECT_EQ(f.view.log.mid(0, 3), kPreamble);
    if (QString::fromUtf8(GetParam()) != QLatin1String("Magnify")) {
        EXPECT_FALSE(f.view.magnifier);
        EXPECT_FALSE(f.shell.magnifierButtonOn);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryWord,
                         ::testing::Values("In", "Out", "Normal", "Magnify", "Turn Off", "+90",
                                           "-90", "Previous", "Next", "Plans", "Saved", "Print",
                                           "Save", "next", "", "Unknown"),
                         [](const auto& info) {
                             std::string name;
                             for (const char* p = info.param; *p != '\0'; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return "Word_" + name + std::to_string(info.index);
                         });

TEST(DoCommand, InWhileTheMagnifierRunsEndsItAndZooms) {
    Fixture f;
    f.dispatcher.DoCommand(QStringLiteral("Magnify"));
    ASSERT_TRUE(f.view.magnifier);
    ASSERT_TRUE(f.shell.magnifierButtonOn);
    f.dispatcher.DoCommand(QStringLiteral("In"));
    EXPECT_FALSE(f.view.magnifier);
    EXPECT_FALSE(f.shell.magnifierButtonOn);
    EXPECT_EQ(f.view.mode, ImagingView::kZoom);
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
}

// The button's caption is the next command: the second click arrives as "Turn Off".
TEST(DoCommand, MagnifyThenTurnOffRestoresTheButton) {
    Fixture f;
    f.dispatcher.DoCommand(QStringLiteral("Magnify"));
    f.dispatcher.DoCommand(QStringLiteral("Turn Off"));
    EXPECT_FALSE(f.view.magnifier);
    EXPECT_TRUE(f.view.band);
    EXPECT_FALSE(f.shell.magnifierButtonOn);
}

TEST(DoCommand, MagnifyWithoutAnImageOnlyFlipsTheButton) {
    FakeImagingView view;
    FakeShell shell;
    PointerState pointer;
    ViewController controller(view, shell, pointer);
    CommandDispatcher dispatcher(controller);
    dispatcher.DoCommand(QStringLiteral("Magnify"));
    EXPECT_FALSE(view.magnifier);
    EXPECT_TRUE(shell.magnifierButtonOn) << "shows Turn Off even without an image";
    dispatcher.DoCommand(QStringLiteral("Turn Off"));
    EXPECT_FALSE(shell.magnifierButtonOn);
}

TEST(DoCommand, NextAndPreviousLoadTheNeighbourAndNameIt) {
    Fixture f;
    f.shell.labels = {QStringLiteral("c1~One"), QStringLiteral("c2~Two"), QString()};
    f.shell.files = {QStringLiteral("1.tif"), QStringLiteral("2.tif"), QString()};
    f.shell.panels[1] = QStringLiteral("Two");
    f.dispatcher.DoCommand(QStringLiteral("Next"));
    EXPECT_EQ(f.shell.loads, QStringList{QStringLiteral("1.tif")});
    EXPECT_EQ(f.shell.planName, QStringLiteral("One"));
    f.dispatcher.DoCommand(QStringLiteral("Previous"));
    EXPECT_EQ(f.shell.loads.last(), QStringLiteral("1.tif")) << "panel 1 still names Two";
}

TEST(DoCommand, NextForAPlanNotInTheListDoesNothing) {
    Fixture f;
    f.shell.labels = {QStringLiteral("c1~One"), QString()};
    f.shell.files = {QStringLiteral("1.tif"), QString()};
    f.shell.panels[1] = QStringLiteral("1.tif");  // still loading: panel 1 shows the address
    f.shell.planName = QStringLiteral("keep");
    f.dispatcher.DoCommand(QStringLiteral("Next"));
    EXPECT_TRUE(f.shell.loads.isEmpty());
    EXPECT_EQ(f.shell.planName, QStringLiteral("keep"));
}

TEST(HandOff, RunsAfterThePreambleAndOnlyForItsExactWord) {
    Fixture f;
    QStringList order;
    ASSERT_TRUE(f.dispatcher.registerHandOff(QStringLiteral("Download"), [&] {
        order << QStringLiteral("download after ") + f.view.log.last();
    }));
    f.dispatcher.DoCommand(QStringLiteral("download"));
    EXPECT_TRUE(order.isEmpty());
    f.dispatcher.DoCommand(QStringLiteral("Download"));
    EXPECT_EQ(order, QStringList{QStringLiteral("download after repaint")});
}

TEST(HandOff, BuiltInWordsCannotBeTakenOver) {
    Fixture f;
    for (const QString& word : {QStringLiteral("In"), QStringLiteral("Next")}) {
        EXPECT_FALSE(f.dispatcher.registerHandOff(word, [] { FAIL(); }));
    }
    f.dispatcher.DoCommand(QStringLiteral("In"));
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
}

TEST(HandOff, ReplacingAndRemovingAWord) {
    Fixture f;
    int first = 0;
    int second = 0;
    f.dispatcher.registerHandOff(QStringLiteral("Prefs"), [&] { ++first; });
    f.dispatcher.registerHandOff(QStringLiteral("Prefs"), [&] { ++second; });
    f.dispatcher.DoCommand(QStringLiteral("Prefs"));
    f.dispatcher.registerHandOff(QStringLiteral("Prefs"), {});
    f.dispatcher.DoCommand(QStringLiteral("Prefs"));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_FALSE(f.dispatcher.hasHandOff(QStringLiteral("Prefs")));
}

}  // namespace
}  // namespace sw::viewing
