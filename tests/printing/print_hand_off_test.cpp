#include "printing/ui/print_hand_off.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QTemporaryDir>

#include "imaging/sheet.h"
#include "imaging/ui/imaging_control.h"
#include "printing/fake_printer_device.h"
#include "printing/test_sheets.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_messages.h"

namespace sw::printing {
namespace {

using imaging::ImagingControl;

class HandOff : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        printers.add(test::FakePrinterDevice::letter(QStringLiteral("Office")));
        viewer.resize(800, 600);
        values.iniPath = dir.filePath(QStringLiteral("Sheetwise.ini"));
        values.localRoot = dir.path() + QStringLiteral("/Main/");
        values.projectSubPath = QStringLiteral("2004-0815/plans/");
        values.planLabels = {QStringLiteral("c1~A-101"), QStringLiteral("c2~A-102"), QString()};
        values.planFiles = {QStringLiteral("a101.tif"), QStringLiteral("a102.tif"), QString()};
        values.planUrl = QStringLiteral("http://plans.example/2004/0815/plans/");
        values.projectId = QStringLiteral("2004-0815");
        values.rotation = 90;
        clearRecordedPrintMessages();
    }
    void TearDown() override {
        for (const QPointer<DlgPrint>& d : dialogs) {
            delete d.data();
        }
    }

    void load(double widthIn, double heightIn, int dpi) {
        viewer.insertImage(1, imaging::Sheet(test::gridSheet(widthIn, heightIn, dpi), dpi, dpi));
        viewer.setPaintSizeMode(ImagingControl::kFit);
    }

    DlgPrint* handOff() {
        DlgPrint* dialog = PrintCurrentPlan(values, viewer, v2, nullptr, &printers);
        if (dialog != nullptr) {
            dialog->setAttribute(Qt::WA_DeleteOnClose, false);
            dialogs.append(dialog);
        }
        return dialog;
    }

    QTemporaryDir dir;
    test::FakePrinterCatalog printers;
    ImagingControl viewer;
    ImagingControl v2;
    HandOffValues values;
    QList<QPointer<DlgPrint>> dialogs;
};

struct LimitCase {
    int dpi;
    int widthAfter;  // of a 10 x 5 in sheet
    int dpiAfter;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << c.dpi << " dpi";
}

class ResolutionLimit : public HandOff, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(ResolutionLimit, SheetsFinerThan200DpiAreResampledInTheViewerToo) {
    const LimitCase& c = GetParam();
    load(10, 5, c.dpi);
    DlgPrint* dialog = handOff();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(viewer.imageWidth(), c.widthAfter);
    EXPECT_DOUBLE_EQ(viewer.resolutionX(), c.dpiAfter);
    EXPECT_DOUBLE_EQ(viewer.resolutionY(), c.dpiAfter);
    ASSERT_EQ(dialog->viewer().imageCount(), 1);
    EXPECT_EQ(dialog->viewer().imageWidth(), c.widthAfter);
    EXPECT_EQ(dialog->viewer().picture().depth(), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, ResolutionLimit,
                         ::testing::Values(LimitCase{100, 1000, 100}, LimitCase{200, 2000, 200},
                                           LimitCase{201, 2000, 200}, LimitCase{400, 2000, 200}));

TEST_F(HandOff, FittedSheetGivesOneImageAndTheViewersValues) {
    load(36, 24, 100);
    for (const bool set : {false, true}) {
        values.printInBlue = values.reversePrint = set;
        DlgPrint* dialog = handOff();
        ASSERT_NE(dialog, nullptr);
        EXPECT_TRUE(dialog->isVisible() && !dialog->isModal());
        EXPECT_EQ(dialog->viewer().imageCount(), 1);
        EXPECT_EQ(dialog->viewer().paintSizeMode(), ImagingControl::kFit);
        EXPECT_FALSE(dialog->findChild<QCheckBox*>(QStringLiteral("SelectionOnly"))->isEnabled());
        EXPECT_EQ(dialog->IniFile, values.iniPath);
        EXPECT_EQ(dialog->BatchSave, values.localRoot);
        EXPECT_TRUE(dialog->PrintSettingsHaveChanged);
        EXPECT_EQ(dialog->UseBlue, set);
        EXPECT_EQ(dialog->ReverseBatch, set);
        EXPECT_EQ(dialog->viewer().picture().colorTable().contains(qRgb(0, 0, 255)), set);
    }
}

TEST_F(HandOff, ZoomedSheetAddsTheVisiblePartAsImageTwo) {
    load(36, 24, 200);  // 7200 x 4800
    viewer.setPaintSizeMode(ImagingControl::kZoom);
    viewer.setDisplayRect(QRectF(-300, -100, 14400, 9600));
    DlgPrint* dialog = handOff();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->viewer().imageCount(), 2);
    EXPECT_EQ(dialog->viewer().currentImage(), 2);
    // 150, 50 from the corner; the 800 x 600 window at 200 % is 400 x 300 sheet pixels.
    EXPECT_EQ(dialog->viewer().sheet().size(), QSize(400, 300));
    EXPECT_TRUE(dialog->findChild<QCheckBox*>(QStringLiteral("SelectionOnly"))->isEnabled());
    EXPECT_EQ(v2.loadedImage(), 0);
    dialog->viewer().setCurrentImage(1);
    EXPECT_EQ(dialog->viewer().sheet().size(), QSize(7200, 4800));
}

TEST_F(HandOff, RotationBeyondSixteenBitsShowsTheErrorAndOpensNoDialog) {
    load(8, 10, 100);
    values.rotation = 400;
    EXPECT_EQ(handOff(), nullptr);
    EXPECT_EQ(recordedPrintMessages(), QStringList{QStringLiteral("6: Overflow")});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget* w : QApplication::topLevelWidgets()) {
        EXPECT_EQ(qobject_cast<DlgPrint*>(w), nullptr);
    }
}

TEST_F(HandOff, NoSheetOpensAnEmptyDialog) {
    DlgPrint* dialog = handOff();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->viewer().loadedImage(), 0);
    EXPECT_TRUE(recordedPrintMessages().isEmpty());
}

}  // namespace
}  // namespace sw::printing
