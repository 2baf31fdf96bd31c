// The print dialog as the viewer opens it (the hand-off) and as a user works it.
#include "printing/ui/dlg_print.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>

#include "base/ini_store.h"
#include "imaging/ui/imaging_control.h"
#include "printing/dialog_fixture.h"
#include "printing/ui/printer_setup.h"

namespace sw::printing {
namespace {

using imaging::ImagingControl;
using test::FakePrinterDevice;

// A set-up dialog that answers as scripted and remembers what it was offered.
class ScriptedSetup : public PrinterSetupComponent {
public:
    explicit ScriptedSetup(std::optional<PrinterSetupChoice> answer)
        : m_answer(std::move(answer)) {}
    std::optional<PrinterSetupChoice> run(const PrinterSetupRequest& request, QWidget*) override {
        offered = request;
        return m_answer;
    }
    PrinterSetupRequest offered;

private:
    std::optional<PrinterSetupChoice> m_answer;
};

// The printers are "Office" (current) and "Plotter", both Letter; the project has two sheets.
class PrintDialog : public test::DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        printers.add(FakePrinterDevice::letter(QStringLiteral("Plotter")));
        values.planLabels = {"c1~A-101 Site plan", "c2~A-102", "no separator", QString()};
        values.planFiles = {"a101.tif", "a102.tif", "x.tif", QString()};
        values.planUrl = QStringLiteral("http://plans.example/2004/0815/plans/");
    }

    void store(const QString& key, const QString& value) const {
        base::writeProfileString(ini, kPrintingSection, key, value);
    }
};

struct LimitCase {
    int dpi;
    int widthAfter;  // of a 10 x 5 in sheet
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << c.dpi << " dpi";
}

class ResolutionLimit : public PrintDialog, public ::testing::WithParamInterface<LimitCase> {};

// A fitted sheet is one image; finer than 200 dpi it is resampled, in the viewer too.
TEST_P(ResolutionLimit, SheetsFinerThan200DpiAreResampledInTheViewerToo) {
    const LimitCase& c = GetParam();
    ASSERT_NE(open(10, 5, c.dpi), nullptr);
    EXPECT_EQ(viewer.imageWidth(), c.widthAfter);
    EXPECT_DOUBLE_EQ(viewer.resolutionX(), c.widthAfter / 10);
    EXPECT_DOUBLE_EQ(viewer.resolutionY(), c.widthAfter / 10);
    ASSERT_EQ(dialog->viewer().imageCount(), 1);
    EXPECT_FALSE(child<QCheckBox>("SelectionOnly")->isEnabled());
    EXPECT_EQ(dialog->viewer().imageWidth(), c.widthAfter);
    EXPECT_EQ(dialog->viewer().picture().depth(), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, ResolutionLimit,
                         ::testing::Values(LimitCase{100, 1000}, LimitCase{200, 2000},
                                           LimitCase{201, 2000}, LimitCase{400, 2000}));

// The visible part is image 2 and shown; "Print Selected Area Only" switches between the part
// and the whole sheet, and the layout follows.
TEST_F(PrintDialog, ZoomedSheetAddsTheVisiblePartAsImageTwo) {
    viewer.insertImage(1, test::grid(36, 24, 200));  // 7200 x 4800
    viewer.setPaintSizeMode(ImagingControl::kZoom);
    viewer.setDisplayRect(QRectF(-300, -100, 14400, 9600));
    ASSERT_NE(open(0, 0), nullptr);
    ASSERT_EQ(dialog->viewer().imageCount(), 2);
    EXPECT_EQ(v2.loadedImage(), 0);
    // 150, 50 from the corner; the 800 x 600 window at 200 % is 400 x 300 sheet pixels.
    EXPECT_EQ(dialog->viewer().sheet().size(), QSize(400, 300));
    auto* selection = child<QCheckBox>("SelectionOnly");
    EXPECT_TRUE(selection->isEnabled());
    for (const auto& [image, size] : {std::pair{1, QSize(7200, 4800)}, {2, QSize(400, 300)}}) {
        selection->click();
        EXPECT_EQ(dialog->viewer().currentImage(), image);
        EXPECT_EQ(dialog->viewer().sheet().size(), size);
    }
    // 2 x 1.5 in fits on a page: the grid preview of one page.
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("1"));
    EXPECT_EQ(dialog->viewer().annotations().size(), 2);
}

TEST_F(PrintDialog, RotationBeyondSixteenBitsShowsTheErrorAndOpensNoDialog) {
    values.rotation = 400;
    EXPECT_EQ(open(8, 10), nullptr);
    EXPECT_EQ(recordedPrintMessages(), QStringList{QStringLiteral("6: Overflow")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<DlgPrint*>(w), nullptr);
    }
}

TEST_F(PrintDialog, NoSheetOpensAnEmptyDialog) {
    ASSERT_NE(open(0, 0), nullptr);
    EXPECT_EQ(dialog->viewer().loadedImage(), 0);
    EXPECT_TRUE(recordedPrintMessages().isEmpty());
}

// The preview and the page counts follow the crop box and the scale as they change.
TEST_F(PrintDialog, CropCoverThenGridLinesThenScaleFollowTheControls) {
    open(36, 24);
    QComboBox* scale = child<QComboBox>("Combo1");
    EXPECT_EQ(scale->currentText(), QStringLiteral("100%"));
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("1"));
    QList<ImagingControl::Annotation> objects = dialog->viewer().annotations();
    ASSERT_EQ(objects.size(), 4);
    EXPECT_EQ(objects.front().fillColour, QColor(100, 100, 100));

    // Without the crop: 36 x 24 in on 8.5 x 11 in is 5 x 3 pages, 5 + 3 dotted lines.
    child<QCheckBox>("AutoClip")->click();
    EXPECT_EQ(QStringList({text("lblNumVert"), text("lblNumHor"), text("lblNumTotal")}),
              QStringList({"3", "5", "15"}));
    objects = dialog->viewer().annotations();
    ASSERT_EQ(objects.size(), 8);
    EXPECT_EQ(objects.front().lineStyle, 2);

    // Typed scales: "50" halves the sheet; "50%%" is not a number and keeps 50 %.
    for (const auto& [typed, total] : {std::pair{"50", "6"}, {"50%%", "6"}, {"Fit To Page", "1"}}) {
        scale->setEditText(QString::fromLatin1(typed));
        EXPECT_EQ(text("lblNumTotal"), total) << typed;
    }
}

TEST_F(PrintDialog, StoredPrinterIsSelectedAndExitWritesTheKeysOnce) {
    store(kDefaultPrinterKey, QStringLiteral("Plotter"));
    store(kDefaultPaperKey, QStringLiteral("3"));
    open();
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Plotter"));
    EXPECT_EQ(text("lpPaper"), QStringLiteral("Tabloid, 11 x 17 in"));
    // The printer has Letter paper only: the dialog keeps the chosen code and says so.
    EXPECT_TRUE(child("lpPaperInUse")->isVisible());
    EXPECT_EQ(text("lpPaperInUse"),
              QStringLiteral("The printer has no such paper; it prints on Letter, 8 1/2 x 11 in"));

    printers.currentFake().setSetting(PrinterSetting::Orientation, kLandscape);
    click("Command3");
    EXPECT_FALSE(dialog->isVisible());
    QStringList stored;
    for (const QString& key : {kDefaultPrinterKey, kDefaultPaperKey, kDefaultOrientationKey}) {
        stored << base::readProfileString(ini, kPrintingSection, key, QString());
    }
    // The orientation remembered when the dialog took the printer is applied before saving.
    EXPECT_EQ(stored, QStringList({"Plotter", "3", "1"}));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("Default Printer"), 1);
}

TEST_F(PrintDialog, PrinterSetupSwitchesPrinterWithoutLetterCase) {
    open();
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Office"));
    PrinterSetupChoice choice{QStringLiteral("plotter"), {}};
    choice.values[static_cast<int>(PrinterSetting::PaperSize)] = 5;
    auto setup = std::make_unique<ScriptedSetup>(choice);
    ScriptedSetup* seen = setup.get();
    dialog->setPrinterSetup(std::move(setup));
    click("btnPrintSetup");
    EXPECT_EQ(seen->offered.printerName, QStringLiteral("Office"));
    EXPECT_FALSE(printers.trackDefault());
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Plotter"));
    EXPECT_EQ(text("lpPaper"), QStringLiteral("Legal, 8 1/2 x 14 in"));

    dialog->setPrinterSetup(std::make_unique<ScriptedSetup>(std::nullopt));  // cancelled
    click("btnPrintSetup");
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Plotter"));
    click("Command3");  // the chosen paper is remembered and saved
    EXPECT_EQ(base::readProfileString(ini, kPrintingSection, kDefaultPaperKey, QString()), "5");
}

TEST_F(PrintDialog, LayoutErrorsGoToTheListAndClearEmptiesIt) {
    printers.add(std::make_unique<FakePrinterDevice>(
        QStringLiteral("Broken"), 12240, 15840,
        test::FakePrinterCaps{0, 0, 0, 0, 5100, 6600, 5200, 6700}));
    store(kDefaultPrinterKey, QStringLiteral("Broken"));
    open();
    auto* errors = child<QListWidget>("ld");
    ASSERT_GE(errors->count(), 1);
    EXPECT_EQ(errors->item(0)->text(), QStringLiteral("Division by zero"));
    click("clear");
    EXPECT_EQ(errors->count(), 0);
}

// 34 x 44 in at 50 % is 17 x 22 in, 2 x 2 pages: the imaging control halves the resolution with
// the pixels, and the grid measures the scaled pixels at the resolution before.
TEST_F(PrintDialog, PrintButtonPrintsTheScaledTiledSheetAndCloses) {
    const QString folder = dir.filePath(QStringLiteral("out"));
    setPrintToDirectory(folder);
    open(34, 44);
    child<QCheckBox>("AutoClip")->click();
    child<QComboBox>("Combo1")->setCurrentText(QStringLiteral("50%"));
    click("Command1");
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("001.pdf"))));
    EXPECT_EQ(dialog->lastJob().pagesPrinted, 4);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(recordedPrintMessages().isEmpty());
}

TEST_F(PrintDialog, DeletesItselfWhenClosed) {
    QPointer<DlgPrint> own = new DlgPrint(nullptr, &printers);
    own->show();
    own->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(own.isNull());
}

}  // namespace
}  // namespace sw::printing
