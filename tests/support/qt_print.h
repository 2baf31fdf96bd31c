#pragma once

#include <ostream>

#include <QString>
#include <QStringList>

// GoogleTest printers for Qt text types, so failed expectations show the text instead of bytes.
// Include in a test file after the code under test.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i) {
        *os << (i == 0 ? "" : ", ") << '"' << list.at(i).toStdString() << '"';
    }
    *os << '}';
}
