#include "viewing/command_dispatcher.h"

#include <gtest/gtest.h>

#include "viewing/fakes.h"

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

    explicit Fixture(bool loaded = true) {
        if (loaded) {
            view.loadSheet(7200, 4800, 200);
        }
    }
};

// Whatever the word, the magnifier is stopped and its button restored before anything else.
TEST(DoCommand, EveryWordRunsThePreambleFirst) {
    const QStringList preamble = {"stopMagnifier", "rubberBand 1", "repaint"};
    for (const char* word : {"In", "Out", "Normal", "Magnify", "Turn Off", "+90", "-90", "Previous",
                             "Next", "Plans", "Saved", "Print", "Save", "next", "", "Unknown"}) {
        SCOPED_TRACE(word);
        Fixture f;
        f.dispatcher.DoCommand("Magnify");
        f.view.log.clear();
        f.view.band = false;
        f.dispatcher.DoCommand(word);
        EXPECT_EQ(f.view.log.mid(0, 3), preamble);
        if (QString(word) != "Magnify") {
            EXPECT_FALSE(f.view.magnifier);
            EXPECT_FALSE(f.shell.magnifierButtonOn);
        }
    }
}

TEST(DoCommand, MagnifyWithoutAnImageOnlyFlipsTheButton) {
    Fixture f(false);
    f.dispatcher.DoCommand("Magnify");
    EXPECT_FALSE(f.view.magnifier);
    EXPECT_TRUE(f.shell.magnifierButtonOn) << "shows Turn Off even without an image";
    f.dispatcher.DoCommand("Turn Off");
    EXPECT_FALSE(f.shell.magnifierButtonOn);
}

// The neighbour is found from panel 1, which names the shown plan once it has loaded.
TEST(DoCommand, NextAndPreviousLoadTheNeighbourOfPanelOne) {
    Fixture f;
    f.shell.labels = {"c1~One", "c2~Two", ""};
    f.shell.files = {"1.tif", "2.tif", ""};
    f.shell.panels[1] = "Two";
    f.dispatcher.DoCommand("Next");
    EXPECT_EQ(f.shell.loads, QStringList{"1.tif"});
    EXPECT_EQ(f.shell.planName, "One");
    f.dispatcher.DoCommand("Previous");
    EXPECT_EQ(f.shell.loads.last(), "1.tif") << "panel 1 still names Two";

    f.shell.panels[1] = "1.tif";  // still loading: panel 1 shows the address
    f.dispatcher.DoCommand("Next");
    EXPECT_EQ(f.shell.loads.size(), 2);
    EXPECT_EQ(f.shell.planName, "One");
}

// A hand-off runs after the preamble, for its exact word only; a later registration replaces it
// and an empty one removes it. Built-in words cannot be taken over.
TEST(HandOff, RunsForItsExactWordUntilReplacedOrRemoved) {
    Fixture f;
    QStringList calls;
    ASSERT_TRUE(f.dispatcher.registerHandOff("Prefs", [&] { calls << "first"; }));
    f.dispatcher.registerHandOff("Prefs", [&] { calls << "second after " + f.view.log.last(); });
    f.dispatcher.DoCommand("prefs");
    f.dispatcher.DoCommand("Prefs");
    f.dispatcher.registerHandOff("Prefs", {});
    f.dispatcher.DoCommand("Prefs");
    EXPECT_EQ(calls, QStringList{"second after repaint"});
    EXPECT_FALSE(f.dispatcher.hasHandOff("Prefs"));

    for (const char* word : {"In", "Next"}) {
        EXPECT_FALSE(f.dispatcher.registerHandOff(word, [] { FAIL(); }));
    }
    f.dispatcher.DoCommand("In");
    EXPECT_DOUBLE_EQ(f.view.percent, 110);
}

}  // namespace
}  // namespace sw::viewing
