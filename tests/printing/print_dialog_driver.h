#pragma once

#include <functional>

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

// What the driven dialog showed when it opened.
struct OfferedPrint {
    int copies = 0;
    int from = 0;
    int to = 0;
    int maxPage = 0;
    QString printer;
};

inline void answerPrintDialog(OfferedPrint& offered, bool confirm,
                              std::function<void(QPrintDialog&)> act = {}) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [=, &offered] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        auto* to = dialog->findChild<QSpinBox*>(QStringLiteral("to"));
        offered.copies = dialog->findChild<QSpinBox*>(QStringLiteral("copies"))->value();
        offered.from = dialog->findChild<QSpinBox*>(QStringLiteral("from"))->value();
        offered.to = to->value();
        offered.maxPage = to->maximum();
        offered.printer = dialog->findChild<QComboBox*>(QStringLiteral("printers"))->currentText();
        if (act) {
            act(*dialog);
        }
        if (confirm) {
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    poll->start(20);
}

// Enters `copies` copies and, for a `from` above 0, the page range `from` to `to`.
inline std::function<void(QPrintDialog&)> choosePrint(int copies, int from, int to,
                                                      const QString& printer = {}) {
    return [=](QPrintDialog& dialog) {
        if (!printer.isEmpty()) {
            auto* printers = dialog.findChild<QComboBox*>(QStringLiteral("printers"));
            printers->setCurrentIndex(printers->findText(printer));
        }
        dialog.findChild<QSpinBox*>(QStringLiteral("copies"))->setValue(copies);
        if (from > 0) {
            dialog.findChild<QRadioButton*>(QStringLiteral("printRange"))->setChecked(true);
            dialog.findChild<QSpinBox*>(QStringLiteral("from"))->setValue(from);
            dialog.findChild<QSpinBox*>(QStringLiteral("to"))->setValue(to);
        }
    };
}

}  // namespace sw::printing::test
