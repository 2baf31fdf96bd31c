// The whole viewer from the outside: `sheetwise --headless --script` runs a plan-room session
// against a real plan server (the planserver program on loopback) and answers each call on one
// JSON line; invocations it cannot run are refused.
#include "host/host_test_support.h"
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
using test::text;

class Headless : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QProcessEnvironment m_env = test::isolatedEnvironment(m_dir.path());
};

struct Invocation {
    const char* name;
    QStringList args;
    QByteArray input;
    int exitCode;
};

class Invocations : public Headless, public ::testing::WithParamInterface<Invocation> {};

// Every command answers --help, and a run that sets nothing up (no XDG_RUNTIME_DIR) prints
// nothing on standard error; what cannot run is refused with exit code 2 and a message alone.
TEST_P(Invocations, AnswerQuietlyOrAreRefusedWithAMessage) {
    m_env.remove("XDG_RUNTIME_DIR");
    m_env.insert("TMPDIR", m_dir.path());
    const test::ProcessRun run = test::runSheetwise(m_env, GetParam().args, GetParam().input);
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_EQ(run.out.isEmpty(), run.exitCode != 0);
    EXPECT_EQ(run.err.startsWith("sheetwise: "), run.exitCode != 0) << run.err.toStdString();
    EXPECT_EQ(run.err.isEmpty(), run.exitCode == 0);
}

const QStringList kFromInput{"--headless", "--script", "-"};

INSTANTIATE_TEST_SUITE_P(
    Table, Invocations,
    ::testing::Values(Invocation{"Help", {"--help"}, {}, 0},
                      Invocation{"WidgetsHelp", {"widgets", "--help"}, {}, 0},
                      Invocation{"Headless", kFromInput, R"({"calls":[["Dump"]]})", 0},
                      Invocation{"NotJson", kFromInput, "InitVars(", 2},
                      Invocation{"NoCalls", kFromInput, "{}", 2},
                      Invocation{"MissingFile", {"--headless", "--script", "/no/such.json"}, {}, 2},
                      Invocation{"NoScript", {"--headless"}, {}, 2},
                      Invocation{"UnknownOption", {"--frobnicate"}, {}, 2}),
    sw::test::byName);

class ViewerEndToEnd : public Headless {
protected:
    void SetUp() override {
        const QString plans = m_dir.filePath("root/2004/0815/plans");
        ASSERT_TRUE(QDir().mkpath(plans));
        test::writeTestSheet(plans + "/A-101.tif", 36, 24);
        test::writeTestSheet(plans + "/A-102.tif", 24, 18);
        test::writeTestSheet(plans + "/S-201.tif", 42, 30);
        writeSettings("");
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

    void writeSettings(const QByteArray& more) {
        ASSERT_TRUE(test::writeFile(
            m_dir.filePath("config/Sheetwise.ini"),
            "[Prefs]\r\nPlan Directory=" + m_dir.filePath("plans").toUtf8() + "\r\n" + more));
    }

    // Runs the calls (a JSON list in which $BASE stands for the server's address and $DIR for the
    // test's folder) headless from a script file and returns one reply per call, each expected
    // to succeed when `allOk`.
    QList<QJsonObject> run(QString list, bool allOk = true) {
        list.replace("$BASE", m_base).replace("$DIR", m_dir.path());
        const QJsonArray calls = QJsonDocument::fromJson(list.toUtf8()).array();
        const QString script = m_dir.filePath("calls.json");
        EXPECT_TRUE(test::writeFile(script, QJsonDocument(QJsonObject{{"calls", calls}}).toJson()));
        const test::ProcessRun run = test::runSheetwise(m_env, {"--headless", "--script", script});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.replies.size(), calls.size());
        for (const QJsonObject& reply : run.replies) {
            EXPECT_TRUE(!allOk || reply.value("ok").toBool()) << text(reply);
        }
        return run.replies;
    }

    QProcess m_server;
    QString m_base;  // the plan server's address (S-201.tif answered after 1.5 s)
};

// A value inside a Dump state by its path, "imaging/zoom" or "status/0".
QJsonValue at(QJsonValue value, const QString& path) {
    for (const QString& key : path.split('/')) {
        value = value.isArray() ? value.toArray().at(key.toInt()) : value.toObject().value(key);
    }
    return value;
}

// How a state shows its sheet: the paint mode, the first three status panels and the rulers'
// maxima in inches.
QString shown(const QJsonObject& state) {
    return QStringLiteral("%1 | %2 | %3 | %4 | %5 x %6")
        .arg(at(state, "imaging/paintSizeMode").toInt())
        .arg(at(state, "status/0").toString(), at(state, "status/1").toString(),
             at(state, "status/2").toString())
        .arg(at(state, "HorRuler/Max").toInt())
        .arg(at(state, "VertRuler/Max").toInt());
}

TEST_F(ViewerEndToEnd, ASessionFromLoadToSaveGivesThePrescribedStates) {
    const QList<QJsonObject> replies = run(R"([
        ["InitVars", "$BASE", "2004~0815", "Main Street School", 0, "north"],
        ["MakePlanList", "hdr~A,A-101 Site Plan,A-101.tif~A,A-102 Roof,A-102.tif~S,S-201 Frame,S-201.tif"],
        ["SetFirstImage", "A-101.tif", "A-101 Site Plan"], ["WaitLoaded", 60000], ["Dump"],
        ["DoCommand", "In"], ["Dump"],
        ["Mouse", "down", 1, 300, 200], ["Mouse", "move", 1, 301, 201], ["Mouse", "up", 1, 301, 201],
        ["Dump"],
        ["Mouse", "down", 1, 300, 200], ["Mouse", "move", 1, 400, 300],
        ["Mouse", "move", 1, 302, 202], ["Mouse", "up", 1, 302, 202], ["Dump"],
        ["DoCommand", "Magnify"], ["Mouse", "down", 2, 500, 400], ["Mouse", "move", 2, 500, 400],
        ["Mouse", "move", 2, 400, 350], ["Mouse", "up", 2, 400, 350], ["Mouse", "move", 0, 300, 300],
        ["Dump"],
        ["DoCommand", "+90"], ["Dump"],
        ["DoCommand", "Next"], ["WaitLoaded", 60000], ["Dump"],
        ["DoCommand", "Previous"], ["WaitLoaded", 60000], ["DoCommand", "Previous"],
        ["WaitLoaded", 60000], ["Dump"],
        ["Key", "ctrl+s"], ["DoCommand", "Save"], ["Dump"]])");
    QList<QJsonObject> s;  // the states of the Dump replies, in order
    for (const QJsonObject& reply : replies) {
        if (reply.value("call").toString() == "Dump") {
            s << reply.value("state").toObject();
        }
    }
    ASSERT_EQ(s.size(), 9);

    // Loaded: fitted, named, sized, counted, rulers in inches; the zoom is the fitted scale.
    EXPECT_EQ(shown(s[0]), "3 | A-101 Site Plan | 36.0 x 24.0 | Plan 1 of 3 | 36 x 24");
    const auto zoom = [](const QJsonObject& state) { return at(state, "imaging/zoom").toDouble(); };
    EXPECT_NEAR(zoom(s[0]), at(s[0], "imaging/displayRect/2").toDouble() / 7200 * 100, 1e-6);

    // "In" from fit steps on from the fitted scale; so does a click whose hand shook by a pixel;
    // a drag back to a 2 x 2 pixel band zooms no closer than 1600 %.
    EXPECT_EQ(at(s[1], "imaging/paintSizeMode").toInt(), 4);
    EXPECT_NEAR(zoom(s[1]), zoom(s[0]) + 10, 1e-4);  // steps in single precision
    EXPECT_NEAR(zoom(s[2]), zoom(s[1]) + 10, 1e-4);
    EXPECT_DOUBLE_EQ(zoom(s[3]), 1600);

    // The lens does not take over a right drag: one of (-100, -50) pixels moves the sheet and
    // the horizontal ruler with it, and its release ends the pan.
    for (const auto& [path, moved, within] : {std::tuple{"imaging/displayRect/1", -50, 0.5},
                                              {"HorRuler/Left", -1500, 15.0}}) {
        EXPECT_NEAR(at(s[4], path).toDouble(), at(s[3], path).toDouble() + moved, within) << path;
    }
    EXPECT_FALSE(at(s[4], "pointer/panning").toBool());

    // A quarter turn exchanges the ruler maxima; "Next" loads the next sheet, fitted again with
    // its own size and maxima; two times "Previous" from the second sheet wraps to the last.
    EXPECT_TRUE(shown(s[5]).endsWith("| 24 x 36"));
    EXPECT_EQ(shown(s[6]), "3 | A-102 Roof | 24.0 x 18.0 | Plan 2 of 3 | 24 x 18");
    EXPECT_EQ(shown(s[7]), "3 | S-201 Frame | 42.0 x 30.0 | Plan 3 of 3 | 42 x 30");

    // Ctrl+S and "Save" store the sheet under its name; desc.txt is written once.
    const QString folder = m_dir.filePath("plans/north/2004-0815/");
    EXPECT_TRUE(QFile::exists(folder + "S-201 Frame.tif"));
    EXPECT_EQ(test::readFile(folder + "desc.txt"), "Main Street School\r\n");
}

// "Print" with "Print In Blue" on while zoomed in; the user unticks "Print Selected Area Only"
// and prints the whole sheet: it comes out in blue too. "Print" lowers the 400 dpi sheet on
// screen to 200 dpi; "Save" still stores it as it was loaded.
TEST_F(ViewerEndToEnd, BluePrintOfTheWholeSheetThenSaveKeepsTheLoadedResolution) {
    writeSettings("Print In Blue=1\r\n");
    test::writeTestSheet(m_dir.filePath("root/2004/0815/plans/F-400.tif"), 10, 8, 400);
    const QList<QJsonObject> replies = run(R"([
        ["InitVars", "$BASE", "2004-0815", "P", 0, "north"], ["SetFirstImage", "F-400.tif", "F-400"],
        ["WaitLoaded", 60000], ["DoCommand", "In"], ["PrintTo", "$DIR/printed"],
        ["DoCommand", "Print"], ["Set", "DlgPrint/SelectionOnly", false],
        ["Set", "DlgPrint/Combo1", "Fit To Page"], ["Click", "DlgPrint/Command1"],
        ["DoCommand", "+90"], ["DoCommand", "Save"], ["Dump"]])");
    const test::ProcessRun images =
        test::runProgram(m_env, "pdfimages", {"-list", m_dir.filePath("printed/001.pdf")});
    const QList<QByteArray> rows = images.out.trimmed().split('\n').mid(2);
    ASSERT_EQ(rows.size(), 1) << images.out.toStdString();
    const QList<QByteArray> fields = rows[0].simplified().split(' ');
    // The whole 10 in sheet at 200 dpi, as a 1-bit stencil of blue ink.
    EXPECT_EQ(QList({fields.value(2), fields.value(3), fields.value(7)}),
              QList<QByteArray>({"stencil", "2000", "1"}));

    EXPECT_EQ(at(replies.last(), "state/imaging/width").toInt(), 1600);  // turned, at 200 dpi
    const imaging::TiffFacts saved =
        imaging::readTiffFacts(test::readFile(m_dir.filePath("plans/north/2004-0815/F-400.tif")));
    EXPECT_EQ(QSize(saved.width, saved.height), QSize(3200, 4000));
    EXPECT_EQ(saved.dpiX, 400);
}

// After a failed load the viewer is on the failed sheet: it is named, counted and marked, its
// reason shows whole, and "Next" goes on from it. A sheet that failed to load, or is still
// loading, is never saved under its name: "Save" says why and writes nothing (it used to store
// the sheet shown before under the new name); "Print" waits for the load too.
TEST_F(ViewerEndToEnd, AFailedSheetIsTheOneTheViewerIsOnAndOnlyLoadedSheetsAreSaved) {
    const QList<QJsonObject> replies = run(R"([
        ["InitVars", "$BASE", "2004-0815", "P", 0, "north"],
        ["MakePlanList", "hdr~A,A-101 Site,A-101.tif~A,Missing Sheet,A-104.tif~S,S-201 Frame,S-201.tif"],
        ["SetFirstImage", "A-101.tif", "A-101 Site"], ["WaitLoaded", 60000],
        ["DoCommand", "Next"], ["WaitLoaded", 60000], ["Dump"], ["Get", "FastViewer/panel2"],
        ["DoCommand", "Save"], ["DoCommand", "Next"], ["DoCommand", "Save"], ["DoCommand", "Print"],
        ["WaitLoaded", 60000], ["Dump"]])",
        false);
    ASSERT_EQ(replies.size(), 14);
    const QString reason = replies[5].value("error").toString();
    const QJsonObject state = replies[6].value("state").toObject();
    EXPECT_EQ(shown(state).section(" | ", 1, 3), "Missing Sheet | " + reason + " | Plan 2 of 3");
    EXPECT_TRUE(state.value("title").toString().endsWith("Missing Sheet (not loaded)"));
    EXPECT_EQ(at(state, "imaging/loaded").toInt(), 0);
    EXPECT_EQ(at(replies[7], "result/text").toString(), reason);

    EXPECT_EQ(QDir(m_dir.filePath("plans")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList());
    EXPECT_EQ(
        at(replies[13], "state/messages").toVariant().toStringList(),
        QStringList({"\"Missing Sheet\" could not be loaded: " + reason + " Nothing was saved.",
                     "\"S-201 Frame\" has not finished loading. Nothing was saved.",
                     "\"S-201 Frame\" has not finished loading. Print it once it has loaded."}));
}

}  // namespace
}  // namespace sw::host
