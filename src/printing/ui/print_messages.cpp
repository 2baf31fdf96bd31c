#include "printing/ui/print_messages.h"

#include <cstdio>

#include <QGuiApplication>
#include <QMessageBox>

namespace sw::printing {

namespace {

bool withoutDisplay() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

}  // namespace

void showPrintMessage(QWidget* parent, const QString& text, const QString& title,
                      PrintMessageIcon icon) {
    if (withoutDisplay()) {
        const QString line = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
        recordPrintMessage(line);
        std::fprintf(stderr, "sheetwise: %s\n", qPrintable(line));
        return;
    }
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? QStringLiteral("Sheetwise") : title);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.setIcon(icon == PrintMessageIcon::Critical      ? QMessageBox::Critical
                : icon == PrintMessageIcon::Information ? QMessageBox::Information
                                                        : QMessageBox::NoIcon);
    box.exec();
}

}  // namespace sw::printing
