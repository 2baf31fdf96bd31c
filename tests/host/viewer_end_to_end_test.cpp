// The whole viewer from the outside: `sheetwise --headless --script` runs a plan-room session
// against a real plan server (the planserver program on loopback) and its replies are checked.
#include "support/qt_print.h"
#include "support/test_paths.h"
#include "test_sheet_files.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace sw::host {
namespace {

constexpr int kProcessTimeoutMs = 120000;

class ViewerEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        const QString plans = m_dir.filePath("root/2004/0815/plans");
        ASSERT_TRUE(QDir().mkpath(plans));
        test::writeTestSheet(plans + "/A-101.tif", 36, 24);
        test::writeTestSheet(plans + "/A-102.tif", 24, 18);
        test::writeTestSheet(plans + "/S-201.tif", 42, 30);
        ASSERT_TRUE(QDir().mkpath(m_dir.filePath("config")));
        QFile ini(m_dir.filePath("config/Sheetwise.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Prefs]\r\nPlan Directory=" + m_dir.filePath("plans").toUtf8() + "\r\n");
    }

    void TearDown() override {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.kill();
            m_server.waitForFinished(5000);
        }
    }

    // Starts the plan server on the sheets; returns its base URL.
    QString startServer() {
        m_server.setProgram(sw::test::binPath("planserver"));
        m_server.setArguments({"--root", m_dir.filePath("root"), "--port", "0"});
        m_server.start();
        if (!m_server.waitForStarted(10000) || !m_server.waitForReadyRead(10000)) {
            return {};
        }
        const QRegularExpressionMatch match =
            QRegularExpression("listening on (http://\\S+/)").match(m_server.readLine());
        return match.captured(1);
    }

    // Runs the calls headless and returns one reply per call.
    QList<QJsonObject> run(const QJsonArray& calls) {
        QFile script(m_dir.filePath("calls.json"));
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QJsonDocument(QJsonObject{{"calls", calls}}).toJson());
        script.close();
        QProcess viewer;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("HOME", m_dir.path());
        env.remove("SystemRoot");
        viewer.setProcessEnvironment(env);
        viewer.start(sw::test::binPath("sheetwise"), {"--headless", "--script", script.fileName()});
        EXPECT_TRUE(viewer.waitForFinished(kProcessTimeoutMs));
        EXPECT_EQ(viewer.exitCode(), 0) << viewer.readAllStandardError().toStdString();
        QList<QJsonObject> replies;
        for (const QByteArray& line : viewer.readAllStandardOutput().split('\n')) {
            if (!line.trimmed().isEmpty()) {
                replies << QJsonDocument::fromJson(line).object();
            }
        }
        return replies;
    }

    // The states of the Dump replies, in order.
    static QList<QJsonObject> dumps(const QList<QJsonObject>& replies) {
        QList<QJsonObject> states;
        for (const QJsonObject& reply : replies) {
            if (reply.value("call").toString() == "Dump") {
                states << reply.value("state").toObject();
            }
        }
        return states;
    }

    static QString panel(const QJsonObject& state, int number) {
        return state.value("status").toArray().at(number - 1).toString();
    }
    static int rulerMax(const QJsonObject& state, const char* ruler) {
        return state.value(ruler).toObject().value("Max").toInt();
    }
    static QJsonArray displayRect(const QJsonObject& state) {
        return state.value("imaging").toObject().value("displayRect").toArray();
    }

    QTemporaryDir m_dir;
    QProcess m_server;
};

QJsonArray call(std::initializer_list<QJsonValue> parts) {
    return QJsonArray(parts);
}

TEST_F(ViewerEndToEnd, ASessionFromLoadToSaveGivesThePrescribedStates) {
    const QString base = startServer();
    ASSERT_FALSE(base.isEmpty());
    const QJsonArray calls{
        call({"InitVars", base, "2004~0815", "Main Street School", 0, "north"}),
        call({"MakePlanList",
              "hdr~A,A-101 Site Plan,A-101.tif~A,A-102 Roof,A-102.tif~S,S-201 Frame,S-201.tif"}),
        call({"SetFirstImage", "A-101.tif", "A-101 Site Plan"}),
        call({"WaitLoaded", 60000}),
        call({"Dump"}),
        call({"DoCommand", "In"}),
        call({"Dump"}),
        call({"Mouse", "down", 2, 500, 400}),
        call({"Mouse", "move", 2, 500, 400}),
        call({"Mouse", "move", 2, 400, 350}),
        call({"Mouse", "up", 2, 400, 350}),
        call({"Dump"}),
        call({"DoCommand", "+90"}),
        call({"Dump"}),
        call({"DoCommand", "Next"}),
        call({"WaitLoaded", 60000}),
        call({"Dump"}),
        call({"DoCommand", "Previous"}),
        call({"WaitLoaded", 60000}),
        call({"DoCommand", "Previous"}),
        call({"WaitLoaded", 60000}),
        call({"Dump"}),
        call({"Key", "ctrl+s"}),
        call({"DoCommand", "Save"}),
        call({"Dump"}),
    };
    const QList<QJsonObject> replies = run(calls);
    ASSERT_EQ(replies.size(), calls.size());
    for (const QJsonObject& reply : replies) {
        EXPECT_TRUE(reply.value("ok").toBool())
            << QJsonDocument(reply).toJson(QJsonDocument::Compact).toStdString();
    }
    const QList<QJsonObject> s = dumps(replies);
    ASSERT_EQ(s.size(), 7);

    // Loaded: fitted, named, sized, counted, rulers in inches along the sheet.
    EXPECT_EQ(s[0].value("imaging").toObject().value("paintSizeMode").toInt(), 3);
    EXPECT_EQ(panel(s[0], 1), "A-101 Site Plan");
    EXPECT_EQ(panel(s[0], 2), "36.0 x 24.0");
    EXPECT_EQ(panel(s[0], 3), "Plan 1 of 3");
    EXPECT_EQ(s[0].value("progress").toInt(), 0);
    EXPECT_EQ(rulerMax(s[0], "HorRuler"), 36);
    EXPECT_EQ(rulerMax(s[0], "VertRuler"), 24);
    const QJsonObject hor = s[0].value("HorRuler").toObject();
    const QJsonObject vert = s[0].value("VertRuler").toObject();
    const QJsonObject area = s[0].value("viewerLayout").toObject();
    const QJsonArray d0 = displayRect(s[0]);
    EXPECT_NEAR(hor.value("Left").toDouble() + 300,
                area.value("Left").toDouble() + d0[0].toDouble() * 15, 15);
    EXPECT_NEAR(hor.value("Width").toDouble() - 300, d0[2].toDouble() * 15, 15);
    EXPECT_NEAR(vert.value("Top").toDouble(), area.value("Top").toDouble() + d0[1].toDouble() * 15,
                15);
    EXPECT_NEAR(vert.value("Height").toDouble(), d0[3].toDouble() * 15, 15);
    EXPECT_EQ(s[0].value("title").toString(),
              QString::fromUtf8("Sheetwise — Main Street School — A-101 Site Plan"));

    // "In" from fit: zoom mode at the held percentage plus 10.
    const QJsonObject zoomed = s[1].value("imaging").toObject();
    EXPECT_EQ(zoomed.value("paintSizeMode").toInt(), 4);
    EXPECT_DOUBLE_EQ(zoomed.value("zoom").toDouble(), 110);

    // A right drag of (-100, -50) pixels moves the sheet and the horizontal ruler with it.
    EXPECT_NEAR(displayRect(s[2])[0].toDouble(), displayRect(s[1])[0].toDouble() - 100, 0.5);
    EXPECT_NEAR(displayRect(s[2])[1].toDouble(), displayRect(s[1])[1].toDouble() - 50, 0.5);
    EXPECT_NEAR(s[2].value("HorRuler").toObject().value("Left").toDouble(),
                s[1].value("HorRuler").toObject().value("Left").toDouble() - 1500, 15);
    EXPECT_FALSE(s[2].value("pointer").toObject().value("panning").toBool());

    // A quarter turn exchanges the ruler maxima.
    EXPECT_EQ(rulerMax(s[3], "HorRuler"), 24);
    EXPECT_EQ(rulerMax(s[3], "VertRuler"), 36);

    // "Next" loads the next sheet, fitted again with its own size and maxima.
    EXPECT_EQ(s[4].value("currentPlanName").toString(), "A-102 Roof");
    EXPECT_EQ(panel(s[4], 2), "24.0 x 18.0");
    EXPECT_EQ(panel(s[4], 3), "Plan 2 of 3");
    EXPECT_EQ(s[4].value("imaging").toObject().value("paintSizeMode").toInt(), 3);
    EXPECT_EQ(rulerMax(s[4], "HorRuler"), 24);
    EXPECT_EQ(rulerMax(s[4], "VertRuler"), 18);

    // Two times "Previous" from the second sheet wraps around to the last.
    EXPECT_EQ(panel(s[5], 1), "S-201 Frame");
    EXPECT_EQ(panel(s[5], 3), "Plan 3 of 3");
    EXPECT_EQ(rulerMax(s[5], "HorRuler"), 42);

    // Ctrl+S and "Save" store the sheet under its name; desc.txt is written once.
    const QString folder = m_dir.filePath("plans/north/2004-0815/");
    EXPECT_TRUE(QFile::exists(folder + "S-201 Frame.tif"));
    QFile desc(folder + "desc.txt");
    ASSERT_TRUE(desc.open(QIODevice::ReadOnly));
    EXPECT_EQ(desc.readAll(), QByteArray("Main Street School\r\n"));
    EXPECT_TRUE(s[6].value("messages").toArray().isEmpty());
}

TEST_F(ViewerEndToEnd, AMissingSheetFailsTheWaitWithItsReasonAndShowsIt) {
    const QString base = startServer();
    ASSERT_FALSE(base.isEmpty());
    const QList<QJsonObject> replies = run({
        call({"InitVars", base, "2004-0815", "P", 0, "north"}),
        call({"SetFirstImage", "missing.tif", "Missing"}),
        call({"WaitLoaded", 60000}),
        call({"Dump"}),
    });
    ASSERT_EQ(replies.size(), 4);
    EXPECT_FALSE(replies[2].value("ok").toBool());
    const QString reason = replies[2].value("error").toString();
    EXPECT_FALSE(reason.isEmpty());
    const QJsonObject state = replies[3].value("state").toObject();
    EXPECT_EQ(panel(state, 2), reason);
    EXPECT_FALSE(state.value("lastLoad").toObject().value("ok").toBool());
}

}  // namespace
}  // namespace sw::host
