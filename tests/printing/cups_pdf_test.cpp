// Printing on a real CUPS queue (CUPS-PDF) set up by the cups_pdf_setup.sh fixture.
#include "planserver/plan_server.h"
#include <gtest/gtest.h>

#include <map>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "base/ini_store.h"
#include "imaging/tiff_writer.h"
#include "printing/paper_names.h"
#include "printing/print_command.h"
#include "printing/print_dialog_driver.h"
#include "printing/printer_metrics.h"
#include "printing/test_sheets.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_dialog.h"
#include "printing/ui/qt_printer_device.h"

namespace sw::printing {
namespace {

class CupsPdf : public ::testing::Test {
protected:
    void SetUp() override {
        QFile status(QStringLiteral(SW_CUPS_STATUS_FILE));
        if (!status.open(QIODevice::ReadOnly)) {
            GTEST_SKIP() << "the CUPS-PDF fixture did not run (run these tests through ctest)";
        }
        const QStringList words = QString::fromUtf8(status.readAll()).trimmed().split(' ');
        if (words.value(0) != "ok") {
            GTEST_SKIP() << "CUPS printing is not available here: "
                         << words.mid(1).join(' ').toStdString();
        }
        queue = words.value(1);
        outDir = words.value(2);
        ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(queue))
            << queue.toStdString() << " is not among the system's printers";
    }

    QSet<QString> pdfsNow() const {
        const QStringList names = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files);
        return {names.begin(), names.end()};
    }

    // The PDFs of `count` new jobs by job number, once each file's size has stopped changing.
    QStringList waitForNewPdfs(const QSet<QString>& before, int count) const {
        static const QRegularExpression jobNumber(QStringLiteral("job_(\\d+)\\.pdf$"));
        QElapsedTimer timer;
        timer.start();
        std::map<int, QString> jobs;
        std::map<QString, qint64> sizes;
        while (timer.elapsed() < 90000) {
            bool settled = true;
            for (const QString& name : pdfsNow() - before) {
                const QString path = QDir(outDir).filePath(name);
                const qint64 size = QFileInfo(path).size();
                settled = settled && size > 0 && sizes[path] == size;
                sizes[path] = size;
                jobs[jobNumber.match(name).captured(1).toInt()] = path;
            }
            if (static_cast<int>(jobs.size()) >= count && settled) {
                break;
            }
            QThread::msleep(500);
        }
        QStringList paths;
        for (const auto& [number, path] : jobs) {
            paths << path;
        }
        return paths;
    }

    QString queue;
    QString outDir;
};

TEST_F(CupsPdf, CatalogSelectsTheQueueAndItsSettingsRoundTrip) {
    QtPrinterCatalog catalog;
    ASSERT_TRUE(catalog.printerNames().contains(queue));
    catalog.select(queue);
    PrinterDevice& printer = catalog.current();
    EXPECT_EQ(printer.deviceName(), queue);
    for (int code : {1, 5, 9}) {
        printer.setSetting(PrinterSetting::PaperSize, code);
        EXPECT_EQ(printer.paperSize(), code);
        EXPECT_EQ(PaperSizeName(printer.paperSize(), printer), PaperSizeName(code, 0, 0));
    }
    printer.setSetting(PrinterSetting::Orientation, kLandscape);
    EXPECT_EQ(printer.orientation(), kLandscape);
    EXPECT_GT(printer.pageWidthTwips(), printer.pageHeightTwips());
    printer.setSetting(PrinterSetting::Copies, 2);
    EXPECT_EQ(printer.setting(PrinterSetting::Copies), 2);
    // Every other value is either taken as given or refused; never silently changed.
    for (const auto& [which, value] : {std::pair{PrinterSetting::Duplex, 2},
                                       {PrinterSetting::ColourMode, 1},
                                       {PrinterSetting::Resolution, 300},
                                       {PrinterSetting::PaperSource, 4}}) {
        try {
            printer.setSetting(which, value);
            EXPECT_EQ(printer.setting(which), value) << static_cast<int>(which);
        } catch (const std::exception&) {
            EXPECT_NE(printer.setting(which), value) << static_cast<int>(which);
        }
    }
    EXPECT_THROW(printer.setSetting(PrinterSetting::PaperSize, 0), std::exception);
    EXPECT_EQ(printer.paperSize(), 9);
}

// Three sheets of one, two and three pages at 100 % come from the plan server and leave the queue
// as three jobs in the order chosen: Letter pages of one-bit tiles on which an inch of the sheet
// measures an inch.
TEST_F(CupsPdf, BatchOfThreeSheetsFromThePlanServerGivesThreeJobsInOrder) {
    QTemporaryDir dir;
    const QString plans = QStringLiteral("2004/0815/plans/");
    QDir().mkpath(dir.filePath(QStringLiteral("served/") + plans));
    const QList<double> widthsIn{4, 12, 20};  // 5 in high, at 100 dpi
    QStringList names;
    QStringList urls;
    for (int k = 0; k < widthsIn.size(); ++k) {
        urls << QStringLiteral("s%1.tif").arg(k);
        names << QStringLiteral("c%1~Sheet %1").arg(k);
        imaging::saveTiffFile(imaging::Sheet(test::gridSheet(widthsIn[k], 5, 100), 100, 100),
                              dir.filePath(QStringLiteral("served/") + plans + urls.back()),
                              imaging::kFormatCompressed, 1);
    }
    tools::PlanServerOptions options;
    options.root = dir.filePath(QStringLiteral("served"));
    tools::PlanServer server(options);
    ASSERT_NE(server.start(), 0) << server.errorString().toStdString();

    const QString ini = dir.filePath(QStringLiteral("Sheetwise.ini"));
    base::writeProfileString(ini, kPrintingSection, kDefaultPrinterKey, queue);
    base::writeProfileString(ini, kPrintingSection, kDefaultPaperKey, QStringLiteral("1"));
    base::writeProfileString(ini, kPrintingSection, kDefaultOrientationKey, QStringLiteral("1"));
    QtPrinterCatalog printers;
    QPointer<DlgPrint> dialog = new DlgPrint(nullptr, &printers);
    dialog->IniFile = ini;
    dialog->BatchSave = dir.filePath(QStringLiteral("plans/north/"));
    dialog->setBatch(dialog->BatchSave, QStringLiteral("2004-0815/plans/"), names, urls,
                     server.baseUrl().toString() + plans, QStringLiteral("2004-0815"), 0);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    ASSERT_EQ(printers.current().deviceName(), queue);

    const PrinterMetrics metrics = readPrinterMetrics(printers.current());
    EXPECT_GT(metrics.dpiX, 0);
    EXPECT_NEAR(metrics.paperWidthIn, 8.5, 1e-6);
    QList<int> expectedPages;
    for (const double w : widthsIn) {
        PageGrid grid = computePageGrid(w * 100, 500, 100, metrics);
        applyExtraPageRule(grid);
        expectedPages << static_cast<int>(grid.pageCount());
    }
    ASSERT_EQ(QSet<int>(expectedPages.begin(), expectedPages.end()).size(), 3)
        << "the three sheets must differ in page count to tell the jobs apart";

    dialog->findChild<QCheckBox*>(QStringLiteral("AutoClip"))->click();
    dialog->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    dialog->findChild<QPushButton*>(QStringLiteral("Command4"))->click();  // Select All
    const QSet<QString> before = pdfsNow();
    QSignalSpy ended(&BatchPrintMonitor::instance(), &BatchPrintMonitor::ended);
    dialog->findChild<QPushButton*>(QStringLiteral("BatchOk"))->click();
    ASSERT_TRUE(ended.count() > 0 || ended.wait(60000)) << "the batch did not end";
    EXPECT_EQ(BatchPrintMonitor::instance().lastReport().printed, 3);
    EXPECT_EQ(BatchPrintMonitor::instance().lastReport().problems, QStringList());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 2000));

    const QStringList pdfs = waitForNewPdfs(before, 3);
    ASSERT_EQ(pdfs.size(), 3) << "new PDFs in " << outDir.toStdString();
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(test::pdfInfo(pdfs[k], "Pages"), QString::number(expectedPages[k]))
            << "job " << k + 1;
        EXPECT_TRUE(test::pdfInfo(pdfs[k], "Page size").startsWith("612 x 792")) << "job " << k + 1;
        for (const QStringList& image : test::pdfImages(pdfs[k])) {
            EXPECT_EQ(image.value(7), "1") << "bits per component, job " << k + 1;
        }
    }

    // 100 sheet pixels are 200 pixels at 200 dpi, the first line where the printable area starts
    // plus 99/100 in.
    const QImage page = test::renderPdfPage(pdfs[0], 1, 200);
    ASSERT_FALSE(page.isNull());
    const QList<double> xs =
        test::darkRunsAlongRow(page, metrics.offsetY * 200 / metrics.dpiY + 550);
    ASSERT_GE(xs.size(), 3);
    for (int i = 1; i < xs.size(); ++i) {
        EXPECT_NEAR(xs[i] - xs[i - 1], 200, 1.5) << "line " << i;
    }
    EXPECT_NEAR(xs.front(), metrics.offsetX * 200.0 / metrics.dpiX + 198, 1.5);
}

// `sheetwise print --printer` on the queue: the printable area is the queue's own (CUPS-PDF's
// PPD prints to the paper's edge), and a paper code shares its size with others reads back as
// the code chosen (Note, Letter Small and Letter are all 8 1/2 x 11 in).
TEST_F(CupsPdf, PrintCommandUsesTheQueuesImageableAreaAndTheChosenPaperCode) {
    QTemporaryDir dir;
    const QString sheet = dir.filePath(QStringLiteral("sheet.tif"));
    imaging::saveTiffFile(imaging::Sheet(test::gridSheet(4, 5, 100), 100, 100), sheet,
                          imaging::kFormatCompressed, 1);
    for (const int code : {18, 2}) {
        QByteArray out;
        QByteArray err;
        ASSERT_EQ(
            printCommand({"sheetwise", sheet, "--printer", queue, "--paper", QString::number(code)},
                         &out, &err),
            0)
            << err.toStdString();
        const QJsonObject summary = QJsonDocument::fromJson(out).object();
        EXPECT_DOUBLE_EQ(summary.value("printableWidthIn").toDouble(), 8.5);
        EXPECT_DOUBLE_EQ(summary.value("printableHeightIn").toDouble(), 11);
        EXPECT_EQ(summary.value("paper").toString(), PaperSizeName(code, 0, 0));
    }
}

TEST_F(CupsPdf, PrintDialogClassReportsTheQueueChosenInTheSystemDialog) {
    PrintDialog pd;
    test::OfferedPrint offered;
    test::answerPrintDialog(offered, true, test::choosePrint(2, 0, 0, queue));
    pd.show();
    ASSERT_FALSE(pd.m_Printer.isNull());
    EXPECT_EQ(pd.m_Printer.printerName(), queue);
    EXPECT_EQ(pd.Copies(), 2);
}

}  // namespace
}  // namespace sw::printing
