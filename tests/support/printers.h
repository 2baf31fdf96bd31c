#pragma once

// GoogleTest printers and table-case names shared by every test. The test support library
// includes this file ahead of each test source, so all sources of a test program see the same
// printers: GoogleTest instantiates its printer for a type in each source and the linker keeps
// one of them, so sources that saw different printers would print the same type differently.
#include <ostream>
#include <string>

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

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

inline void PrintTo(const QPointF& p, std::ostream* os) {
    *os << '(' << p.x() << ',' << p.y() << ')';
}

inline void PrintTo(const QRectF& r, std::ostream* os) {
    *os << '(' << r.left() << ',' << r.top() << ' ' << r.width() << 'x' << r.height() << ')';
}

namespace sw::test {

// A table case with a `name` field prints as that name, so test lists and failures show the name
// rather than the case's bytes. A test file brings it in next to its cases with
// `using sw::test::PrintTo;`.
template <class Case>
requires requires(std::ostream& os, const Case& c) {
    os << c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// Names each case of a table after its `name` field (a name generator for
// INSTANTIATE_TEST_SUITE_P).
inline constexpr auto byName = [](const auto& info) { return std::string(info.param.name); };

}  // namespace sw::test
