// Printing on a real CUPS queue (CUPS-PDF) set up by the cups_pdf_setup.sh fixture.
#include "planserver/plan_server.h"
#include <gtest/gtest.h>

#include <map>

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include "host/ini_store.h"
#include "imaging/tiff_writer.h"
#include "printing/paper_names.h"
#include "printing/print_dialog_driver.h"
#include "printing/printer_metrics.h"
#include "printing/sheet_job_host.h"
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
        const QStringList words =
            QString::fromUtf8(status.readAll()).trimmed().split(QLatin1Char(' '));
        if (words.value(0) != QStringLiteral("ok")) {
            GTEST_SKIP() << "CUPS printing is not available here: "
                         << words.mid(1).join(QLatin1Char(' ')).toStdString();
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

    // The PDF CUPS-PDF writes for the job, once its size has stopped changing.
    QString waitForNewPdf(const QSet<QString>& before) const {
        QElapsedTimer timer;
        timer.start();
        QString found;
        qint64 lastSize = -1;
        while (timer.elapsed() < 90000) {
            for (const QString& name : pdfsNow()) {
                if (!before.contains(name)) {
                    found = QDir(outDir).filePath(name);
                }
            }
            if (!found.isEmpty()) {
                const qint64 size = QFileInfo(found).size();
                if (size > 0 && size == lastSize) {
                    return found;
                }
                lastSize = size;
            }
            QThread::msleep(500);
        }
        return found;
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
            for (const QString& name : pdfsNow()) {
                if (before.contains(name)) {
                    continue;
                }
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

TEST_F(CupsPdf, TiledSheetComesOutOfTheQueueOneBitAndMeasuringTrue) {
    QPrinterDevice printer(queue);
    printer.setSetting(PrinterSetting::PaperSize, 1);
    printer.setSetting(PrinterSetting::Orientation, kPortrait);
    const PrinterMetrics metrics = readPrinterMetrics(printer);
    EXPECT_GT(metrics.dpiX, 0);
    EXPECT_NEAR(metrics.paperWidthIn, 8.5, 1e-6);

    // A 17 x 22 in sheet with a line every inch at 100 %, tiled.
    const int dpi = 200;
    PageGrid expected = computePageGrid(17 * dpi, 22 * dpi, dpi, metrics);
    applyExtraPageRule(expected);
    SheetJobHost host(imaging::Sheet(test::gridSheet(17, 22, dpi), dpi, dpi),
                      {QStringLiteral("100%"), false});
    ScaleMemory scale;
    PrintJobRunner runner;
    const QSet<QString> before = pdfsNow();
    const PrintJobReport report = runner.run(host, printer, scale);
    ASSERT_TRUE(report.failure.isEmpty()) << report.failure.toStdString();
    ASSERT_EQ(report.pagesPrinted, static_cast<int>(expected.pageCount()));

    const QString pdf = waitForNewPdf(before);
    ASSERT_FALSE(pdf.isEmpty()) << "no PDF appeared in " << outDir.toStdString();
    const QString info = test::runTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(info.contains(
        QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(expected.pageCount()))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+612 x 792"))))
        << info.toStdString();

    const QStringList images =
        test::runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
            .mid(2);
    ASSERT_FALSE(images.isEmpty());
    for (const QString& row : images) {
        EXPECT_EQ(row.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(7), QStringLiteral("1"))
            << row.toStdString();
    }

    // One inch of sheet is one inch of paper: 200 pixels at 200 dpi, the first line where the
    // printable area starts plus 199/200 in.
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    test::runTool(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("200"), QStringLiteral("-f"),
                   QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                   QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    const QImage page(prefix + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    const QList<double> xs = test::darkRunsAlongRow(page, page.height() / 2);
    ASSERT_GE(xs.size(), 4);
    for (int i = 1; i < xs.size(); ++i) {
        EXPECT_NEAR(xs[i] - xs[i - 1], 200, 1.5) << "line " << i;
    }
    EXPECT_NEAR(xs.front(), metrics.offsetX * 200.0 / metrics.dpiX + 199, 1.5);
}

TEST_F(CupsPdf, CatalogSelectsTheQueueAndItsSettingsRoundTrip) {
    QtPrinterCatalog catalog;
    ASSERT_TRUE(catalog.printerNames().contains(queue));
    catalog.select(queue);
    PrinterDevice& printer = catalog.current();
    EXPECT_EQ(printer.deviceName(), queue);
    printer.setSetting(PrinterSetting::PaperSize, 2);  // Letter Small is Letter
    EXPECT_EQ(printer.paperSize(), 1);
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
    for (const auto& [which, value] :
         {std::pair{PrinterSetting::Duplex, 2}, std::pair{PrinterSetting::ColourMode, 1},
          std::pair{PrinterSetting::Resolution, 300}, std::pair{PrinterSetting::PaperSource, 4}}) {
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
// as three jobs in the order chosen.
TEST_F(CupsPdf, BatchOfThreeSheetsFromThePlanServerGivesThreeJobsInOrder) {
    QTemporaryDir dir;
    const QString plans = QStringLiteral("2004/0815/plans/");
    const int dpi = 100;
    const QList<double> widthsIn{4, 12, 20};
    QStringList names;
    QStringList urls;
    for (int k = 0; k < widthsIn.size(); ++k) {
        const QString file = QStringLiteral("s%1.tif").arg(k);
        QDir().mkpath(dir.filePath(QStringLiteral("served/") + plans));
        imaging::saveTiffFile(imaging::Sheet(test::gridSheet(widthsIn[k], 5, dpi), dpi, dpi),
                              dir.filePath(QStringLiteral("served/") + plans + file),
                              imaging::kFormatCompressed, 1);
        names << QStringLiteral("c%1~Sheet %1").arg(k);
        urls << file;
    }
    tools::PlanServerOptions options;
    options.root = dir.filePath(QStringLiteral("served"));
    tools::PlanServer server(options);
    ASSERT_NE(server.start(), 0) << server.errorString().toStdString();

    const QString ini = dir.filePath(QStringLiteral("Sheetwise.ini"));
    for (const auto& [key, value] :
         {std::pair{kDefaultPrinterKey, queue}, std::pair{kDefaultPaperKey, QStringLiteral("1")},
          std::pair{kDefaultOrientationKey, QStringLiteral("1")}}) {
        host::writeProfileString(ini, kPrintingSection, key, value);
    }
    QtPrinterCatalog printers;
    QPointer<DlgPrint> dialog = new DlgPrint(nullptr, &printers);
    dialog->IniFile = ini;
    dialog->BatchSave = dir.filePath(QStringLiteral("plans/north/"));
    dialog->setBatch(dialog->BatchSave, QStringLiteral("2004-0815/plans/"), names, urls,
                     server.baseUrl().toString() + plans, QStringLiteral("2004-0815"), 0);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    ASSERT_EQ(printers.current().deviceName(), queue);

    QList<int> expectedPages;
    const PrinterMetrics metrics = readPrinterMetrics(printers.current());
    for (const double w : widthsIn) {
        PageGrid grid = computePageGrid(w * dpi, 5 * dpi, dpi, metrics);
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
    EXPECT_TRUE(BatchPrintMonitor::instance().lastReport().problems.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.isNull(); }, 2000));

    const QStringList pdfs = waitForNewPdfs(before, 3);
    ASSERT_EQ(pdfs.size(), 3) << "new PDFs in " << outDir.toStdString();
    for (int k = 0; k < 3; ++k) {
        const QString info = test::runTool(QStringLiteral("pdfinfo"), {pdfs[k]});
        EXPECT_TRUE(info.contains(
            QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(expectedPages[k]))))
            << "job " << k + 1 << ": " << info.toStdString();
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
