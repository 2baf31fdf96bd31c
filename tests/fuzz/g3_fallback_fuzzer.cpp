// Fuzz target of the G3 one-dimensional fallback decoder (modified_huffman.h), our own code for
// the CCITT strips libtiff refuses. Input: width (2 bytes, 1..4096), rows (1..64), bit order,
// then the code stream. The rows are decoded between a guard row above and one below, which must
// stay untouched: a write outside the rows given is a fault even where it stays inside the
// allocation (and so escapes AddressSanitizer).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <QByteArrayView>
#include <QImage>

#include "imaging/modified_huffman.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const int width = 1 + (data[0] | data[1] << 8) % 4096;
    const int rows = 1 + data[2] % 64;
    QImage image(width, rows + 2, QImage::Format_Mono);
    std::memset(image.bits(), 0, static_cast<std::size_t>(image.sizeInBytes()));
    const QByteArrayView codes(reinterpret_cast<const char*>(data + 4),
                               static_cast<qsizetype>(size - 4));
    sw::imaging::decodeModifiedHuffman(codes, data[3] & 1, width, 1, rows, image);
    const QByteArray zero(image.bytesPerLine(), '\0');
    for (const int guard : {0, rows + 1}) {
        if (std::memcmp(image.constScanLine(guard), zero.constData(), zero.size()) != 0) {
            std::abort();
        }
    }
    return 0;
}
