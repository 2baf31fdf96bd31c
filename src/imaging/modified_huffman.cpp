#include "imaging/modified_huffman.h"

#include <array>
#include <cstdint>
#include <vector>

namespace sw::imaging {

namespace {

struct Code {
    const char* bits;
    int run;
};

// ITU-T T.4 terminating (0..63) and make-up (64..1728) codes.
constexpr Code kWhite[] = {
    {"00110101", 0},     {"000111", 1},       {"0111", 2},         {"1000", 3},
    {"1011", 4},         {"1100", 5},         {"1110", 6},         {"1111", 7},
    {"10011", 8},        {"10100", 9},        {"00111", 10},       {"01000", 11},
    {"001000", 12},      {"000011", 13},      {"110100", 14},      {"110101", 15},
    {"101010", 16},      {"101011", 17},      {"0100111", 18},     {"0001100", 19},
    {"0001000", 20},     {"0010111", 21},     {"0000011", 22},     {"0000100", 23},
    {"0101000", 24},     {"0101011", 25},     {"0010011", 26},     {"0100100", 27},
    {"0011000", 28},     {"00000010", 29},    {"00000011", 30},    {"00011010", 31},
    {"00011011", 32},    {"00010010", 33},    {"00010011", 34},    {"00010100", 35},
    {"00010101", 36},    {"00010110", 37},    {"00010111", 38},    {"00101000", 39},
    {"00101001", 40},    {"00101010", 41},    {"00101011", 42},    {"00101100", 43},
    {"00101101", 44},    {"00000100", 45},    {"00000101", 46},    {"00001010", 47},
    {"00001011", 48},    {"01010010", 49},    {"01010011", 50},    {"01010100", 51},
    {"01010101", 52},    {"00100100", 53},    {"00100101", 54},    {"01011000", 55},
    {"01011001", 56},    {"01011010", 57},    {"01011011", 58},    {"01001010", 59},
    {"01001011", 60},    {"00110010", 61},    {"00110011", 62},    {"00110100", 63},
    {"11011", 64},       {"10010", 128},      {"010111", 192},     {"0110111", 256},
    {"00110110", 320},   {"00110111", 384},   {"01100100", 448},   {"01100101", 512},
    {"01101000", 576},   {"01100111", 640},   {"011001100", 704},  {"011001101", 768},
    {"011010010", 832},  {"011010011", 896},  {"011010100", 960},  {"011010101", 1024},
    {"011010110", 1088}, {"011010111", 1152}, {"011011000", 1216}, {"011011001", 1280},
    {"011011010", 1344}, {"011011011", 1408}, {"010011000", 1472}, {"010011001", 1536},
    {"010011010", 1600}, {"011000", 1664},    {"010011011", 1728},
};

constexpr Code kBlack[] = {
    {"0000110111", 0},
    {"010", 1},
    {"11", 2},
    {"10", 3},
    {"011", 4},
    {"0011", 5},
    {"0010", 6},
    {"00011", 7},
    {"000101", 8},
    {"000100", 9},
    {"0000100", 10},
    {"0000101", 11},
    {"0000111", 12},
    {"00000100", 13},
    {"00000111", 14},
    {"000011000", 15},
    {"0000010111", 16},
    {"0000011000", 17},
    {"0000001000", 18},
    {"00001100111", 19},
    {"00001101000", 20},
    {"00001101100", 21},
    {"00000110111", 22},
    {"00000101000", 23},
    {"00000010111", 24},
    {"00000011000", 25},
    {"000011001010", 26},
    {"000011001011", 27},
    {"000011001100", 28},
    {"000011001101", 29},
    {"000001101000", 30},
    {"000001101001", 31},
    {"000001101010", 32},
    {"000001101011", 33},
    {"000011010010", 34},
    {"000011010011", 35},
    {"000011010100", 36},
    {"000011010101", 37},
    {"000011010110", 38},
    {"000011010111", 39},
    {"000001101100", 40},
    {"000001101101", 41},
    {"000011011010", 42},
    {"000011011011", 43},
    {"000001010100", 44},
    {"000001010101", 45},
    {"000001010110", 46},
    {"000001010111", 47},
    {"000001100100", 48},
    {"000001100101", 49},
    {"000001010010", 50},
    {"000001010011", 51},
    {"000000100100", 52},
    {"000000110111", 53},
    {"000000111000", 54},
    {"000000100111", 55},
    {"000000101000", 56},
    {"000001011000", 57},
    {"000001011001", 58},
    {"000000101011", 59},
    {"000000101100", 60},
    {"000001011010", 61},
    {"000001100110", 62},
    {"000001100111", 63},
    {"0000001111", 64},
    {"000011001000", 128},
    {"000011001001", 192},
    {"000001011011", 256},
    {"000000110011", 320},
    {"000000110100", 384},
    {"000000110101", 448},
    {"0000001101100", 512},
    {"0000001101101", 576},
    {"0000001001010", 640},
    {"0000001001011", 704},
    {"0000001001100", 768},
    {"0000001001101", 832},
    {"0000001110010", 896},
    {"0000001110011", 960},
    {"0000001110100", 1024},
    {"0000001110101", 1088},
    {"0000001110110", 1152},
    {"0000001110111", 1216},
    {"0000001010010", 1280},
    {"0000001010011", 1344},
    {"0000001010100", 1408},
    {"0000001010101", 1472},
    {"0000001011010", 1536},
    {"0000001011011", 1600},
    {"0000001100100", 1664},
    {"0000001100101", 1728},
};

// Make-up codes 1792..2560, the same for both colours.
constexpr Code kExtended[] = {
    {"00000001000", 1792},  {"00000001100", 1856},  {"00000001101", 1920},  {"000000010010", 1984},
    {"000000010011", 2048}, {"000000010100", 2112}, {"000000010101", 2176}, {"000000010110", 2240},
    {"000000010111", 2304}, {"000000011100", 2368}, {"000000011101", 2432}, {"000000011110", 2496},
    {"000000011111", 2560},
};

constexpr int kPeek = 13;  // longest code

// Lookup by the next 13 bits: code length (0: no code) and run length.
struct Entry {
    std::uint8_t length = 0;
    std::uint16_t run = 0;
};

using Table = std::vector<Entry>;

void add(Table& table, const Code& code) {
    int length = 0;
    unsigned value = 0;
    for (const char* c = code.bits; *c; ++c, ++length) {
        value = (value << 1) | (*c == '1');
    }
    const unsigned first = value << (kPeek - length);
    for (unsigned i = 0; i < (1u << (kPeek - length)); ++i) {
        table[first + i] = {static_cast<std::uint8_t>(length),
                            static_cast<std::uint16_t>(code.run)};
    }
}

const Table& table(bool black) {
    static const std::array<Table, 2> tables = [] {
        std::array<Table, 2> t{Table(1 << kPeek), Table(1 << kPeek)};
        for (const Code& c : kWhite) {
            add(t[0], c);
        }
        for (const Code& c : kBlack) {
            add(t[1], c);
        }
        for (const Code& c : kExtended) {
            add(t[0], c);
            add(t[1], c);
        }
        return t;
    }();
    return tables[black ? 1 : 0];
}

class BitReader {
public:
    BitReader(QByteArrayView data, bool reversed) : m_data(data), m_reversed(reversed) {}
    [[nodiscard]] qint64 remaining() const { return m_data.size() * 8 - m_pos; }
    [[nodiscard]] unsigned peek(int n) const {
        unsigned v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 1) | bit(m_pos + i);
        }
        return v;
    }
    void skip(int n) { m_pos += n; }

private:
    [[nodiscard]] unsigned bit(qint64 at) const {
        if (at >= m_data.size() * 8) {
            return 0;
        }
        const auto byte = static_cast<unsigned char>(m_data[at >> 3]);
        const int k = static_cast<int>(at & 7);
        return m_reversed ? (byte >> k) & 1 : (byte >> (7 - k)) & 1;
    }

    QByteArrayView m_data;
    bool m_reversed;
    qint64 m_pos = 0;
};

// Skips fill bits and end-of-line codes (eleven or more zeros, then a one) before a row.
void skipEndOfLines(BitReader& in) {
    while (in.remaining() >= 12 && in.peek(11) == 0) {
        int zeros = 11;
        while (in.remaining() > zeros && in.peek(zeros + 1) == 0) {
            ++zeros;
        }
        in.skip(zeros + 1);
    }
}

void setRun(uchar* row, int from, int to) {
    for (int x = from; x < to; ++x) {
        row[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
    }
}

// A run is the sum of any number of make-up codes and one terminating code, all chosen by the
// file: every step is checked against what is left of the row, so the sum never exceeds the
// width (and never overflows) whatever the codes add up to.
bool decodeRow(BitReader& in, int width, uchar* row) {
    int x = 0;
    bool black = false;
    while (x < width) {
        int run = 0;
        for (;;) {
            if (in.remaining() <= 0) {
                return false;
            }
            const Entry e = table(black)[in.peek(kPeek)];
            if (e.length == 0 || e.run > width - x - run) {
                return false;
            }
            in.skip(e.length);
            run += e.run;
            if (e.run < 64) {
                break;
            }
        }
        if (black) {
            setRun(row, x, x + run);
        }
        x += run;
        black = !black;
    }
    return true;
}

}  // namespace

bool decodeModifiedHuffman(QByteArrayView strip, bool reversed, int width, int firstRow, int rows,
                           QImage& mono) {
    if (width <= 0 || width > mono.width() || mono.format() != QImage::Format_Mono ||
        firstRow < 0 || rows < 0 || rows > mono.height() - firstRow) {
        return false;
    }
    BitReader in(strip, reversed);
    for (int r = 0; r < rows; ++r) {
        uchar* row = mono.scanLine(firstRow + r);
        std::fill_n(row, mono.bytesPerLine(), 0);
        skipEndOfLines(in);
        if (!decodeRow(in, width, row)) {
            return false;
        }
    }
    return true;
}

}  // namespace sw::imaging
