#pragma once

#include <ostream>

#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

// GoogleTest printers for Qt text and geometry types, so failed expectations and table cases show
// the values instead of bytes.
// Every test source sees these: the test support library includes them ahead of each source.
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

inline void PrintTo(const QSize& size, std::ostream* os) {
    *os << size.width() << 'x' << size.height();
}

inline void PrintTo(const QRect& rect, std::ostream* os) {
    *os << rect.width() << 'x' << rect.height() << '+' << rect.x() << '+' << rect.y();
}
