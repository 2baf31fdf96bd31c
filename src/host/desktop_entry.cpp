#include "host/desktop_entry.h"

#include <QStringList>

namespace sw::host {

std::optional<QString> desktopExecProgram(const QString& program) {
    static const QString kReserved = QStringLiteral(" \t\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    QString quoted;
    for (const QChar c : program) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return std::nullopt;
        }
        needsQuotes = needsQuotes || kReserved.contains(c);
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
        }
        quoted += c == u'%' ? QStringLiteral("%%") : QString(c);
    }
    if (!needsQuotes) {
        return quoted;
    }
    // The string escape applies before the quoting rule: every backslash is written twice.
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    return u'"' + quoted + u'"';
}

QString withoutMimeHandler(const QString& mimeappsList, const QString& mimeType,
                           const QString& desktopId) {
    QStringList lines = mimeappsList.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0 || line.left(equals).trimmed() != mimeType) {
            continue;
        }
        QStringList handlers = line.mid(equals + 1).trimmed().split(u';', Qt::SkipEmptyParts);
        if (handlers.removeAll(desktopId) == 0) {
            continue;
        }
        if (handlers.isEmpty()) {
            lines.removeAt(i--);
        } else {
            lines[i] = mimeType + u'=' + handlers.join(u';') + u';';
        }
    }
    return lines.join(u'\n');
}

}  // namespace sw::host
