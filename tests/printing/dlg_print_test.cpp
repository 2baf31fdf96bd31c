#include "printing/ui/dlg_print.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "base/ini_store.h"
#include "imaging/sheet.h"
#include "imaging/ui/imaging_control.h"
#include "printing/fake_printer_device.h"
#include "printing/print_to_directory.h"
#include "printing/test_sheets.h"
#include "printing/ui/print_messages.h"
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

class PrintDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        printers.add(FakePrinterDevice::letter(QStringLiteral("Office")));
        printers.add(FakePrinterDevice::letter(QStringLiteral("Plotter")));
        dialog = new DlgPrint(nullptr, &printers);
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        dialog->IniFile = dir.filePath(QStringLiteral("Sheetwise.ini"));
        clearRecordedPrintMessages();
    }
    void TearDown() override {
        setPrintToDirectory(QString());
        delete dialog.data();
    }

    template <typename W = QWidget>
    W* child(const char* name) const {
        W* w = dialog->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* label) const { return child<QLabel>(label)->text(); }
    void click(const char* button) const {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void store(const QString& key, const QString& value) const {
        base::writeProfileString(dialog->IniFile, kPrintingSection, key, value);
    }

    // Loads a grid sheet as image 1, hands over the context and shows the dialog.
    void open(double widthIn = 36, double heightIn = 24, const QStringList& planNames = {}) {
        dialog->viewer().insertImage(
            1, imaging::Sheet(test::gridSheet(widthIn, heightIn, 100), 100, 100));
        dialog->viewer().setPaintSizeMode(ImagingControl::kFit);
        dialog->setBatch(dir.path(), QStringLiteral("2004/plans/"), planNames, {},
                         QStringLiteral("http://h/"), QStringLiteral("2004"), 9000);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    test::FakePrinterCatalog printers;
    QPointer<DlgPrint> dialog;
};

TEST_F(PrintDialog, OpensInItsInitialState) {
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Print Sheetwise Plan"));
    QComboBox* scale = child<QComboBox>("Combo1");
    QStringList items;
    for (int i = 0; i < scale->count(); ++i) {
        items << scale->itemText(i);
    }
    EXPECT_EQ(items, (QStringList{"100%", "75%", "66%", "50%", "33%", "25%", "Fit To Page"}));
    EXPECT_TRUE(scale->isEditable());
    EXPECT_EQ(scale->currentText(), QStringLiteral("100%"));
    const auto* selection = child<QCheckBox>("SelectionOnly");
    EXPECT_TRUE(selection->isChecked() && !selection->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("AutoClip")->isChecked() &&
                child<QCheckBox>("AutoClip")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("Marks")->isChecked());
    for (const char* hidden :
         {"WhichPage", "StatusWin", "POut", "PrintHeader", "BatchList", "BatchWin", "BatchOk",
          "sFrame", "statProgress", "tp", "APIPicture"}) {
        EXPECT_FALSE(child(hidden)->isVisible()) << hidden;
    }
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Office"));
    EXPECT_EQ(text("lpPaper"), QStringLiteral("Letter, 8 1/2 x 11 in"));
}

// The preview and the page counts follow the crop box and the scale as they change.
TEST_F(PrintDialog, CropCoverThenGridLinesThenScaleFollowTheControls) {
    open(36, 24);
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("1"));
    QList<ImagingControl::Annotation> objects = dialog->viewer().annotations();
    ASSERT_EQ(objects.size(), 4);
    for (const auto& a : objects) {
        EXPECT_EQ(a.kind, ImagingControl::Annotation::Kind::Rectangle);
        EXPECT_EQ(a.fillColour, QColor(100, 100, 100));
    }
    EXPECT_EQ(dialog->viewer().annotationMode(), 2);

    // Without the crop: 36 x 24 in on 8.5 x 11 in is 5 x 3 pages, 5 + 3 dotted lines.
    child<QCheckBox>("AutoClip")->click();
    EXPECT_EQ(QStringList({text("lblNumVert"), text("lblNumHor"), text("lblNumTotal")}),
              QStringList({"3", "5", "15"}));
    objects = dialog->viewer().annotations();
    ASSERT_EQ(objects.size(), 8);
    EXPECT_EQ(objects.front().lineStyle, 2);
    EXPECT_EQ(objects.front().lineWidth, 2.0);
    EXPECT_EQ(objects.back().tag, 8);

    // Typed scales: "50" halves the sheet; "50%%" is not a number and keeps 50 %.
    QComboBox* scale = child<QComboBox>("Combo1");
    for (const auto& [typed, total] : {std::pair{"50", "6"}, {"50%%", "6"}, {"Fit To Page", "1"}}) {
        scale->setEditText(QString::fromLatin1(typed));
        EXPECT_EQ(text("lblNumTotal"), total) << typed;
    }
}

TEST_F(PrintDialog, SelectedAreaIsOfferedOnlyWithASecondImage) {
    open();
    dialog->SetPartial();
    EXPECT_FALSE(child<QCheckBox>("SelectionOnly")->isEnabled());
    EXPECT_EQ(dialog->viewer().currentImage(), 1);

    dialog->viewer().insertImage(2, imaging::Sheet(test::gridSheet(8, 6, 100), 100, 100));
    dialog->SetPartial();
    EXPECT_TRUE(child<QCheckBox>("SelectionOnly")->isEnabled());
    EXPECT_EQ(dialog->viewer().currentImage(), 2);
    child<QCheckBox>("SelectionOnly")->click();
    EXPECT_EQ(dialog->viewer().currentImage(), 1);
    child<QCheckBox>("SelectionOnly")->click();
    EXPECT_EQ(dialog->viewer().currentImage(), 2);
    // 8 x 6 in fits on a page: the grid preview of one page.
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("1"));
    EXPECT_EQ(dialog->viewer().annotations().size(), 2);
}

TEST_F(PrintDialog, StoredPrinterIsSelectedAndExitWritesTheKeysOnce) {
    store(kDefaultPrinterKey, QStringLiteral("Plotter"));
    store(kDefaultPaperKey, QStringLiteral("3"));
    open();
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Plotter"));
    EXPECT_EQ(text("lpPaper"), QStringLiteral("Tabloid, 11 x 17 in"));
    // The printer has Letter paper only: the dialog keeps the chosen code and says so.
    EXPECT_TRUE(child<QLabel>("lpPaperInUse")->isVisible());
    EXPECT_EQ(text("lpPaperInUse"),
              QStringLiteral("The printer has no such paper; it prints on Letter, 8 1/2 x 11 in"));

    printers.currentFake().setSetting(PrinterSetting::Orientation, kLandscape);
    click("Command3");
    EXPECT_FALSE(dialog->isVisible());
    QStringList stored;
    for (const QString& key : {kDefaultPrinterKey, kDefaultPaperKey, kDefaultOrientationKey}) {
        stored << base::readProfileString(dialog->IniFile, kPrintingSection, key, QString());
    }
    // The orientation remembered when the dialog took the printer is applied before saving.
    EXPECT_EQ(stored, QStringList({"Plotter", "3", "1"}));
    QFile file(dialog->IniFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("Default Printer"), 1);
}

TEST_F(PrintDialog, PrinterSetupSwitchesPrinterWithoutLetterCase) {
    open();
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
}

TEST_F(PrintDialog, BatchListShowsSheetNamesAndSelectAllToggles) {
    open(36, 24,
         {QStringLiteral("c1~A-101 Site plan"), QStringLiteral("c2~A-102"),
          QStringLiteral("no separator"), QString()});
    click("Command2");
    QListWidget* list = child<QListWidget>("BatchList");
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("A-101 Site plan"));

    list->item(1)->setSelected(true);
    click("Command4");
    EXPECT_EQ(child<QPushButton>("Command4")->text(), QStringLiteral("Deselect All"));
    EXPECT_EQ(list->selectedItems().size(), 2);
    click("Command4");
    EXPECT_EQ(child<QPushButton>("Command4")->text(), QStringLiteral("Select All"));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    click("BatchCancel");
    EXPECT_FALSE(list->isVisible());
}

TEST_F(PrintDialog, LoadProgressIsClampedForBothBars) {
    open();
    for (const auto& [reported, shown] :
         {std::pair{0, 0}, {100, 100}, {150, 100}, {-5, 0}, {42, 42}}) {
        dialog->OnViewerLoadProgress(reported);
        EXPECT_EQ(child<QProgressBar>("statProgress")->value(), shown) << reported;
        EXPECT_EQ(child<QProgressBar>("tp")->value(), shown) << reported;
    }
    EXPECT_TRUE(child<QProgressBar>("tp")->isVisible());
}

TEST_F(PrintDialog, LayoutErrorsGoToTheListAndClearEmptiesIt) {
    printers.add(std::make_unique<FakePrinterDevice>(
        QStringLiteral("Broken"), 12240, 15840,
        FakePrinterDevice::Caps{0, 0, 0, 0, 5100, 6600, 5200, 6700}));
    store(kDefaultPrinterKey, QStringLiteral("Broken"));
    open();
    QListWidget* errors = child<QListWidget>("ld");
    ASSERT_GE(errors->count(), 1);
    EXPECT_EQ(errors->item(0)->text(), QStringLiteral("Division by zero"));
    click("clear");
    EXPECT_EQ(errors->count(), 0);
}

TEST_F(PrintDialog, PrintButtonPrintsTheTiledSheetAndCloses) {
    const QString folder = dir.filePath(QStringLiteral("out"));
    setPrintToDirectory(folder);
    open(17, 22);
    child<QCheckBox>("AutoClip")->click();
    click("Command1");
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("001.pdf"))));
    EXPECT_EQ(dialog->lastJob().pagesPrinted, 4);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(child("WhichPage")->isVisible());
    EXPECT_EQ(text("WhichPage"), QStringLiteral("Printing Page 4 of 4"));
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
