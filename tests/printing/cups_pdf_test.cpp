// Printing on a real CUPS queue (CUPS-PDF) set up by the cups_pdf_setup.sh fixture.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "imaging/tiff_writer.h"
#include "printing/paper_names.h"
#include "printing/print_command.h"
#include "printing/print_dialog_driver.h"
#include "printing/test_sheets.h"
#include "printing/ui/print_dialog.h"
#include "printing/ui/qt_printer_device.h"

namespace sw::printing {
namespace {

using ::testing::DoubleNear;
using ::testing::Each;

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
        before = QDir(outDir).entryList({QStringLiteral("*.pdf")}, QDir::Files);
    }

    // The PDFs of `count` new jobs by job number, once their sizes have stopped changing.
    [[nodiscard]] QStringList waitForNewPdfs(int count) const {
        static const QRegularExpression jobNumber(QStringLiteral("job_(\\d+)\\.pdf$"));
        std::map<int, QString> jobs;
        QString sizes;
        QElapsedTimer timer;
        for (timer.start(); timer.elapsed() < 90000;) {
            QThread::msleep(500);
            QString now;
            for (const QFileInfo& pdf : QDir(outDir).entryInfoList({"*.pdf"}, QDir::Files)) {
                if (!before.contains(pdf.fileName())) {
                    jobs[jobNumber.match(pdf.fileName()).captured(1).toInt()] = pdf.filePath();
                    now += QStringLiteral(" %1").arg(pdf.size());
                }
            }
            if (static_cast<int>(jobs.size()) >= count && now == sizes && !now.contains(" 0")) {
                break;
            }
            sizes = now;
        }
        QStringList paths;
        for (const auto& [number, path] : jobs) {
            paths << path;
        }
        return paths;
    }

    QString queue;
    QString outDir;
    QStringList before;  // the PDFs in the output folder before the test
    QTemporaryDir dir;
};

TEST_F(CupsPdf, CatalogSelectsTheQueueAndItsSettingsRoundTrip) {
    QtPrinterCatalog catalog;
    ASSERT_TRUE(catalog.printerNames().contains(queue));
    catalog.select(queue);
    PrinterDevice& printer = catalog.current();
    EXPECT_EQ(printer.deviceName(), queue);
    printer.setSetting(PrinterSetting::Orientation, kLandscape);
    EXPECT_EQ(printer.orientation(), kLandscape);
    EXPECT_GT(printer.pageWidthTwips(), printer.pageHeightTwips());
    // Every other value is either taken as given or refused; never silently changed.
    for (const auto& [which, value] : {std::pair{PrinterSetting::Copies, 2},
                                       {PrinterSetting::Duplex, 2},
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
    printer.setSetting(PrinterSetting::PaperSize, 5);
    EXPECT_EQ(PaperSizeName(printer.paperSize(), printer), QStringLiteral("Legal, 8 1/2 x 14 in"));
    EXPECT_THROW(printer.setSetting(PrinterSetting::PaperSize, 0), std::exception);
    EXPECT_EQ(printer.paperSize(), 5);
}

// `sheetwise print --printer` on the queue: the printable area is the queue's own (CUPS-PDF's
// PPD prints to the paper's edge), a paper code that shares its size with others reads back as
// the code chosen (Note and Letter Small are 8 1/2 x 11 in, as Letter is), and the jobs measure
// true on Letter: an inch of the sheet is an inch of paper, in one-bit black or a blue stencil.
TEST_F(CupsPdf, PrintCommandUsesTheQueuesImageableAreaAndTheChosenPaperCode) {
    const QString path = dir.filePath(QStringLiteral("sheet.tif"));
    imaging::saveTiffFile(test::grid(4, 5), path, imaging::kFormatCompressed, 1);
    for (const int code : {18, 2}) {
        QByteArray out;
        QByteArray err;
        QStringList arguments{"sheetwise", path,      "--printer",
                              queue,       "--paper", QString::number(code)};
        ASSERT_EQ(printCommand(arguments << (code == 2 ? "--blue" : "--crop"), &out, &err), 0)
            << err.toStdString();
        const QJsonObject summary = QJsonDocument::fromJson(out).object();
        EXPECT_DOUBLE_EQ(summary.value("printableWidthIn").toDouble(), 8.5);
        EXPECT_DOUBLE_EQ(summary.value("printableHeightIn").toDouble(), 11);
        EXPECT_EQ(summary.value("paper").toString(), PaperSizeName(code, 0, 0));
    }
    const QStringList pdfs = waitForNewPdfs(2);
    ASSERT_EQ(pdfs.size(), 2) << "new PDFs in " << outDir.toStdString();
    for (int k = 0; k < 2; ++k) {
        EXPECT_TRUE(test::pdfInfo(pdfs[k], "Page size").startsWith("612 x 792")) << k;
        const QList<QStringList> images = test::pdfImages(pdfs[k]);
        ASSERT_EQ(images.size(), 1) << k;
        EXPECT_EQ(QStringList({images[0].value(2), images[0].value(7)}),
                  QStringList({k == 0 ? "image" : "stencil", "1"}));
        // 100 sheet pixels are 200 pixels at 200 dpi; sheet pixel 1 is at the paper's corner.
        const QImage page = test::renderPdfPage(pdfs[k], 1, 200);
        const QList<double> xs = test::darkRunsAlongRow(page, 550, 200);
        ASSERT_GE(xs.size(), 3) << k;
        EXPECT_THAT(test::gaps(xs), Each(DoubleNear(200, 1.5))) << k;
        EXPECT_NEAR(xs.front(), 198, 1.5) << k;
        EXPECT_EQ(qBlue(page.pixel(static_cast<int>(xs[1]), 550)) > 200, k == 1) << k;
    }
}

TEST_F(CupsPdf, PrintDialogClassReportsTheQueueChosenInTheSystemDialog) {
    PrintDialog pd;
    test::OfferedPrint offered;
    test::answerPrintDialog(offered, true, {2, 0, 0, queue});
    pd.show();
    ASSERT_FALSE(pd.m_Printer.isNull());
    EXPECT_EQ(pd.m_Printer.printerName(), queue);
    EXPECT_EQ(pd.Copies(), 2);
}

}  // namespace
}  // namespace sw::printing
