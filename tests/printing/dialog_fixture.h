#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "imaging/ui/imaging_control.h"
#include "printing/fake_printer_device.h"
#include "printing/print_to_directory.h"
#include "printing/test_sheets.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_hand_off.h"
#include "printing/ui/print_messages.h"

namespace sw::printing::test {

// A test of the print dialog as the viewer (800 x 600) opens it: a temporary folder for the
// settings file and the plan folder, the fake Letter printer "Office" (tests may add more), no
// recorded messages at the start, and the dialog deleted and printing to a folder switched off
// at the end.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        printers.add(FakePrinterDevice::letter(QStringLiteral("Office")));
        clearRecordedPrintMessages();
        viewer.resize(800, 600);
        values.iniPath = ini;
        values.localRoot = dir.filePath(QStringLiteral("plans/north/"));
        values.projectSubPath = QStringLiteral("2004-0815/plans/");
        values.projectId = QStringLiteral("2004-0815");
        values.rotation = 90;
    }
    void TearDown() override {
        setPrintToDirectory(QString());
        delete dialog.data();
    }

    // The viewer shows a grid sheet fitted (none for a width of 0) and hands it over; the new
    // dialog replaces the test's dialog and stays after closing.
    DlgPrint* open(double widthIn = 36, double heightIn = 24, int dpi = 100) {
        if (widthIn > 0) {
            viewer.insertImage(1, grid(widthIn, heightIn, dpi));
            viewer.setPaintSizeMode(imaging::ImagingControl::kFit);
        }
        delete dialog.data();
        dialog = PrintCurrentPlan(values, viewer, v2, nullptr, &printers);
        if (dialog != nullptr) {
            dialog->setAttribute(Qt::WA_DeleteOnClose, false);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        }
        return dialog;
    }

    template <typename W = QWidget>
    W* child(const char* name) const {
        W* w = dialog->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    [[nodiscard]] QString text(const char* label) const { return child<QLabel>(label)->text(); }
    void click(const char* button) const { child<QPushButton>(button)->click(); }

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Sheetwise.ini"));
    FakePrinterCatalog printers;
    QPointer<DlgPrint> dialog;
    imaging::ImagingControl viewer;
    imaging::ImagingControl v2;
    HandOffValues values;
};

}  // namespace sw::printing::test
