#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>

#include "printing/fake_printer_device.h"
#include "printing/print_to_directory.h"
#include "printing/test_sheets.h"
#include "printing/ui/dlg_print.h"
#include "printing/ui/print_messages.h"

namespace sw::printing::test {

// A test of the print dialog: a temporary folder for the settings file, the fake Letter printer
// "Office" (tests may add more), no recorded messages at the start, and the dialog deleted and
// printing to a folder switched off at the end.
class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        printers.add(FakePrinterDevice::letter(QStringLiteral("Office")));
        clearRecordedPrintMessages();
    }
    void TearDown() override {
        setPrintToDirectory(QString());
        delete dialog.data();
    }

    // Makes `made` the dialog of the test, deleting the one before; it stays after closing.
    DlgPrint* keep(DlgPrint* made) {
        delete dialog.data();
        dialog = made;
        if (made != nullptr) {
            made->setAttribute(Qt::WA_DeleteOnClose, false);
        }
        return made;
    }
    // A new dialog on the fake printers, its settings file in the folder.
    DlgPrint& make() {
        keep(new DlgPrint(nullptr, &printers))->IniFile = ini;
        return *dialog;
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
};

}  // namespace sw::printing::test
