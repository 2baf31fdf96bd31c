#pragma once

#include <QApplication>
#include <QComboBox>
#include <QPrintDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

// Drives the system's Print dialog (QPrintDialog) from a test as a user would: the dialog is
// found as the active modal window once it is open, its fields are read and set, then it is
// confirmed or cancelled. Arm it before the call that opens the dialog.
namespace sw::printing::test {

// What the user enters: copies (0: as offered), the page range `from` to `to` (from 0: as
// offered) and a printer (empty: as offered).
struct PrintChoice {
    int copies = 0;
    int from = 0;
    int to = 0;
    QString printer;
};

// What the driven dialog showed when it opened.
struct OfferedPrint {
    int copies = 0;
    int from = 0;
    int to = 0;
    int maxPage = 0;
    QString printer;
};

inline void answerPrintDialog(OfferedPrint& offered, bool confirm, PrintChoice choice = {}) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=, &offered] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        const auto spin = [&](const char* name) { return dialog->findChild<QSpinBox*>(name); };
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        offered = {spin("copies")->value(), spin("from")->value(), spin("to")->value(),
                   spin("to")->maximum(), printers->currentText()};
        if (!choice.printer.isEmpty()) {
            printers->setCurrentIndex(printers->findText(choice.printer));
        }
        if (choice.copies > 0) {
            spin("copies")->setValue(choice.copies);
        }
        if (choice.from > 0) {
            dialog->findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
            spin("from")->setValue(choice.from);
            spin("to")->setValue(choice.to);
        }
        confirm ? dialog->accept() : dialog->reject();
    });
    poll->start(20);
}

}  // namespace sw::printing::test
