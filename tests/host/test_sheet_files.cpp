#include "test_sheet_files.h"

#include <QImage>

#include "imaging/sheet.h"
#include "imaging/tiff_writer.h"

namespace sw::host::test {

void writeTestSheet(const QString& path, int widthInches, int heightInches, int dpi) {
    QImage image(widthInches * dpi, heightInches * dpi, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int x = 0; x < image.width(); ++x) {
        image.setPixel(x, 0, 1);
        image.setPixel(x, image.height() - 1, 1);
    }
    imaging::saveTiffFile(imaging::Sheet(image, dpi, dpi), path, imaging::kFormatCompressed, 1);
}

}  // namespace sw::host::test
