#include "synthetic_sheet.h"

#include <cstdint>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPainterPath>

#include "imaging/tiff_writer.h"

namespace sw::bench {

namespace {

// Small linear congruential generator: the same drawing on every machine.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : m_state(seed) {}
    int next(int bound) {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<int>((m_state >> 8) % static_cast<std::uint32_t>(bound));
    }

private:
    std::uint32_t m_state;
};

void drawPlan(QPainter& p, int w, int h) {
    const int unit = w / 240;  // 60 px at 14400 wide
    p.setPen(QPen(Qt::black, unit / 6.0));
    p.drawRect(QRectF(unit, unit, w - 2 * unit, h - 2 * unit));
    p.drawRect(QRectF(w - 60 * unit, h - 20 * unit, 58 * unit, 18 * unit));
    Lcg random(20261206);
    // Walls on a grid, thick and thin, with door swings.
    for (int i = 0; i < 36; ++i) {
        const int x = (4 + random.next(170)) * unit;
        const int y = (4 + random.next(130)) * unit;
        const int len = (10 + random.next(60)) * unit;
        p.setPen(QPen(Qt::black, i % 3 == 0 ? unit / 4.0 : 1.0));
        if (i % 2) {
            p.drawLine(x, y, x + len, y);
        } else {
            p.drawLine(x, y, x, y + len);
        }
        p.setPen(QPen(Qt::black, 1.0));
        p.drawArc(QRect(x, y, 6 * unit, 6 * unit), 0, 90 * 16);
    }
    // One-pixel grid of column lines and dimension lines with ticks.
    p.setPen(QPen(Qt::black, 1.0));
    for (int x = 8 * unit; x < w - 8 * unit; x += 20 * unit) {
        p.drawLine(x, 3 * unit, x, h - 22 * unit);
        p.drawEllipse(QPoint(x, 3 * unit), unit, unit);
    }
    for (int y = 8 * unit; y < h - 22 * unit; y += 20 * unit) {
        p.drawLine(3 * unit, y, w - 3 * unit, y);
    }
    for (int i = 0; i < 60; ++i) {
        const int x = random.next(w - 40 * unit) + 2 * unit;
        const int y = random.next(h - 30 * unit) + 2 * unit;
        const int len = (5 + random.next(30)) * unit;
        p.drawLine(x, y, x + len, y);
        p.drawLine(x, y - unit / 2, x, y + unit / 2);
        p.drawLine(x + len, y - unit / 2, x + len, y + unit / 2);
        // "Text": rows of small blocks above the dimension line.
        for (int c = 0; c < len / unit; ++c) {
            p.fillRect(QRect(x + c * unit, y - unit, unit * 2 / 3, unit * 2 / 3),
                       c % 4 ? Qt::black : Qt::white);
        }
    }
    // Hatched areas and diagonals.
    for (int i = 0; i < 20; ++i) {
        const QRect area(random.next(w - 30 * unit), random.next(h - 30 * unit),
                         (6 + random.next(20)) * unit, (6 + random.next(20)) * unit);
        p.save();
        p.setClipRect(area);
        for (int d = -area.height(); d < area.width(); d += unit / 2) {
            p.drawLine(area.left() + d, area.bottom(), area.left() + d + area.height(), area.top());
        }
        p.restore();
        p.drawRect(area);
    }
}

}  // namespace

imaging::Sheet syntheticPlanSheet(int width, int height, double dpi) {
    QImage mono(width, height, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const int bandHeight = 512;
    QImage band(width, bandHeight, QImage::Format_RGB32);
    for (int top = 0; top < height; top += bandHeight) {
        band.fill(Qt::white);
        {
            QPainter p(&band);
            p.translate(0, -top);
            drawPlan(p, width, height);
        }
        for (int y = top; y < std::min(height, top + bandHeight); ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(band.constScanLine(y - top));
            uchar* dst = mono.scanLine(y);
            std::fill_n(dst, mono.bytesPerLine(), 0);
            for (int x = 0; x < width; ++x) {
                if (qGray(src[x]) < 128) {
                    dst[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
                }
            }
        }
    }
    return imaging::Sheet(mono, dpi, dpi);
}

QString benchmarkSheetPath() {
    static const QString path = [] {
        const QString file = QDir::temp().filePath(
            QStringLiteral("sheetwise-bench-%1.tif").arg(QCoreApplication::applicationPid()));
        imaging::saveTiffFile(syntheticPlanSheet(14400, 9600, 400), file,
                              imaging::kFormatCompressed, 1);
        std::atexit([] { QFile::remove(benchmarkSheetPath()); });
        return file;
    }();
    return path;
}

}  // namespace sw::bench
