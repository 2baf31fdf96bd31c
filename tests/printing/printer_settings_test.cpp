#include "printing/printer_settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "base/ini_store.h"
#include "printing/fake_printer_device.h"

namespace sw::printing {
namespace {

using sw::test::PrintTo;
using test::FakePrinterDevice;
using P = PrinterSetting;

class PrinterSettings : public ::testing::Test {
protected:
    PrinterSettings() {
        printers.add(FakePrinterDevice::letter(QStringLiteral("Office")));
        printers.add(FakePrinterDevice::letter(QStringLiteral("Plotter")));
    }

    // The current printer's name, paper and orientation.
    QString current() {
        const PrinterDevice& p = printers.current();
        return p.deviceName() + QString::asprintf(" %d %d", p.paperSize(), p.orientation());
    }

    static std::int16_t& prop(SavedPrinterSettings& saved, P which) {
        return saved.savedPrinterProps[static_cast<int>(which)];
    }

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Sheetwise.ini"));
    test::FakePrinterCatalog printers;  // a fresh system: "Office" (current, Letter portrait)
    SavedPrinterSettings saved;
};

struct StoredCase {
    const char* name;
    const char* printer;  // nothing: no settings file
    const char* paper;
    const char* orientation;
    const char* loaded;  // printer, paper and orientation taken
};

class StoredValues : public PrinterSettings, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(StoredValues, SelectOnlyWhatTheyExactlyName) {
    const StoredCase& c = GetParam();
    if (c.printer != nullptr) {
        base::writeProfileString(ini, kPrintingSection, kDefaultPrinterKey, c.printer);
        base::writeProfileString(ini, kPrintingSection, kDefaultPaperKey, c.paper);
        base::writeProfileString(ini, kPrintingSection, kDefaultOrientationKey, c.orientation);
    }
    LoadPrinterSettings(ini, printers, saved);
    EXPECT_EQ(current(), c.loaded);
    EXPECT_EQ(saved.savedPrinterName, c.printer != nullptr ? c.printer : "none");
    EXPECT_EQ(QFile::exists(ini), c.printer != nullptr);  // loading writes nothing
}

const StoredCase kStored[] = {
    {"FirstRunChangesNothing", nullptr, nullptr, nullptr, "Office 1 1"},
    {"Exact", "Plotter", "5", "2", "Plotter 5 2"},
    // Letter case matters when loading.
    {"OtherCase", "plotter", "5", "2", "Office 5 2"},
    {"GonePrinter", "Gone Printer", "9", "1", "Office 9 1"},
    // Not numbers: nothing changes, nothing fails.
    {"NotNumbers", "Plotter", "A4", "landscape", "Plotter 1 1"},
    // An orientation the printer refuses is skipped; a paper code too large for 16 bits too.
    {"RefusedOrientation", "Office", "8", "7", "Office 8 1"},
    {"PaperPast16Bits", "Office", "70000", "2", "Office 1 2"},
};
INSTANTIATE_TEST_SUITE_P(Table, StoredValues, ::testing::ValuesIn(kStored), sw::test::byName);

// Only settings that differ are written, never a zero paper source, and a setting the printer
// cannot read or refuses does not stop the others.
TEST_F(PrinterSettings, ApplyWritesOnlyDifferingSettingsAndSkipsUnsupportedOnes) {
    FakePrinterDevice& office = printers.fake(0);
    CapturePrinterProperties(office, saved);
    prop(saved, P::Copies) = 3;
    prop(saved, P::PaperSource) = 0;
    ApplySavedPrinterProperties(office, saved);
    EXPECT_EQ(office.writes, (std::vector{std::pair{P::Copies, 3}}));

    office.unreadable.insert(P::Duplex);
    prop(saved, P::Duplex) = -5;
    CapturePrinterProperties(office, saved);
    EXPECT_EQ(prop(saved, P::Duplex), -5);
    prop(saved, P::PaperSource) = 2;
    prop(saved, P::ColourMode) = 1;
    prop(saved, P::Orientation) = kLandscape;
    office.refused.insert(P::ColourMode);
    ApplySavedPrinterProperties(office, saved);
    EXPECT_EQ(office.setting(P::PaperSource), 2);
    EXPECT_EQ(office.setting(P::ColourMode), 2);
    EXPECT_EQ(office.orientation(), kLandscape);
}

// The keys saved are checked where the print dialog saves them on closing; a settings file that
// cannot be written is reported, not fatal.
TEST_F(PrinterSettings, AnUnwritableSettingsFileIsReported) {
    EXPECT_FALSE(SavePrinterSettings(dir.filePath(QStringLiteral("missing/dir/Sheetwise.ini")),
                                     printers, saved));
}

}  // namespace
}  // namespace sw::printing
