#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace sw::viewing {

enum class MessageIcon { Information, Warning, Critical };

// The one way the viewer tells the user about a failed command ("ErrPath: ...", a sheet that
// cannot be opened). Normally a message box; when the application runs headless (a script run,
// or the offscreen or minimal platform) nothing may block, so the message is recorded for the
// host calls' state dump and written to stderr instead. UI thread only.
void showUserMessage(QWidget* parent, const QString& text, const QString& title = QString(),
                     MessageIcon icon = MessageIcon::Information);

// Forces the headless behaviour on or off (the platform decides when never set).
void setHeadlessMessages(bool on);
[[nodiscard]] bool headlessMessages();

// The messages recorded while headless, oldest first, each "title: text" or just the text.
[[nodiscard]] QStringList recordedMessages();
void clearRecordedMessages();

}  // namespace sw::viewing
