#pragma once

#include "support/qt_print.h"

#include <ostream>

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

// Readable GoogleTest output for the geometry the viewing tests compare.
inline void PrintTo(const QPointF& p, std::ostream* os) {
    *os << '(' << p.x() << ',' << p.y() << ')';
}

inline void PrintTo(const QRectF& r, std::ostream* os) {
    *os << '(' << r.left() << ',' << r.top() << ' ' << r.width() << 'x' << r.height() << ')';
}

namespace sw::viewing::test {

// Table cases print as their name; a test file brings this in with `using test::PrintTo;`.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

}  // namespace sw::viewing::test
