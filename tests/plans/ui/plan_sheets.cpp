#include "plan_sheets.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

#include "imaging/tiff_writer.h"

namespace sw::test {

imaging::Sheet cornerMarkedSheet(int w, int h) {
    QImage image(w, h, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            image.setPixel(x, y, 1);
        }
    }
    return imaging::Sheet(image, 200, 200);
}

bool isInk(const imaging::Sheet& sheet, int x, int y) {
    return sheet.image().pixelIndex(x, y) == 1;
}

void writeSheet(const QString& path, const imaging::Sheet& sheet) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    imaging::saveTiffFile(sheet, path, imaging::kFormatCompressed, 1);
}

QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace sw::test
