#include "printing/printer_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "base/ini_store.h"
#include "printing/fake_printer_device.h"

namespace sw::printing {
namespace {

using test::FakePrinterDevice;
using P = PrinterSetting;

class PrinterSettings : public ::testing::Test {
protected:
    // A fresh system: "Office" (current, Letter portrait) and "Plotter".
    static std::unique_ptr<test::FakePrinterCatalog> system() {
        auto catalog = std::make_unique<test::FakePrinterCatalog>();
        catalog->add(FakePrinterDevice::letter(QStringLiteral("Office")));
        catalog->add(FakePrinterDevice::letter(QStringLiteral("Plotter")));
        return catalog;
    }

    // The current printer's name, paper and orientation after loading the settings file.
    QString loaded(SavedPrinterSettings& saved) const {
        auto printers = system();
        LoadPrinterSettings(ini, *printers, saved);
        const PrinterDevice& p = printers->current();
        return QStringLiteral("%1 %2 %3")
            .arg(p.deviceName())
            .arg(p.paperSize())
            .arg(p.orientation());
    }

    QString stored(const QString& key) const {
        return base::readProfileString(ini, kPrintingSection, key, QStringLiteral("<absent>"));
    }

    static std::int16_t& prop(SavedPrinterSettings& saved, P which) {
        return saved.savedPrinterProps[static_cast<int>(which)];
    }

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Sheetwise.ini"));
};

TEST_F(PrinterSettings, FirstRunReadsNoneAndChangesNothing) {
    auto printers = system();
    SavedPrinterSettings saved;
    LoadPrinterSettings(ini, *printers, saved);
    EXPECT_EQ(QStringList({saved.savedPrinterName, saved.savedPaperSize, saved.savedOrientation}),
              QStringList({"none", "none", "none"}));
    EXPECT_EQ(printers->current().deviceName(), QStringLiteral("Office"));
    EXPECT_TRUE(printers->currentFake().writes().empty());
    EXPECT_FALSE(QFile::exists(ini));
}

TEST_F(PrinterSettings, PrinterPaperAndOrientationRoundTripThroughTheFile) {
    auto printers = system();
    SavedPrinterSettings saved;
    LoadPrinterSettings(ini, *printers, saved);
    printers->select(QStringLiteral("Plotter"));
    printers->current().setSetting(P::PaperSize, 3);
    printers->current().setSetting(P::Orientation, kLandscape);
    CapturePrinterProperties(printers->current(), saved);
    ASSERT_TRUE(SavePrinterSettings(ini, *printers, saved));
    EXPECT_EQ(QStringList({stored(kDefaultPrinterKey), stored(kDefaultPaperKey),
                           stored(kDefaultOrientationKey)}),
              QStringList({"Plotter", "3", "2"}));

    SavedPrinterSettings next;
    EXPECT_EQ(loaded(next), "Plotter 3 2");
    EXPECT_EQ(prop(next, P::PaperSize), 3);
}

struct StoredCase {
    const char* printer;
    const char* paper;
    const char* orientation;
    const char* loaded;  // printer, paper and orientation taken
};

void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << c.printer << " / " << c.paper << " / " << c.orientation;
}

class StoredValues : public PrinterSettings, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValues, SelectOnlyWhatTheyExactlyName) {
    const StoredCase& c = GetParam();
    base::writeProfileString(ini, kPrintingSection, kDefaultPrinterKey, c.printer);
    base::writeProfileString(ini, kPrintingSection, kDefaultPaperKey, c.paper);
    base::writeProfileString(ini, kPrintingSection, kDefaultOrientationKey, c.orientation);
    SavedPrinterSettings saved;
    EXPECT_EQ(loaded(saved), c.loaded);
}

INSTANTIATE_TEST_SUITE_P(Table, StoredValues,
                         ::testing::Values(StoredCase{"Plotter", "5", "2", "Plotter 5 2"},
                                           // Letter case matters when loading.
                                           StoredCase{"plotter", "5", "2", "Office 5 2"},
                                           StoredCase{"Gone Printer", "9", "1", "Office 9 1"},
                                           // Not numbers: nothing changes, nothing fails.
                                           StoredCase{"Plotter", "A4", "landscape", "Plotter 1 1"},
                                           StoredCase{"Plotter", "none", "", "Plotter 1 1"},
                                           // An orientation the printer refuses is skipped.
                                           StoredCase{"Office", "8", "7", "Office 8 1"},
                                           // Too large for 16 bits: skipped.
                                           StoredCase{"Office", "70000", "2", "Office 1 2"}));

TEST_F(PrinterSettings, ApplyWritesOnlyDifferingSettingsAndNeverAZeroPaperSource) {
    FakePrinterDevice printer(QStringLiteral("P"), 12240, 15840, {});
    SavedPrinterSettings saved;
    CapturePrinterProperties(printer, saved);
    prop(saved, P::Copies) = 3;
    prop(saved, P::PaperSource) = 0;
    ApplySavedPrinterProperties(printer, saved);
    EXPECT_EQ(printer.writes(), (std::vector{std::pair{P::Copies, 3}}));
    prop(saved, P::PaperSource) = 2;
    ApplySavedPrinterProperties(printer, saved);
    EXPECT_EQ(printer.setting(P::PaperSource), 2);
}

TEST_F(PrinterSettings, OneUnsupportedSettingDoesNotStopTheOthers) {
    FakePrinterDevice printer(QStringLiteral("P"), 12240, 15840, {});
    SavedPrinterSettings saved;
    saved.savedPrinterProps.fill(-5);
    printer.setUnreadable(P::Duplex);
    CapturePrinterProperties(printer, saved);
    EXPECT_EQ(prop(saved, P::Duplex), -5);
    EXPECT_EQ(prop(saved, P::Resolution), 600);

    prop(saved, P::ColourMode) = 1;
    prop(saved, P::Orientation) = kLandscape;
    printer.setRefused(P::ColourMode);
    ApplySavedPrinterProperties(printer, saved);
    EXPECT_EQ(printer.setting(P::ColourMode), 2);
    EXPECT_EQ(printer.orientation(), kLandscape);
}

TEST_F(PrinterSettings, SetupChoiceMatchesThePrinterWithoutLetterCase) {
    auto printers = system();
    SavedPrinterSettings saved;
    PrinterSetupChoice choice{QStringLiteral("plotter"), {}};
    choice.values[static_cast<int>(P::Copies)] = 2;
    choice.values[static_cast<int>(P::PaperSize)] = 17;
    applyPrinterSetupChoice(*printers, choice, saved);
    EXPECT_EQ(printers->current().deviceName(), QStringLiteral("Plotter"));
    EXPECT_EQ(printers->current().paperSize(), 17);
    EXPECT_EQ(prop(saved, P::Copies), 2);
    // Values the dialog did not report are read back from the printer as they are.
    EXPECT_EQ(prop(saved, P::Resolution), 600);
}

TEST_F(PrinterSettings, UnwritableSettingsFileIsReportedNotFatal) {
    auto printers = system();
    EXPECT_FALSE(SavePrinterSettings(dir.filePath(QStringLiteral("missing/dir/Sheetwise.ini")),
                                     *printers, SavedPrinterSettings{}));
}

}  // namespace
}  // namespace sw::printing
