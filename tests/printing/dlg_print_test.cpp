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

#include "host/ini_store.h"
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
using test::FakePrinterCatalog;
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

    template <typename W>
    W* child(const char* name) const {
        W* w = dialog->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    // Loads a grid sheet as image 1, hands over the context and shows the dialog.
    void open(double widthIn = 36, double heightIn = 24, int dpi = 100,
              const QStringList& planNames = {}) {
        dialog->viewer().insertImage(
            1, imaging::Sheet(test::gridSheet(widthIn, heightIn, dpi), dpi, dpi));
        dialog->viewer().setPaintSizeMode(ImagingControl::kFit);
        dialog->setBatch(dir.path(), QStringLiteral("2004/plans/"), planNames, {},
                         QStringLiteral("http://h/"), QStringLiteral("2004"), 9000);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        QCoreApplication::processEvents();
    }

    QString text(const char* label) const { return child<QLabel>(label)->text(); }

    QList<ImagingControl::Annotation> preview() const { return dialog->viewer().annotations(); }

    QTemporaryDir dir;
    FakePrinterCatalog printers;
    QPointer<DlgPrint> dialog;
};

TEST_F(PrintDialog, HasEveryControlOfTheDesign) {
    EXPECT_EQ(dialog->objectName(), QStringLiteral("DlgPrint"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Print Sheetwise Plan"));
    for (const char* name :
         {"viewer",    "Frame2",        "SelectionOnly",    "AutoClip",    "Combo1",
          "Label2",    "Frame1",        "lblNumVert",       "Label5",      "lblNumHor",
          "Label6",    "lblNumTotal",   "fraPrinterSelect", "Label1",      "lbPrinter",
          "lpPaper",   "btnPrintSetup", "Command1",         "Command2",    "Command3",
          "BatchList", "Command4",      "BatchOk",          "BatchCancel", "BatchWin",
          "sFrame",    "statFrame",     "statProgress",     "dstat",       "statWin",
          "tp",        "PrintHeader",   "WhichPage",        "POut",        "StatusWin",
          "ld",        "clear",         "APIPicture",       "Marks"}) {
        EXPECT_NE(dialog->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(child<QPushButton>("Command4")->text(), QStringLiteral("Select All"));
    EXPECT_EQ(child<QPushButton>("BatchOk")->text(), QStringLiteral("Download and Print"));
    EXPECT_EQ(child<QLabel>("PrintHeader")->text(), QStringLiteral("Printing . . ."));
    EXPECT_EQ(child<QLabel>("Label2")->text(), QStringLiteral("Scale"));
    QComboBox* scale = child<QComboBox>("Combo1");
    QStringList items;
    for (int i = 0; i < scale->count(); ++i) {
        items << scale->itemText(i);
    }
    EXPECT_EQ(items, (QStringList{"100%", "75%", "66%", "50%", "33%", "25%", "Fit To Page"}));
    EXPECT_TRUE(scale->isEditable());
}

TEST_F(PrintDialog, OpensInItsInitialState) {
    open();
    EXPECT_EQ(child<QComboBox>("Combo1")->currentText(), QStringLiteral("100%"));
    EXPECT_TRUE(child<QCheckBox>("SelectionOnly")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("SelectionOnly")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("AutoClip")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("AutoClip")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("Marks")->isChecked());
    for (const char* hidden :
         {"WhichPage", "StatusWin", "POut", "PrintHeader", "BatchList", "BatchWin", "BatchOk",
          "sFrame", "statProgress", "tp", "APIPicture"}) {
        EXPECT_FALSE(child<QWidget>(hidden)->isVisible()) << hidden;
    }
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Office"));
    EXPECT_EQ(text("lpPaper"), QStringLiteral("Letter, 8 1/2 x 11 in"));
}

TEST_F(PrintDialog, CropCoverThenGridLinesThenScaleFollowTheControls) {
    open(36, 24, 100);
    // Crop to 1 Page: one page, four grey strips.
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("1"));
    QList<ImagingControl::Annotation> objects = preview();
    ASSERT_EQ(objects.size(), 4);
    for (const auto& a : objects) {
        EXPECT_EQ(a.kind, ImagingControl::Annotation::Kind::Rectangle);
        EXPECT_EQ(a.fillColour, QColor(100, 100, 100));
    }
    EXPECT_EQ(dialog->viewer().annotationMode(), 2);

    // Without the crop: 36 x 24 in on 8.5 x 11 in is 5 x 3 pages, 5 + 3 dotted lines.
    child<QCheckBox>("AutoClip")->click();
    EXPECT_EQ(text("lblNumVert"), QStringLiteral("3"));
    EXPECT_EQ(text("lblNumHor"), QStringLiteral("5"));
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("15"));
    objects = preview();
    ASSERT_EQ(objects.size(), 8);
    EXPECT_EQ(objects.front().lineStyle, 2);
    EXPECT_EQ(objects.front().lineWidth, 2.0);
    EXPECT_EQ(objects.front().tag, 1);
    EXPECT_EQ(objects.back().tag, 8);

    // Typed scales: "50" halves the sheet; "50%%" is not a number and keeps 50 %.
    QComboBox* scale = child<QComboBox>("Combo1");
    scale->setEditText(QStringLiteral("50"));
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("6"));
    scale->setEditText(QStringLiteral("50%%"));
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("6"));
    scale->setEditText(QStringLiteral("Fit To Page"));
    EXPECT_EQ(text("lblNumTotal"), QStringLiteral("1"));
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
    EXPECT_EQ(preview().size(), 2);
}

TEST_F(PrintDialog, StoredPrinterIsSelectedAndExitWritesTheKeys) {
    host::writeProfileString(dialog->IniFile, QStringLiteral("Printing"),
                             QStringLiteral("Default Printer"), QStringLiteral("Plotter"));
    host::writeProfileString(dialog->IniFile, QStringLiteral("Printing"),
                             QStringLiteral("Default Paper"), QStringLiteral("3"));
    open();
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Plotter"));
    EXPECT_EQ(text("lpPaper"), QStringLiteral("Tabloid, 11 x 17 in"));

    printers.currentFake().setSetting(PrinterSetting::Orientation, kLandscape);
    QTest::mouseClick(child<QPushButton>("Command3"), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    const auto stored = [&](const char* key) {
        return host::readProfileString(dialog->IniFile, QStringLiteral("Printing"),
                                       QString::fromLatin1(key), QString());
    };
    EXPECT_EQ(stored("Default Printer"), QStringLiteral("Plotter"));
    EXPECT_EQ(stored("Default Paper"), QStringLiteral("3"));
    // The orientation remembered when the dialog took the printer is applied before saving.
    EXPECT_EQ(stored("Default Orientation"), QStringLiteral("1"));
    QFile file(dialog->IniFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("Default Printer"), 1);
}

TEST_F(PrintDialog, PrinterSetupSwitchesPrinterWithoutLetterCase) {
    open();
    PrinterSetupChoice choice;
    choice.printerName = QStringLiteral("plotter");
    choice.values[static_cast<int>(PrinterSetting::PaperSize)] = 5;
    auto setup = std::make_unique<ScriptedSetup>(choice);
    ScriptedSetup* seen = setup.get();
    dialog->setPrinterSetup(std::move(setup));
    QTest::mouseClick(child<QPushButton>("btnPrintSetup"), Qt::LeftButton);
    EXPECT_EQ(seen->offered.printerName, QStringLiteral("Office"));
    EXPECT_FALSE(printers.trackDefault());
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Plotter"));
    EXPECT_EQ(text("lpPaper"), QStringLiteral("Legal, 8 1/2 x 14 in"));

    dialog->setPrinterSetup(std::make_unique<ScriptedSetup>(std::nullopt));
    QTest::mouseClick(child<QPushButton>("btnPrintSetup"), Qt::LeftButton);
    EXPECT_EQ(text("lbPrinter"), QStringLiteral("Plotter"));
}

TEST_F(PrintDialog, BatchListShowsSheetNamesAndSelectAllToggles) {
    open(36, 24, 100,
         {QStringLiteral("c1~A-101 Site plan"), QStringLiteral("c2~A-102"),
          QStringLiteral("no separator"), QString()});
    QTest::mouseClick(child<QPushButton>("Command2"), Qt::LeftButton);
    QListWidget* list = child<QListWidget>("BatchList");
    EXPECT_TRUE(list->isVisible());
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("A-101 Site plan"));

    QPushButton* toggle = child<QPushButton>("Command4");
    list->item(1)->setSelected(true);
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(toggle->text(), QStringLiteral("Deselect All"));
    EXPECT_EQ(list->selectedItems().size(), 2);
    QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(toggle->text(), QStringLiteral("Select All"));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    QTest::mouseClick(child<QPushButton>("BatchCancel"), Qt::LeftButton);
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
    host::writeProfileString(dialog->IniFile, QStringLiteral("Printing"),
                             QStringLiteral("Default Printer"), QStringLiteral("Broken"));
    open();
    QListWidget* errors = child<QListWidget>("ld");
    ASSERT_GE(errors->count(), 1);
    EXPECT_EQ(errors->item(0)->text(), QStringLiteral("Division by zero"));
    QTest::mouseClick(child<QPushButton>("clear"), Qt::LeftButton);
    EXPECT_EQ(errors->count(), 0);
}

TEST_F(PrintDialog, PrintButtonPrintsTheTiledSheetAndCloses) {
    const QString folder = dir.filePath(QStringLiteral("out"));
    setPrintToDirectory(folder);
    open(17, 22, 100);
    child<QCheckBox>("AutoClip")->click();
    QTest::mouseClick(child<QPushButton>("Command1"), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("001.pdf"))));
    EXPECT_EQ(dialog->lastJob().pagesPrinted, 4);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_FALSE(child<QLabel>("WhichPage")->isVisible());
    EXPECT_EQ(child<QLabel>("WhichPage")->text(), QStringLiteral("Printing Page 4 of 4"));
    EXPECT_TRUE(recordedPrintMessages().isEmpty());
}

TEST(PrintDialogLife, DeletesItselfWhenClosed) {
    FakePrinterCatalog printers;
    printers.add(FakePrinterDevice::letter());
    QPointer<DlgPrint> dialog = new DlgPrint(nullptr, &printers);
    dialog->show();
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
}

TEST(FileList, NamesOrdinaryFilesOrOneEmptyName) {
    QTemporaryDir dir;
    for (const char* name : {"0-tmp.tif", "1-tmp.tif", "notes.txt", ".hidden.tif"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir(dir.path()).mkdir(QStringLiteral("folder.tif"));
    EXPECT_EQ(DlgPrint::FileList(dir.filePath(QStringLiteral("*.tif"))),
              (QStringList{"0-tmp.tif", "1-tmp.tif"}));
    EXPECT_EQ(DlgPrint::FileList(dir.path() + QLatin1Char('/')).size(), 3);
    EXPECT_EQ(DlgPrint::FileList(dir.filePath(QStringLiteral("*.pdf"))), QStringList{QString()});
    EXPECT_EQ(DlgPrint::FileList(dir.filePath(QStringLiteral("missing/*"))),
              QStringList{QString()});
}

}  // namespace
}  // namespace sw::printing
