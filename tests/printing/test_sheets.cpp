#include "printing/test_sheets.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace sw::printing::test {

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

// Runs a program and returns its standard output; empty when it cannot be run.
QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) ? QString::fromUtf8(process.readAllStandardOutput())
                                          : QString();
}

}  // namespace

QImage gridSheet(double widthIn, double heightIn, int dpi) {
    QImage sheet(qRound(widthIn * dpi), qRound(heightIn * dpi), QImage::Format_Mono);
    sheet.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    sheet.fill(0);
    sheet.setDotsPerMeterX(qRound(dpi / 0.0254));
    sheet.setDotsPerMeterY(qRound(dpi / 0.0254));
    for (int x = 0; x < sheet.width(); x += dpi) {
        for (int y = 0; y < sheet.height(); ++y) {
            sheet.setPixel(x, y, 1);
        }
    }
    for (int y = 0; y < sheet.height(); y += dpi) {
        for (int x = 0; x < sheet.width(); ++x) {
            sheet.setPixel(x, y, 1);
        }
    }
    return sheet;
}

QList<double> darkRunsAlongRow(const QImage& page, int y, int threshold) {
    return runs(page.width(), [&](int x) { return qGray(page.pixel(x, y)) < threshold; });
}

QList<double> darkRunsAlongColumn(const QImage& page, int x, int threshold) {
    return runs(page.height(), [&](int y) { return qGray(page.pixel(x, y)) < threshold; });
}

QList<double> gaps(const QList<double>& runs) {
    QList<double> out;
    for (qsizetype i = 1; i < runs.size(); ++i) {
        out.append(runs[i] - runs[i - 1]);
    }
    return out;
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
    runTool(QStringLiteral("pdftoppm"),
            {"-r", QString::number(dpi), "-f", n, "-l", n, "-singlefile", "-png", pdf, prefix});
    return QImage(prefix + QStringLiteral(".png"));
}

}  // namespace sw::printing::test
