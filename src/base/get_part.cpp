#include "base/get_part.h"

#include <cstdint>

#include "base/vb.h"

namespace sw::base {

QString GetPart(QString& startStrg, const QString& delimiter) {
    std::int16_t i = 1;
    // The character at 1-based position i, empty past the end of the text.
    while (startStrg.mid(i - 1, 1) != delimiter) {
        i = vb::add16(i, 1);
    }
    QString part = startStrg.left(i);
    startStrg = startStrg.mid(i);
    return part;
}

}  // namespace sw::base
