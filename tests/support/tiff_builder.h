#pragma once

#include <algorithm>

#include <QByteArray>
#include <QList>
#include <QtGlobal>

// Little-endian TIFF files built tag by tag, for tests and fuzz targets that need files no
// encoder writes: absurd sizes, odd tiles, broken codes. Header-only, Qt Core only, for
// little-endian hosts.
namespace sw::test {

struct TiffTag {
    quint16 tag;
    QList<quint32> values;  // written as SHORTs when every value fits in 16 bits, else as LONGs
};

// One image: `tags` (in any order), and StripOffsets and StripByteCounts (TileOffsets and
// TileByteCounts when a TileWidth tag is given) for `blocks`, stored after the directory.
inline QByteArray buildTiff(QList<TiffTag> tags, const QList<QByteArray>& blocks) {
    const bool tiled = std::any_of(tags.begin(), tags.end(), [](auto& t) { return t.tag == 322; });
    QList<quint32> offsets;
    QList<quint32> counts;
    for (const QByteArray& b : blocks) {
        offsets << 0;
        counts << static_cast<quint32>(b.size());
    }
    tags << TiffTag{static_cast<quint16>(tiled ? 324 : 273), offsets}
         << TiffTag{static_cast<quint16>(tiled ? 325 : 279), counts};
    std::sort(tags.begin(), tags.end(), [](auto& a, auto& b) { return a.tag < b.tag; });
    auto size = [](const TiffTag& t) {
        const bool isShort =
            t.tag != 273 && t.tag != 324 &&
            std::all_of(t.values.begin(), t.values.end(), [](quint32 v) { return v < 65536; });
        return isShort ? 2 : 4;
    };
    // Header, directory, values that do not fit in their entry, blocks.
    const auto directoryEnd = static_cast<quint32>(8 + 2 + tags.size() * 12 + 4);
    quint32 at = directoryEnd;
    for (const TiffTag& t : tags) {
        at += t.values.size() * size(t) > 4 ? t.values.size() * size(t) : 0;
    }
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        offsets[i] = at;
        at += static_cast<quint32>(blocks[i].size());
    }
    auto put = [](QByteArray& to, quint32 v, int bytes) {
        to.append(reinterpret_cast<const char*>(&v), bytes);
    };
    QByteArray out("II\x2A\0\x08\0\0\0", 8);
    QByteArray outOfLine;
    put(out, static_cast<quint32>(tags.size()), 2);
    for (const TiffTag& t : tags) {
        QByteArray values;
        for (quint32 v : t.tag == 273 || t.tag == 324 ? offsets : t.values) {
            put(values, v, size(t));
        }
        put(out, t.tag, 2);
        put(out, size(t) == 2 ? 3 : 4, 2);
        put(out, static_cast<quint32>(t.values.size()), 4);
        if (values.size() > 4) {
            put(out, directoryEnd + static_cast<quint32>(outOfLine.size()), 4);
            outOfLine.append(values);
        } else {
            out.append(values.leftJustified(4, '\0'));
        }
    }
    put(out, 0, 4);
    out.append(outOfLine);
    for (const QByteArray& b : blocks) {
        out.append(b);
    }
    return out;
}

}  // namespace sw::test
