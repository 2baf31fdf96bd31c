#include "viewing/ui/user_messages.h"

#include <cstdio>
#include <optional>

#include <QGuiApplication>
#include <QMessageBox>

namespace sw::viewing {
namespace {

std::optional<bool>& headlessOverride() {
    static std::optional<bool> value;
    return value;
}

QStringList& recorded() {
    static QStringList messages;
    return messages;
}

}  // namespace

void setHeadlessMessages(bool on) {
    headlessOverride() = on;
}

bool headlessMessages() {
    if (headlessOverride()) {
        return *headlessOverride();
    }
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

void showUserMessage(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) {
    if (headlessMessages()) {
        const QString line = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
        recorded() << line;
        std::fprintf(stderr, "sheetwise: %s\n", qPrintable(line));
        return;
    }
    const QString caption = title.isEmpty() ? QStringLiteral("Sheetwise") : title;
    switch (icon) {
        case MessageIcon::Information:
            QMessageBox::information(parent, caption, text);
            break;
        case MessageIcon::Warning:
            QMessageBox::warning(parent, caption, text);
            break;
        case MessageIcon::Critical:
            QMessageBox::critical(parent, caption, text);
            break;
    }
}

QStringList recordedMessages() {
    return recorded();
}

void clearRecordedMessages() {
    recorded().clear();
}

}  // namespace sw::viewing
