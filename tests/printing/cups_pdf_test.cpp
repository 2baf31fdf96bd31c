// Printing on a real CUPS queue (CUPS-PDF) set up by the cups_pdf_setup.sh fixture.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include "printing/paper_names.h"
#include "printing/printer_metrics.h"
#include "printing/sheet_job_host.h"
#include "printing/test_sheets.h"
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
    for (const auto [which, value] :
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

}  // namespace
}  // namespace sw::printing
