// The whole viewer from the outside: `sheetwise --headless --script` runs a plan-room session
// against a real plan server (the planserver program on loopback) and answers each call on one
// JSON line; invocations it cannot run are refused.
#include "host_test_support.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "imaging/tiff_reader.h"

namespace sw::host {
namespace {

using sw::test::PrintTo;

class Headless : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QProcessEnvironment m_env = test::isolatedEnvironment(m_dir.path());
};

struct BadInvocation {
    const char* name;
    QStringList args;
    QByteArray input;
};

class HeadlessRefuses : public Headless, public ::testing::WithParamInterface<BadInvocation> {};

TEST_P(HeadlessRefuses, WithExitCodeTwoAndAMessage) {
    const test::ProcessRun run = test::runSheetwise(m_env, GetParam().args, GetParam().input);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.replies.isEmpty());
    EXPECT_TRUE(run.err.contains("sheetwise: ")) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeadlessRefuses,
    ::testing::Values(BadInvocation{"NotJson", {"--headless", "--script", "-"}, "InitVars("},
                      BadInvocation{"NoCalls", {"--headless", "--script", "-"}, "{}"},
                      BadInvocation{"MissingFile", {"--headless", "--script", "/no/such.json"}, {}},
                      BadInvocation{"NoScript", {"--headless"}, {}},
                      BadInvocation{"UnknownOption", {"--frobnicate"}, {}}),
    sw::test::byName);

struct QuietCase {
    const char* name;
    QStringList args;
    QByteArray input{};
};

class AnswersQuietly : public Headless, public ::testing::WithParamInterface<QuietCase> {};

// Every command answers --help, and a run that sets nothing up (no XDG_RUNTIME_DIR) prints
// nothing on standard error.
TEST_P(AnswersQuietly, OnStandardOutputAlone) {
    m_env.remove("XDG_RUNTIME_DIR");
    m_env.insert("TMPDIR", m_dir.path());
    const test::ProcessRun run = test::runSheetwise(m_env, GetParam().args, GetParam().input);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(run.out.isEmpty());
    EXPECT_EQ(run.err.toStdString(), "");
}

INSTANTIATE_TEST_SUITE_P(Table, AnswersQuietly,
                         ::testing::Values(QuietCase{"Help", {"--help"}},
                                           QuietCase{"RenderHelp", {"render", "--help"}},
                                           QuietCase{"InfoHelp", {"info", "--help"}},
                                           QuietCase{"PrintHelp", {"print", "--help"}},
                                           QuietCase{"MeasureHelp", {"measure", "--help"}},
                                           QuietCase{"CompareHelp", {"compare", "--help"}},
                                           QuietCase{"WidgetsHelp", {"widgets", "--help"}},
                                           QuietCase{"Headless",
                                                     {"--headless", "--script", "-"},
                                                     R"({"calls":[["Dump"]]})"}),
                         sw::test::byName);

class ViewerEndToEnd : public Headless {
protected:
    void SetUp() override {
        const QString plans = m_dir.filePath("root/2004/0815/plans");
        ASSERT_TRUE(QDir().mkpath(plans));
        test::writeTestSheet(plans + "/A-101.tif", 36, 24);
        test::writeTestSheet(plans + "/A-102.tif", 24, 18);
        test::writeTestSheet(plans + "/S-201.tif", 42, 30);
        ASSERT_TRUE(test::writeFile(
            m_dir.filePath("config/Sheetwise.ini"),
            "[Prefs]\r\nPlan Directory=" + m_dir.filePath("plans").toUtf8() + "\r\n"));
        m_server.start(sw::test::binPath("planserver"), {"--root", m_dir.filePath("root"), "--port",
                                                         "0", "--delay-ms", "*/S-201.tif=1500"});
        ASSERT_TRUE(m_server.waitForStarted(10000) && m_server.waitForReadyRead(10000));
        m_base = QRegularExpression("listening on (http://\\S+/)")
                     .match(m_server.readLine())
                     .captured(1);
        ASSERT_FALSE(m_base.isEmpty());
    }

    void TearDown() override {
        m_server.kill();
        m_server.waitForFinished(5000);
    }

    // Runs the calls headless from a script file and returns one reply per call.
    QList<QJsonObject> run(const QJsonArray& calls) {
        const QString script = m_dir.filePath("calls.json");
        EXPECT_TRUE(test::writeFile(script, QJsonDocument(QJsonObject{{"calls", calls}}).toJson()));
        const test::ProcessRun run = test::runSheetwise(m_env, {"--headless", "--script", script});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.allLinesJson);
        EXPECT_EQ(run.replies.size(), calls.size());
        return run.replies;
    }

    QProcess m_server;
    QString m_base;  // the plan server's address (S-201.tif answered after 1.5 s)
};

QString panel(const QJsonObject& state, int number) {
    return state.value("status").toArray().at(number - 1).toString();
}
int rulerMax(const QJsonObject& state, const char* ruler) {
    return state.value(ruler).toObject().value("Max").toInt();
}
QJsonArray displayRect(const QJsonObject& state) {
    return state.value("imaging").toObject().value("displayRect").toArray();
}
int paintSizeMode(const QJsonObject& state) {
    return state.value("imaging").toObject().value("paintSizeMode").toInt();
}
double zoom(const QJsonObject& state) {
    return state.value("imaging").toObject().value("zoom").toDouble();
}

TEST_F(ViewerEndToEnd, ASessionFromLoadToSaveGivesThePrescribedStates) {
    const QJsonArray wait{"WaitLoaded", 60000};
    const QJsonArray dump{"Dump"};
    const QList<QJsonObject> replies = run({
        QJsonArray{"InitVars", m_base, "2004~0815", "Main Street School", 0, "north"},
        QJsonArray{
            "MakePlanList",
            "hdr~A,A-101 Site Plan,A-101.tif~A,A-102 Roof,A-102.tif~S,S-201 Frame,S-201.tif"},
        QJsonArray{"SetFirstImage", "A-101.tif", "A-101 Site Plan"},
        wait,
        dump,
        QJsonArray{"DoCommand", "In"},
        dump,
        QJsonArray{"Mouse", "down", 1, 300, 200},  // a click whose hand shook by a pixel
        QJsonArray{"Mouse", "move", 1, 301, 201},
        QJsonArray{"Mouse", "up", 1, 301, 201},
        dump,
        QJsonArray{"Mouse", "down", 1, 300, 200},  // a drag back to a 2 x 2 pixel band
        QJsonArray{"Mouse", "move", 1, 400, 300},
        QJsonArray{"Mouse", "move", 1, 302, 202},
        QJsonArray{"Mouse", "up", 1, 302, 202},
        dump,
        QJsonArray{"DoCommand", "Magnify"},  // the lens does not take over a right drag
        QJsonArray{"Mouse", "down", 2, 500, 400},
        QJsonArray{"Mouse", "move", 2, 500, 400},
        QJsonArray{"Mouse", "move", 2, 400, 350},
        QJsonArray{"Mouse", "up", 2, 400, 350},
        QJsonArray{"Mouse", "move", 0, 300, 300},
        dump,
        QJsonArray{"DoCommand", "+90"},
        dump,
        QJsonArray{"DoCommand", "Next"},
        wait,
        dump,
        QJsonArray{"DoCommand", "Previous"},
        wait,
        QJsonArray{"DoCommand", "Previous"},
        wait,
        dump,
        QJsonArray{"Key", "ctrl+s"},
        QJsonArray{"DoCommand", "Save"},
        dump,
    });
    QList<QJsonObject> s;  // the states of the Dump replies, in order
    for (const QJsonObject& reply : replies) {
        EXPECT_EQ(reply.value("ok").toBool(), reply.value("call") != "GetPart")
            << QJsonDocument(reply).toJson(QJsonDocument::Compact).toStdString();
        if (reply.value("call").toString() == "Dump") {
            s << reply.value("state").toObject();
        }
    }
    ASSERT_EQ(s.size(), 9);

    // Loaded: fitted, named, sized, counted, rulers in inches; the zoom is the fitted scale.
    EXPECT_EQ(paintSizeMode(s[0]), 3);
    EXPECT_NEAR(zoom(s[0]), displayRect(s[0])[2].toDouble() / 7200 * 100, 1e-6);
    EXPECT_EQ(QStringList({panel(s[0], 1), panel(s[0], 2), panel(s[0], 3)}),
              QStringList({"A-101 Site Plan", "36.0 x 24.0", "Plan 1 of 3"}));
    EXPECT_EQ(s[0].value("progress").toInt(), 0);
    EXPECT_EQ(s[0].value("iniPath").toString(), m_dir.filePath("config/Sheetwise.ini"));
    EXPECT_EQ(rulerMax(s[0], "HorRuler"), 36);
    EXPECT_EQ(rulerMax(s[0], "VertRuler"), 24);
    EXPECT_EQ(s[0].value("title").toString(),
              QString::fromUtf8("Sheetwise — Main Street School — A-101 Site Plan"));

    // "In" from fit steps on from the fitted scale; so does a click that shook by a pixel; a
    // drag to a tiny band zooms no closer than 1600 %.
    EXPECT_EQ(paintSizeMode(s[1]), 4);
    EXPECT_NEAR(zoom(s[1]), zoom(s[0]) + 10, 1e-4);  // steps in single precision
    EXPECT_NEAR(zoom(s[2]), zoom(s[1]) + 10, 1e-4);
    EXPECT_DOUBLE_EQ(zoom(s[3]), 1600);

    // With the lens on, a right drag of (-100, -50) pixels moves the sheet and the horizontal
    // ruler with it, and its release ends the pan.
    EXPECT_NEAR(displayRect(s[4])[0].toDouble(), displayRect(s[3])[0].toDouble() - 100, 0.5);
    EXPECT_NEAR(displayRect(s[4])[1].toDouble(), displayRect(s[3])[1].toDouble() - 50, 0.5);
    EXPECT_NEAR(s[4].value("HorRuler").toObject().value("Left").toDouble(),
                s[3].value("HorRuler").toObject().value("Left").toDouble() - 1500, 15);
    EXPECT_FALSE(s[4].value("pointer").toObject().value("panning").toBool());

    // A quarter turn exchanges the ruler maxima.
    EXPECT_EQ(rulerMax(s[5], "HorRuler"), 24);
    EXPECT_EQ(rulerMax(s[5], "VertRuler"), 36);

    // "Next" loads the next sheet, fitted again with its own size and maxima.
    EXPECT_EQ(s[6].value("currentPlanName").toString(), "A-102 Roof");
    EXPECT_EQ(QStringList({panel(s[6], 2), panel(s[6], 3)}),
              QStringList({"24.0 x 18.0", "Plan 2 of 3"}));
    EXPECT_EQ(paintSizeMode(s[6]), 3);
    EXPECT_EQ(rulerMax(s[6], "HorRuler"), 24);
    EXPECT_EQ(rulerMax(s[6], "VertRuler"), 18);

    // Two times "Previous" from the second sheet wraps around to the last.
    EXPECT_EQ(QStringList({panel(s[7], 1), panel(s[7], 3)}),
              QStringList({"S-201 Frame", "Plan 3 of 3"}));
    EXPECT_EQ(rulerMax(s[7], "HorRuler"), 42);

    // Ctrl+S and "Save" store the sheet under its name; desc.txt is written once.
    const QString folder = m_dir.filePath("plans/north/2004-0815/");
    EXPECT_TRUE(QFile::exists(folder + "S-201 Frame.tif"));
    EXPECT_EQ(test::readFile(folder + "desc.txt"), "Main Street School\r\n");
    EXPECT_TRUE(s[8].value("messages").toArray().isEmpty());
}

// "Print" with "Print In Blue" on while zoomed in; the user unticks "Print Selected Area Only"
// and prints the whole sheet: it comes out in blue too.
TEST_F(ViewerEndToEnd, BluePrintOfTheWholeSheetAfterZoomingIsBlue) {
    ASSERT_TRUE(test::writeFile(m_dir.filePath("config/Sheetwise.ini"),
                                "[Prefs]\r\nPlan Directory=" + m_dir.filePath("plans").toUtf8() +
                                    "\r\nPrint In Blue=1\r\n"));
    const QString out = m_dir.filePath("printed");
    const QList<QJsonObject> replies = run({
        QJsonArray{"InitVars", m_base, "2004-0815", "P", 0, "north"},
        QJsonArray{"SetFirstImage", "A-102.tif", "A-102"},
        QJsonArray{"WaitLoaded", 60000},
        QJsonArray{"DoCommand", "In"},
        QJsonArray{"PrintTo", out},
        QJsonArray{"DoCommand", "Print"},
        QJsonArray{"Set", "DlgPrint/SelectionOnly", false},
        QJsonArray{"Set", "DlgPrint/Combo1", "Fit To Page"},
        QJsonArray{"Click", "DlgPrint/Command1"},
    });
    for (const QJsonObject& reply : replies) {
        EXPECT_TRUE(reply.value("ok").toBool())
            << QJsonDocument(reply).toJson(QJsonDocument::Compact).toStdString();
    }
    const test::ProcessRun images =
        test::runProgram(m_env, "pdfimages", {"-list", out + "/001.pdf"});
    const QList<QByteArray> rows = images.out.trimmed().split('\n').mid(2);
    ASSERT_EQ(rows.size(), 1) << images.out.toStdString();
    const QList<QByteArray> fields = rows[0].simplified().split(' ');
    EXPECT_EQ(fields.value(3), "4800");  // the whole 24 in sheet at 200 dpi
    EXPECT_EQ(fields.value(2), "stencil") << "whole sheet printed in black";  // of blue ink
    EXPECT_EQ(fields.value(7), "1");
}

// "Print" lowers a 400 dpi sheet on screen to 200 dpi; "Save" still stores it as it was loaded.
TEST_F(ViewerEndToEnd, SaveAfterPrintKeepsTheLoadedResolution) {
    test::writeTestSheet(m_dir.filePath("root/2004/0815/plans/F-400.tif"), 10, 8, 400);
    const QList<QJsonObject> replies = run({
        QJsonArray{"InitVars", m_base, "2004-0815", "P", 0, "north"},
        QJsonArray{"SetFirstImage", "F-400.tif", "F-400"},
        QJsonArray{"WaitLoaded", 60000},
        QJsonArray{"DoCommand", "Print"},
        QJsonArray{"DoCommand", "+90"},
        QJsonArray{"DoCommand", "Save"},
        QJsonArray{"Dump"},
    });
    ASSERT_EQ(replies.size(), 7);
    const QJsonObject shown = replies[6].value("state").toObject().value("imaging").toObject();
    EXPECT_EQ(shown.value("width").toInt(), 1600);  // turned, at 200 dpi
    const imaging::TiffFacts saved = imaging::readTiffFacts(
        test::readFile(m_dir.filePath("plans/north/2004-0815/F-400.tif")));
    EXPECT_EQ(QSize(saved.width, saved.height), QSize(3200, 4000));
    EXPECT_EQ(saved.dpiX, 400);
}

// A sheet that failed to load, or is still loading, is never saved under its name: "Save" says
// why and writes nothing (it used to store the sheet shown before under the new name); "Print"
// waits for the load too.
TEST_F(ViewerEndToEnd, SaveStoresOnlyASheetWhoseLoadFinishedUnderItsName) {
    const QList<QJsonObject> replies = run({
        QJsonArray{"InitVars", m_base, "2004-0815", "P", 0, "north"},
        QJsonArray{"SetFirstImage", "A-101.tif", "A/B: Details?"},
        QJsonArray{"WaitLoaded", 60000},
        QJsonArray{"SetFirstImage", "A-104.tif", "Missing Sheet"},
        QJsonArray{"WaitLoaded", 60000},
        QJsonArray{"DoCommand", "Save"},
        QJsonArray{"SetFirstImage", "S-201.tif", "S-201 Frame"},
        QJsonArray{"DoCommand", "Save"},
        QJsonArray{"DoCommand", "Print"},
        QJsonArray{"Dump"},
    });
    ASSERT_EQ(replies.size(), 10);
    const QString reason = replies[4].value("error").toString();
    EXPECT_EQ(QDir(m_dir.filePath("plans")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_EQ(
        replies[9].value("state").toObject().value("messages").toVariant().toStringList(),
        QStringList({"\"Missing Sheet\" could not be loaded: " + reason + " Nothing was saved.",
                     "\"S-201 Frame\" has not finished loading. Nothing was saved.",
                     "\"S-201 Frame\" has not finished loading. Print it once it has loaded."}));
}

// After a failed load the viewer is on the failed sheet: it is named, counted and marked, its
// reason shows whole, the earlier sheet is gone from the screen, and "Next" goes on from it.
TEST_F(ViewerEndToEnd, AFailedSheetIsTheOneTheViewerIsOn) {
    const QList<QJsonObject> replies = run({
        QJsonArray{"InitVars", m_base, "2004-0815", "P", 0, "north"},
        QJsonArray{"MakePlanList",
                   "hdr~A,A-101 Site,A-101.tif~A,Missing Sheet,A-104.tif~S,S-201 Frame,S-201.tif"},
        QJsonArray{"SetFirstImage", "A-101.tif", "A-101 Site"},
        QJsonArray{"WaitLoaded", 60000},
        QJsonArray{"DoCommand", "Next"},
        QJsonArray{"WaitLoaded", 60000},
        QJsonArray{"Dump"},
        QJsonArray{"Get", "FastViewer/panel2"},
        QJsonArray{"DoCommand", "Next"},
        QJsonArray{"WaitLoaded", 60000},
    });
    ASSERT_EQ(replies.size(), 10);
    const QString reason = replies[5].value("error").toString();
    const QJsonObject state = replies[6].value("state").toObject();
    EXPECT_EQ(QStringList({panel(state, 1), panel(state, 2), panel(state, 3)}),
              QStringList({"Missing Sheet", reason, "Plan 2 of 3"}));
    EXPECT_TRUE(state.value("title").toString().endsWith("Missing Sheet (not loaded)"));
    EXPECT_EQ(state.value("imaging").toObject().value("loaded").toInt(), 0);
    EXPECT_EQ(replies[7].value("result").toObject().value("text").toString(), reason);
    EXPECT_TRUE(replies[9].value("ok").toBool()) << "S-201 loaded";
}

}  // namespace
}  // namespace sw::host
