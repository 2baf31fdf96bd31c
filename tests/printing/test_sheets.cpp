#include "printing/test_sheets.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace sw::printing::test {

QImage gridSheet(double widthIn, double heightIn, int dpi) {
    const int w = static_cast<int>(widthIn * dpi + 0.5);
    const int h = static_cast<int>(heightIn * dpi + 0.5);
    QImage sheet(w, h, QImage::Format_Mono);
    sheet.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    sheet.fill(0);
    sheet.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
    sheet.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
    for (int x = 0; x < w; x += dpi) {
        for (int y = 0; y < h; ++y) {
            sheet.setPixel(x, y, 1);
        }
    }
    for (int y = 0; y < h; y += dpi) {
        for (int x = 0; x < w; ++x) {
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

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput())
                                          : QString();
}

QString pdfInfo(const QString& pdf, const QString& key) {
    const QRegularExpression line(QStringLiteral("^") + key + QStringLiteral(":\\s*(.*)$"),
                                  QRegularExpression::MultilineOption);
    return line.match(runTool(QStringLiteral("pdfinfo"), {pdf})).captured(1).trimmed();
}

QList<QStringList> pdfImages(const QString& pdf) {
    const QStringList lines = runTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QList<QStringList> rows;
    for (const QString& line : lines.mid(2)) {  // after the two header lines
        rows.append(line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }
    return rows;
}

QImage renderPdfPage(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString n = QString::number(page);
    runTool(
        QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), n, QStringLiteral("-l"),
         n, QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

}  // namespace sw::printing::test
