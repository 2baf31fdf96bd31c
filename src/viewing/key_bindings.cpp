#include "viewing/key_bindings.h"

#include <QKeySequence>
#include <QStringList>

namespace sw::viewing {

std::optional<KeyAction> keyBinding(QKeyCombination key) {
    const Qt::KeyboardModifiers mods = key.keyboardModifiers() & ~Qt::KeypadModifier;
    const bool plain = mods == Qt::NoModifier;
    const bool shift = mods == Qt::ShiftModifier;
    const bool ctrl = mods == Qt::ControlModifier;
    const auto command = [](const char* word) { return KeyAction{QString::fromLatin1(word), {}}; };
    const auto pan = [](int x, int y) { return KeyAction{QString(), QPoint(x, y)}; };
    switch (key.key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            if (plain || shift) {
                return command("In");
            }
            break;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            if (plain || shift) {
                return command("Out");
            }
            break;
        case Qt::Key_0:
            if (plain) {
                return command("Normal");
            }
            break;
        case Qt::Key_Left:
            return plain ? std::optional(pan(1, 0)) : std::nullopt;
        case Qt::Key_Right:
            return plain ? std::optional(pan(-1, 0)) : std::nullopt;
        case Qt::Key_Up:
            return plain ? std::optional(pan(0, 1)) : std::nullopt;
        case Qt::Key_Down:
            return plain ? std::optional(pan(0, -1)) : std::nullopt;
        case Qt::Key_PageUp:
            return plain ? std::optional(command("Previous")) : std::nullopt;
        case Qt::Key_PageDown:
            return plain ? std::optional(command("Next")) : std::nullopt;
        case Qt::Key_R:
            if (plain) {
                return command("+90");
            }
            if (shift) {
                return command("-90");
            }
            break;
        case Qt::Key_M:
            if (plain) {
                return command("Measure");
            }
            break;
        case Qt::Key_S:
            if (ctrl) {
                return command("Save");
            }
            break;
        case Qt::Key_P:
            if (ctrl) {
                return command("Print");
            }
            break;
        default:
            break;
    }
    return std::nullopt;
}

std::optional<QKeyCombination> parseKeyName(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    // QKeySequence reads "Ctrl+S" but not "ctrl+s" in every locale; normalise the words first.
    QString normalised;
    const QStringList parts =
        trimmed == QLatin1String("+") ? QStringList{trimmed} : trimmed.split(QLatin1Char('+'));
    for (const QString& part : parts) {
        QString word = part.trimmed().toLower();
        if (word.isEmpty()) {
            word = QStringLiteral("+");
        } else {
            word[0] = word[0].toUpper();
        }
        if (!normalised.isEmpty()) {
            normalised += QLatin1Char('+');
        }
        normalised += word;
    }
    const QKeySequence sequence = QKeySequence::fromString(normalised, QKeySequence::PortableText);
    if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown) {
        return std::nullopt;
    }
    return sequence[0];
}

QString windowTitle(const QString& projectName, const QString& sheetName) {
    QString title = QStringLiteral("Sheetwise");
    for (const QString& part : {projectName, sheetName}) {
        if (!part.trimmed().isEmpty()) {
            title += QStringLiteral(" \u2014 ") + part.trimmed();
        }
    }
    return title;
}

}  // namespace sw::viewing
