// Fuzz target of the sheet decoder: any bytes must either decode or fail with ImagingError,
// without a crash, a hang or an unbounded allocation. A decoded sheet is also drawn, turned and
// saved, so that odd sizes and formats reach the rest of the engine.
#include <cstddef>
#include <cstdint>

#include <QByteArrayView>
#include <QImage>

#include "imaging/imaging_error.h"
#include "imaging/sheet_renderer.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sw::imaging;
    DecodeOptions options;
    options.maxImageBytes = 8 << 20;  // small images: many runs per second, far inside the memory limit
    try {
        const Sheet sheet = decodeTiff(
            QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
            options);
        QImage view(48, 32, QImage::Format_RGB32);
        renderSheet(sheet, view, QPoint(0, 0), QRectF(-3.5, 2, 40, 27), qRgb(128, 128, 128));
        renderSheet(sheet, view, QPoint(0, 0),
                    QRectF(-10, -10, sheet.width() * 3.0, sheet.height() * 3.0), 0);
        if (static_cast<qint64>(sheet.width()) * sheet.height() <= 4'000'000) {
            const Sheet turned = rotated(sheet, 9000, 0);
            const Sheet back = decodeTiff(encodeTiff(turned, kFormatCompressed, 1));
            (void)back;
        }
    } catch (const ImagingError&) {
    }
    return 0;
}
