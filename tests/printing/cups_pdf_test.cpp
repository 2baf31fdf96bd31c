// Printing on a real CUPS queue (CUPS-PDF) set up by the cups_pdf_setup.sh fixture.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPrinterInfo>
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

    // The new PDF of one page whose image is `width` pixels wide, once the queue has written it
    // (other test runs may print on the shared queue at the same time).
    [[nodiscard]] QString waitForPdf(int width) const {
        std::map<QString, qint64> sizes;
        QElapsedTimer timer;
        for (timer.start(); timer.elapsed() < 90000; QThread::msleep(500)) {
            for (const QFileInfo& pdf : QDir(outDir).entryInfoList({"*.pdf"}, QDir::Files)) {
                const bool settled = pdf.size() > 0 && sizes[pdf.filePath()] == pdf.size();
                sizes[pdf.filePath()] = pdf.size();
                const QList<QStringList> images = settled && !before.contains(pdf.fileName())
                                                      ? test::pdfImages(pdf.filePath())
                                                      : QList<QStringList>{};
                if (images.size() == 1 && images[0].value(3).toInt() == width) {
                    return pdf.filePath();
                }
            }
        }
        return {};
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
    for (const auto& [which, value] :
         {std::pair{PrinterSetting::Copies, 2}, {PrinterSetting::Resolution, 300}}) {
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
    // Sheets 4.5 and 3.5 in wide at 100 dpi: the jobs are told apart by their pictures' widths.
    for (const auto& [code, widthIn] : {std::pair{18, 4.5}, {2, 3.5}}) {
        const QString sheet = dir.filePath(QStringLiteral("sheet-%1.tif").arg(code));
        imaging::saveTiffFile(test::grid(widthIn, 4.5), sheet, imaging::kFormatCompressed, 1);
        QByteArray out;
        QByteArray err;
        const bool blue = code == 2;
        ASSERT_EQ(printCommand({"sheetwise", sheet, "--printer", queue, "--paper",
                                QString::number(code), blue ? "--blue" : "--crop"},
                               &out, &err),
                  0)
            << err.toStdString();
        const QJsonObject summary = QJsonDocument::fromJson(out).object();
        EXPECT_DOUBLE_EQ(summary.value("printableWidthIn").toDouble(), 8.5);
        EXPECT_DOUBLE_EQ(summary.value("printableHeightIn").toDouble(), 11);
        EXPECT_EQ(summary.value("paper").toString(), PaperSizeName(code, 0, 0));

        const QString pdf = waitForPdf(static_cast<int>(widthIn * 100) - 1);
        ASSERT_FALSE(pdf.isEmpty()) << "no new PDF in " << outDir.toStdString();
        EXPECT_TRUE(test::pdfInfo(pdf, "Page size").startsWith("612 x 792")) << code;
        const QStringList image = test::pdfImages(pdf).value(0);
        EXPECT_EQ(QStringList({image.value(2), image.value(7)}),
                  QStringList({blue ? "stencil" : "image", "1"}));
        // 100 sheet pixels are 200 pixels at 200 dpi; sheet pixel 1 is at the paper's corner.
        const QImage page = test::renderPdfPage(pdf, 1, 200);
        const QList<double> xs = test::darkRunsAlongRow(page, 550, 200);
        ASSERT_GE(xs.size(), 3) << code;
        EXPECT_THAT(test::gaps(xs), Each(DoubleNear(200, 1.5))) << code;
        EXPECT_NEAR(xs.front(), 198, 1.5) << code;
        EXPECT_EQ(qBlue(page.pixel(static_cast<int>(xs[1]), 550)) > 200, blue) << code;
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
