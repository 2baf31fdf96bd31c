#include "printing/test_sheets.h"

#include <QProcess>

namespace sw::printing::test {

QImage gridSheet(double widthIn, double heightIn, int dpi, double gridIn) {
    const int w = static_cast<int>(widthIn * dpi + 0.5);
    const int h = static_cast<int>(heightIn * dpi + 0.5);
    QImage sheet(w, h, QImage::Format_Mono);
    sheet.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    sheet.fill(0);
    sheet.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
    sheet.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
    const double step = gridIn * dpi;
    for (double p = 0; p < w; p += step) {
        const int x = static_cast<int>(p + 0.5);
        for (int y = 0; y < h && x < w; ++y) {
            sheet.setPixel(x, y, 1);
        }
    }
    for (double p = 0; p < h; p += step) {
        const int y = static_cast<int>(p + 0.5);
        for (int x = 0; x < w && y < h; ++x) {
            sheet.setPixel(x, y, 1);
        }
    }
    return sheet;
}

namespace {

template <typename Dark>
QList<double> runs(int length, Dark&& dark) {
    QList<double> centres;
    int start = -1;
    for (int i = 0; i <= length; ++i) {
        const bool isDark = i < length && dark(i);
        if (isDark && start < 0) {
            start = i;
        } else if (!isDark && start >= 0) {
            centres.append((start + i - 1) / 2.0);
            start = -1;
        }
    }
    return centres;
}

}  // namespace

QList<double> darkRunsAlongRow(const QImage& page, int y, int threshold) {
    return runs(page.width(), [&](int x) { return qGray(page.pixel(x, y)) < threshold; });
}

QList<double> darkRunsAlongColumn(const QImage& page, int x, int threshold) {
    return runs(page.height(), [&](int y) { return qGray(page.pixel(x, y)) < threshold; });
}

QString runTool(const QString& program, const QStringList& arguments, int* exitCode) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        if (exitCode != nullptr) {
            *exitCode = -1;
        }
        return {};
    }
    if (exitCode != nullptr) {
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace sw::printing::test
