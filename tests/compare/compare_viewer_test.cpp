// The comparison in the viewer as a host and a user drive it: host calls, keys, the dialog, sheets
// that cannot be opened, and a printed page in the overlay's colours.
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "base/host_calls.h"
#include "base/ini_store.h"
#include "compare/comparison.h"
#include "compare/ui/comparison_controller.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "imaging/tiff_writer.h"
#include "imaging/ui/imaging_control.h"
#include "printing/test_sheets.h"
#include "viewing/ui/command_toolbar.h"

namespace sw::compare {
namespace {

// A 12 x 8 in sheet at 100 dpi: a frame and a few walls drawn at `at`, and a 10 x 10 block
// (the new revision's) or an 8 x 8 block (the earlier one's) beside the middle.
imaging::Sheet revision(QPoint at, bool newer) {
    QImage picture(1200, 800, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.translate(at);
    p.setPen(QPen(Qt::black, 6));
    p.drawRect(40, 40, 1100, 700);
    p.setPen(QPen(Qt::black, 2));
    for (int i = 1; i < 6; ++i) {
        p.drawLine(40 + 180 * i, 40, 40 + 180 * i, 400 + 50 * i);
    }
    p.fillRect(newer ? QRect(560, 420, 10, 10) : QRect(620, 420, 8, 8), Qt::black);
    p.end();
    return imaging::Sheet(picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither), 100,
                          100);
}

class CompareViewer : public ::testing::Test {
protected:
    void SetUp() override {
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory", m_dir.filePath("p"));
        QDir().mkpath(m_dir.filePath("sheets"));
        imaging::saveTiffFile(revision({}, true), m_dir.filePath("sheets/A-101.tif"), 29, 1);
        imaging::saveTiffFile(revision({-6, 4}, false), m_dir.filePath("sheets/A-101r1.tif"), 29,
                              1);
        ASSERT_TRUE(test::writeFile(m_dir.filePath("sheets/bad.tif"),
                                    QByteArray("II*\0\x08\0\0\0 not a sheet", 20)));
        m_viewer.resize(1000, 700);
        m_viewer.show();
        ok({"InitVars", QUrl::fromLocalFile(m_dir.path()).toString() + "/", "sheets-x", "School", 0,
            "north"});
        m_viewer.planUrl = m_dir.filePath("sheets") + "/";
        ok({"MakePlanList", "hdr~A,A-101 Plan,A-101.tif~A,A-101 Rev 1,A-101r1.tif~A,Bad,bad.tif"});
        ok({"SetFirstImage", "A-101.tif", "A-101 Plan"});
        ok({"WaitLoaded", 30000});
    }

    QJsonObject run(const QJsonArray& call) {
        return base::HostCallRunner(m_viewer, host::standardRegistry(), base::Trust::Trusted)
            .run(call);
    }
    void ok(const QJsonArray& call) {
        const QJsonObject reply = run(call);
        EXPECT_TRUE(reply.value("ok").toBool()) << call.at(0).toString().toStdString() << ": "
                                                << reply.value("error").toString().toStdString();
    }
    QJsonObject dump(const char* key) {
        return run({"Dump"}).value("state").toObject().value(QLatin1String(key)).toObject();
    }
    // The "compare" key of the Dump state as JSON text.
    std::string compareState() {
        return QJsonDocument(dump("compare")).toJson(QJsonDocument::Compact).toStdString();
    }
    static constexpr const char* kOff =
        R"({"active":false,"added":0,"earlier":"","mode":"off","offset":[0,0],"removed":0})";

    QTemporaryDir m_dir;
    host::FastViewer m_viewer;
};

// The dialog first: a sheet that cannot be opened leaves the normal view, one that can is laid
// over it. Then host calls and keys: choosing, moving, modes, a turn, leaving.
TEST_F(CompareViewer, TheDialogHostCallsAndKeysDriveTheComparison) {
    const QJsonObject imaging = dump("imaging");
    EXPECT_EQ(compareState(), kOff);
    EXPECT_TRUE(run({"Set", "Compare/Earlier", "missing.tif"})["error"].toString().startsWith(
        "The earlier revision missing.tif could not be opened: "));
    ok({"DoCommand", "Compare"});
    ok({"DblClick", "CompareWith/sheets", "Bad"});
    for (int i = 0; i < 100 && m_viewer.messagesShown.size() < 2; ++i) {
        ok({"Wait", 50});
    }
    ASSERT_EQ(m_viewer.messagesShown.size(), 2);
    EXPECT_TRUE(m_viewer.messagesShown.last().startsWith("The earlier revision Bad could not be"));
    EXPECT_EQ(compareState(), kOff);
    EXPECT_EQ(dump("imaging"), imaging);
    EXPECT_EQ(m_viewer.viewer->sheet().overlay(), nullptr);

    ok({"DoCommand", "Compare"});
    ok({"DblClick", "CompareWith/sheets", "A-101 Rev 1"});
    for (int i = 0; i < 100 && !dump("compare").value("active").toBool(); ++i) {
        ok({"Wait", 50});
    }
    EXPECT_EQ(compareState(), R"({"active":true,"added":100,"earlier":"A-101 Rev 1",)"
                              R"("mode":"overlay","offset":[6,-4],"removed":64})");
    EXPECT_TRUE(m_viewer.toolbar->compareButton()->isChecked());
    EXPECT_TRUE(m_viewer.comparison().legend().isVisible());
    EXPECT_TRUE(m_viewer.comparison().legend().text().contains("offset 6, -4 px"));
    ok({"Set", "Compare/Mode", "off"});
    EXPECT_EQ(compareState(), kOff);
    EXPECT_FALSE(m_viewer.toolbar->compareButton()->isChecked());
    EXPECT_FALSE(run({"Set", "Compare/Mode", "overlay"}).value("ok").toBool()) << "nothing chosen";

    ok({"Set", "Compare/Earlier", "A-101r1.tif"});
    EXPECT_EQ(dump("compare").value("active"), false);
    ok({"DoCommand", "Compare"});
    m_viewer.viewer->setFocus();
    ok({"Key", "Right"});
    ok({"Key", "Shift+Down"});
    ok({"Key", "Up"});
    EXPECT_EQ(dump("compare").value("offset"), (QJsonArray{7, 5}));
    ok({"Key", "e"});
    EXPECT_EQ(dump("compare").value("mode"), "earlier");
    ok({"Key", "a"});
    ok({"Set", "Compare/Mode", "new"});
    EXPECT_EQ(compareState(), R"({"active":true,"added":100,"earlier":"A-101r1.tif",)"
                              R"("mode":"new","offset":[6,-4],"removed":64})");
    ok({"DoCommand", "+90"});
    EXPECT_EQ(dump("compare").value("offset"), (QJsonArray{4, 6})) << "turned with the sheet";
}

// The visible part of a zoomed comparison, printed: one colour image whose only colours are the
// overlay's, pure red and blue among them.
TEST_F(CompareViewer, PrintsTheOverlayInExactColours) {
    if (QStandardPaths::findExecutable("pdfimages").isEmpty()) {
        GTEST_SKIP() << "pdfimages (poppler-utils) is not installed";
    }
    ok({"Set", "Compare/Earlier", "A-101r1.tif"});
    ok({"DoCommand", "Compare"});
    ok({"DoCommand", "In"});
    ok({"PrintTo", m_dir.filePath("out")});
    ok({"DoCommand", "Print"});
    ok({"Click", "DlgPrint/Command1"});
    ok({"PrintTo", ""});
    const QString pdf = m_dir.filePath("out/001.pdf");
    const QList<QStringList> images = printing::test::pdfImages(pdf);
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images[0].value(5), "rgb");
    QProcess extract;
    extract.start("pdfimages", {"-png", pdf, m_dir.filePath("img")});
    ASSERT_TRUE(extract.waitForFinished(30000));
    const QImage printed =
        QImage(m_dir.filePath("img-000.png")).convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(printed.constBits());  // rows unpadded
    EXPECT_EQ(QSet<QRgb>(pixels, pixels + printed.width() * printed.height()),
              (QSet<QRgb>{kPaper, kBothInk, kNewInk, kEarlierInk}));
}

}  // namespace
}  // namespace sw::compare
