// The comparison in the viewer as a host and a user drive it: host calls, keys, the dialog, sheets
// that cannot be opened, and a printed page in the overlay's colours.
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
#include "printing/fake_printer_device.h"
#include "printing/print_to_directory.h"
#include "printing/test_sheets.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_hand_off.h"
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
        ASSERT_TRUE(m_dir.isValid());
        m_viewer.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_viewer.iniPath, "Prefs", "Plan Directory", m_dir.filePath("p"));
        QDir().mkpath(m_dir.filePath("sheets"));
        imaging::saveTiffFile(revision({}, true), m_dir.filePath("sheets/A-101.tif"), 29, 1);
        imaging::saveTiffFile(revision({-6, 4}, false), m_dir.filePath("sheets/A-101r1.tif"), 29,
                              1);
        QFile bad(m_dir.filePath("sheets/bad.tif"));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("II*\0\x08\0\0\0 not a sheet", 20);
        bad.close();
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
    // The "compare" key of the Dump state as JSON text, and what it should be.
    std::string compareState() {
        return QJsonDocument(dump("compare")).toJson(QJsonDocument::Compact).toStdString();
    }
    static std::string compared(bool active, const char* earlier, QPoint offset, const char* mode,
                                int added, int removed) {
        const QJsonObject state{{"active", active},
                                {"earlier", earlier},
                                {"offset", QJsonArray{offset.x(), offset.y()}},
                                {"mode", mode},
                                {"added", added},
                                {"removed", removed}};
        return QJsonDocument(state).toJson(QJsonDocument::Compact).toStdString();
    }

    QTemporaryDir m_dir;
    host::FastViewer m_viewer;
};

TEST_F(CompareViewer, HostCallsAndKeysDriveTheComparison) {
    EXPECT_EQ(compareState(), compared(false, "", {}, "off", 0, 0));
    ok({"Set", "Compare/Earlier", "A-101r1.tif"});
    EXPECT_EQ(dump("compare").value("active"), false);
    ok({"DoCommand", "Compare"});
    EXPECT_EQ(compareState(), compared(true, "A-101r1.tif", {6, -4}, "overlay", 100, 64));
    EXPECT_TRUE(m_viewer.toolbar->compareButton()->isChecked());
    EXPECT_TRUE(m_viewer.comparison().legend().isVisible());
    EXPECT_TRUE(m_viewer.comparison().legend().text().contains("offset 6, -4 px"));

    m_viewer.viewer->setFocus();
    for (const char* key : {"Right", "Shift+Down"}) {
        ok({"Key", key});
    }
    EXPECT_EQ(dump("compare").value("offset"), (QJsonArray{7, 6}));
    ok({"Key", "e"});
    EXPECT_EQ(dump("compare").value("mode"), "earlier");
    ok({"Key", "a"});
    ok({"Set", "Compare/Mode", "new"});
    EXPECT_EQ(compareState(), compared(true, "A-101r1.tif", {6, -4}, "new", 100, 64));
    ok({"DoCommand", "+90"});
    EXPECT_EQ(dump("compare").value("offset"), (QJsonArray{4, 6})) << "turned with the sheet";

    ok({"Set", "Compare/Mode", "off"});
    EXPECT_EQ(compareState(), compared(false, "", {}, "off", 0, 0));
    EXPECT_FALSE(m_viewer.toolbar->compareButton()->isChecked());
    EXPECT_FALSE(run({"Set", "Compare/Mode", "overlay"}).value("ok").toBool()) << "nothing chosen";
}

TEST_F(CompareViewer, AnEarlierSheetThatCannotBeOpenedLeavesTheNormalView) {
    const QJsonObject imaging = dump("imaging");
    const QJsonObject missing = run({"Set", "Compare/Earlier", "missing.tif"});
    EXPECT_FALSE(missing.value("ok").toBool());
    EXPECT_TRUE(missing.value("error").toString().startsWith(
        "The earlier revision missing.tif could not be opened: "));

    ok({"DoCommand", "Compare"});
    ok({"DblClick", "CompareWith/sheets", "Bad"});
    for (int i = 0; i < 100 && m_viewer.messagesShown.size() < 2; ++i) {
        ok({"Wait", 50});
    }
    ASSERT_EQ(m_viewer.messagesShown.size(), 2);
    EXPECT_TRUE(m_viewer.messagesShown.last().startsWith("The earlier revision Bad could not be"));
    EXPECT_EQ(compareState(), compared(false, "", {}, "off", 0, 0));
    EXPECT_EQ(dump("imaging"), imaging);
    EXPECT_EQ(m_viewer.viewer->sheet().overlay(), nullptr);

    ok({"DoCommand", "Compare"});
    ok({"DblClick", "CompareWith/sheets", "A-101 Rev 1"});
    for (int i = 0; i < 100 && !dump("compare").value("active").toBool(); ++i) {
        ok({"Wait", 50});
    }
    EXPECT_EQ(compareState(), compared(true, "A-101 Rev 1", {6, -4}, "overlay", 100, 64));
}

// The visible part of a zoomed comparison, printed: one colour image whose only colours are the
// overlay's, pure red and blue among them.
TEST_F(CompareViewer, PrintsTheOverlayInExactColours) {
    for (const char* tool : {"pdfimages"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            GTEST_SKIP() << tool << " (poppler-utils) is not installed";
        }
    }
    ok({"Set", "Compare/Earlier", "A-101r1.tif"});
    ok({"DoCommand", "Compare"});
    ok({"DoCommand", "In"});
    printing::test::FakePrinterCatalog printers;
    printers.add(printing::test::FakePrinterDevice::letter(QStringLiteral("Office")));
    printing::setPrintToDirectory(m_dir.filePath("out"));
    printing::HandOffValues values;
    values.iniPath = m_viewer.iniPath;
    std::unique_ptr<printing::DlgPrint> dialog(
        printing::PrintCurrentPlan(values, *m_viewer.viewer, *m_viewer.v2, nullptr, &printers));
    ASSERT_NE(dialog, nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->Command1_Click();
    printing::setPrintToDirectory(QString());
    const QString pdf = m_dir.filePath("out/001.pdf");
    const QList<QStringList> images = printing::test::pdfImages(pdf);
    ASSERT_EQ(images.size(), 1);
    EXPECT_EQ(images[0].value(5), "rgb");
    QProcess extract;
    extract.start("pdfimages", {"-png", pdf, m_dir.filePath("img")});
    ASSERT_TRUE(extract.waitForFinished(30000));
    const QImage printed(m_dir.filePath("img-000.png"));
    QSet<QRgb> colours;
    for (int y = 0; y < printed.height(); ++y) {
        for (int x = 0; x < printed.width(); ++x) {
            colours.insert(printed.pixel(x, y) | 0xFF000000u);
        }
    }
    const QSet<QRgb> overlay = {kPaper | 0xFF000000u, kBothInk | 0xFF000000u, kNewInk | 0xFF000000u,
                                kEarlierInk | 0xFF000000u};
    EXPECT_EQ(colours, overlay);
}

}  // namespace
}  // namespace sw::compare
