#include "printing/printer_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "host/ini_store.h"
#include "printing/fake_printer_device.h"

namespace sw::printing {
namespace {

using test::FakePrinterCatalog;
using test::FakePrinterDevice;

class PrinterSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ini = dir.filePath(QStringLiteral("Sheetwise.ini"));
    }

    // A fresh system: "Office" (current, Letter portrait) and "Plotter".
    static std::unique_ptr<FakePrinterCatalog> system() {
        auto catalog = std::make_unique<FakePrinterCatalog>();
        catalog->add(FakePrinterDevice::letter(QStringLiteral("Office")));
        catalog->add(FakePrinterDevice::letter(QStringLiteral("Plotter")));
        return catalog;
    }

    QString stored(const QString& key) const {
        return host::readProfileString(ini, kPrintingSection, key, QStringLiteral("<absent>"));
    }

    QTemporaryDir dir;
    QString ini;
};

TEST_F(PrinterSettings, FirstRunReadsNoneAndChangesNothing) {
    auto printers = system();
    SavedPrinterSettings saved;
    LoadPrinterSettings(ini, *printers, saved);
    EXPECT_EQ(saved.savedPrinterName, QStringLiteral("none"));
    EXPECT_EQ(saved.savedPaperSize, QStringLiteral("none"));
    EXPECT_EQ(saved.savedOrientation, QStringLiteral("none"));
    EXPECT_EQ(printers->current().deviceName(), QStringLiteral("Office"));
    EXPECT_TRUE(printers->currentFake().writes().empty());
    EXPECT_FALSE(QFile::exists(ini));
}

TEST_F(PrinterSettings, PrinterPaperAndOrientationRoundTripThroughTheFile) {
    {
        auto printers = system();
        SavedPrinterSettings saved;
        LoadPrinterSettings(ini, *printers, saved);
        printers->select(QStringLiteral("Plotter"));
        printers->current().setSetting(PrinterSetting::PaperSize, 3);
        printers->current().setSetting(PrinterSetting::Orientation, kLandscape);
        CapturePrinterProperties(printers->current(), saved);
        ASSERT_TRUE(SavePrinterSettings(ini, *printers, saved));
    }
    EXPECT_EQ(stored(kDefaultPrinterKey), QStringLiteral("Plotter"));
    EXPECT_EQ(stored(kDefaultPaperKey), QStringLiteral("3"));
    EXPECT_EQ(stored(kDefaultOrientationKey), QStringLiteral("2"));

    auto next = system();
    SavedPrinterSettings saved;
    LoadPrinterSettings(ini, *next, saved);
    EXPECT_EQ(next->current().deviceName(), QStringLiteral("Plotter"));
    EXPECT_EQ(next->current().paperSize(), 3);
    EXPECT_EQ(next->current().orientation(), kLandscape);
    EXPECT_EQ(saved.savedPrinterProps[static_cast<int>(PrinterSetting::PaperSize)], 3);
}

struct StoredCase {
    const char* printer;
    const char* paper;
    const char* orientation;
    const char* expectedPrinter;
    int expectedPaper;
    int expectedOrientation;
};

void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << c.printer << " / " << c.paper << " / " << c.orientation;
}

class StoredValues : public PrinterSettings, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValues, SelectOnlyWhatTheyExactlyName) {
    const StoredCase& c = GetParam();
    host::writeProfileString(ini, kPrintingSection, kDefaultPrinterKey,
                             QString::fromUtf8(c.printer));
    host::writeProfileString(ini, kPrintingSection, kDefaultPaperKey, QString::fromUtf8(c.paper));
    host::writeProfileString(ini, kPrintingSection, kDefaultOrientationKey,
                             QString::fromUtf8(c.orientation));
    auto printers = system();
    SavedPrinterSettings saved;
    LoadPrinterSettings(ini, *printers, saved);
    EXPECT_EQ(printers->current().deviceName(), QString::fromUtf8(c.expectedPrinter));
    EXPECT_EQ(printers->current().paperSize(), c.expectedPaper);
    EXPECT_EQ(printers->current().orientation(), c.expectedOrientation);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoredValues,
    ::testing::Values(StoredCase{"Plotter", "5", "2", "Plotter", 5, kLandscape},
                      // Letter case matters when loading.
                      StoredCase{"plotter", "5", "2", "Office", 5, kLandscape},
                      StoredCase{"Gone Printer", "9", "1", "Office", 9, kPortrait},
                      // Not numbers: nothing changes, nothing fails.
                      StoredCase{"Plotter", "A4", "landscape", "Plotter", 1, kPortrait},
                      StoredCase{"Plotter", "none", "", "Plotter", 1, kPortrait},
                      // An orientation the printer refuses is skipped.
                      StoredCase{"Office", "8", "7", "Office", 8, kPortrait},
                      // Too large for 16 bits: skipped.
                      StoredCase{"Office", "70000", "2", "Office", 1, kLandscape}));

TEST_F(PrinterSettings, ApplyWritesOnlyDifferingSettingsAndNeverAZeroPaperSource) {
    FakePrinterDevice printer(QStringLiteral("P"), 12240, 15840, {});
    SavedPrinterSettings saved;
    CapturePrinterProperties(printer, saved);
    saved.savedPrinterProps[static_cast<int>(PrinterSetting::Copies)] = 3;
    saved.savedPrinterProps[static_cast<int>(PrinterSetting::PaperSource)] = 0;
    ApplySavedPrinterProperties(printer, saved);
    ASSERT_EQ(printer.writes().size(), 1u);
    EXPECT_EQ(printer.writes()[0], std::make_pair(PrinterSetting::Copies, 3));

    saved.savedPrinterProps[static_cast<int>(PrinterSetting::PaperSource)] = 2;
    ApplySavedPrinterProperties(printer, saved);
    EXPECT_EQ(printer.setting(PrinterSetting::PaperSource), 2);
}

TEST_F(PrinterSettings, OneUnsupportedSettingDoesNotStopTheOthers) {
    FakePrinterDevice printer(QStringLiteral("P"), 12240, 15840, {});
    SavedPrinterSettings saved;
    saved.savedPrinterProps.fill(-5);
    printer.setUnreadable(PrinterSetting::Duplex);
    CapturePrinterProperties(printer, saved);
    EXPECT_EQ(saved.savedPrinterProps[static_cast<int>(PrinterSetting::Duplex)], -5);
    EXPECT_EQ(saved.savedPrinterProps[static_cast<int>(PrinterSetting::Resolution)], 600);

    saved.savedPrinterProps[static_cast<int>(PrinterSetting::ColourMode)] = 1;
    saved.savedPrinterProps[static_cast<int>(PrinterSetting::Orientation)] = kLandscape;
    printer.setRefused(PrinterSetting::ColourMode);
    ApplySavedPrinterProperties(printer, saved);
    EXPECT_EQ(printer.setting(PrinterSetting::ColourMode), 2);
    EXPECT_EQ(printer.orientation(), kLandscape);
}

TEST_F(PrinterSettings, SetupChoiceMatchesThePrinterWithoutLetterCase) {
    auto printers = system();
    SavedPrinterSettings saved;
    PrinterSetupChoice choice;
    choice.printerName = QStringLiteral("plotter");
    choice.values[static_cast<int>(PrinterSetting::Copies)] = 2;
    choice.values[static_cast<int>(PrinterSetting::PaperSize)] = 17;
    choice.values[static_cast<int>(PrinterSetting::Orientation)] = kLandscape;
    applyPrinterSetupChoice(*printers, choice, saved);
    EXPECT_EQ(printers->current().deviceName(), QStringLiteral("Plotter"));
    EXPECT_EQ(printers->current().paperSize(), 17);
    EXPECT_EQ(saved.savedPrinterProps[static_cast<int>(PrinterSetting::Copies)], 2);
    EXPECT_EQ(saved.savedPrinterProps[static_cast<int>(PrinterSetting::Orientation)], kLandscape);
    // Values the dialog did not report are read back from the printer as they are.
    EXPECT_EQ(saved.savedPrinterProps[static_cast<int>(PrinterSetting::Resolution)], 600);
}

TEST_F(PrinterSettings, UnwritableSettingsFileIsReportedNotFatal) {
    auto printers = system();
    SavedPrinterSettings saved;
    EXPECT_FALSE(SavePrinterSettings(dir.filePath(QStringLiteral("missing/dir/Sheetwise.ini")),
                                     *printers, saved));
}

}  // namespace
}  // namespace sw::printing
