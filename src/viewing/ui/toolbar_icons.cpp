#include "viewing/ui/toolbar_icons.h"

#include <functional>
#include <map>

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sw::viewing {
namespace {

// Glyphs are drawn on a 24 x 24 grid; the engine scales the grid to the requested rectangle.
using Glyph = std::function<void(QPainter&)>;

const QColor kInk(0x33, 0x3b, 0x45);
const QColor kAccent(0x1f, 0x6f, 0xc5);
const QColor kPaper(0xfb, 0xfb, 0xf7);

QPen ink(double width = 1.8, const QColor& colour = kInk) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void lens(QPainter& p, const QString& sign) {
    p.setPen(ink(2.0));
    p.setBrush(kPaper);
    p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
    p.drawLine(QPointF(14.8, 14.8), QPointF(21, 21));
    p.setPen(ink(1.8, kAccent));
    if (sign.contains(QLatin1Char('-')) || sign.contains(QLatin1Char('+'))) {
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
    }
    if (sign.contains(QLatin1Char('+'))) {
        p.drawLine(QPointF(10, 7), QPointF(10, 13));
    }
}

void sheet(QPainter& p, const QRectF& r) {
    p.setPen(ink(1.5));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void arrowHead(QPainter& p, QPointF tip, QPointF dir) {
    const QPointF n(-dir.y(), dir.x());
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(tip - dir * 4.5 + n * 3.2);
    head.lineTo(tip - dir * 4.5 - n * 3.2);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPath(head);
}

void turn(QPainter& p, bool clockwise) {
    sheet(p, QRectF(7, 9, 10, 12));
    p.setPen(ink(1.8, kAccent));
    p.setBrush(Qt::NoBrush);
    const QRectF arc(4, 2, 16, 12);
    if (clockwise) {
        p.drawArc(arc, 160 * 16, -130 * 16);
        arrowHead(p, QPointF(19.4, 7.2), QPointF(0.3, 0.95));
    } else {
        p.drawArc(arc, 20 * 16, 130 * 16);
        arrowHead(p, QPointF(4.6, 7.2), QPointF(-0.3, 0.95));
    }
}

void fit(QPainter& p) {
    sheet(p, QRectF(6, 7, 12, 10));
    p.setPen(ink(1.8, kAccent));
    for (const auto& [corner, a, b] :
         {std::tuple{QPointF(2, 2), QPointF(6, 2), QPointF(2, 6)},
          std::tuple{QPointF(22, 2), QPointF(18, 2), QPointF(22, 6)},
          std::tuple{QPointF(2, 22), QPointF(6, 22), QPointF(2, 18)},
          std::tuple{QPointF(22, 22), QPointF(18, 22), QPointF(22, 18)}}) {
        p.drawLine(corner, a);
        p.drawLine(corner, b);
    }
}

void printer(QPainter& p) {
    sheet(p, QRectF(7, 3, 10, 6));
    p.setPen(ink(1.6));
    p.setBrush(QColor(0xdd, 0xe2, 0xe8));
    p.drawRoundedRect(QRectF(3, 9, 18, 8), 1.5, 1.5);
    sheet(p, QRectF(7, 14, 10, 7));
    p.setPen(ink(1.2, kAccent));
    p.drawLine(QPointF(9, 17), QPointF(15, 17));
}

void disk(QPainter& p) {
    p.setPen(ink(1.6));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
    p.setBrush(kPaper);
    p.drawRect(QRectF(7, 3, 10, 6));
    p.drawRect(QRectF(6, 13, 12, 8));
}

void download(QPainter& p) {
    p.setPen(ink(1.8));
    p.drawLine(QPointF(4, 16), QPointF(4, 21));
    p.drawLine(QPointF(4, 21), QPointF(20, 21));
    p.drawLine(QPointF(20, 21), QPointF(20, 16));
    p.setPen(ink(2.2, kAccent));
    p.drawLine(QPointF(12, 3), QPointF(12, 14));
    arrowHead(p, QPointF(12, 18), QPointF(0, 1));
}

void plans(QPainter& p) {
    p.setPen(ink(1.8));
    for (int row = 0; row < 3; ++row) {
        const double y = 6 + row * 6;
        p.setBrush(kAccent);
        p.drawRect(QRectF(3.5, y - 1.5, 3, 3));
        p.drawLine(QPointF(10, y), QPointF(21, y));
    }
}

void step(QPainter& p, bool forward) {
    sheet(p, QRectF(forward ? 3 : 11, 4, 10, 16));
    p.setPen(ink(2.2, kAccent));
    const double from = forward ? 9 : 15;
    const double to = forward ? 17 : 7;
    p.drawLine(QPointF(from, 12), QPointF(to, 12));
    arrowHead(p, QPointF(forward ? 22 : 2, 12), QPointF(forward ? 1 : -1, 0));
}

void folder(QPainter& p) {
    p.setPen(ink(1.6));
    p.setBrush(QColor(0xf2, 0xc1, 0x4e));
    QPainterPath path;
    path.moveTo(2, 6);
    path.lineTo(9, 6);
    path.lineTo(11, 8);
    path.lineTo(22, 8);
    path.lineTo(22, 20);
    path.lineTo(2, 20);
    path.closeSubpath();
    p.drawPath(path);
    sheet(p, QRectF(6, 10, 12, 7));
}

void gear(QPainter& p) {
    p.setPen(ink(1.6));
    p.setBrush(QColor(0xdd, 0xe2, 0xe8));
    QPainterPath teeth;
    for (int i = 0; i < 8; ++i) {
        QRectF tooth(10.5, 1.5, 3, 5);
        QTransform t;
        t.translate(12, 12);
        t.rotate(i * 45.0);
        t.translate(-12, -12);
        teeth.addPolygon(t.map(QPolygonF(tooth)));
    }
    p.drawPath(teeth.simplified());
    p.drawEllipse(QPointF(12, 12), 7, 7);
    p.setBrush(kPaper);
    p.setPen(ink(1.6, kAccent));
    p.drawEllipse(QPointF(12, 12), 2.8, 2.8);
}

void pen(QPainter& p) {
    sheet(p, QRectF(3, 3, 14, 18));
    p.setPen(ink(1.0));
    for (double y : {8.0, 11.0, 14.0}) {
        p.drawLine(QPointF(6, y), QPointF(12, y));
    }
    QPainterPath body;
    body.moveTo(12, 20);
    body.lineTo(13, 16);
    body.lineTo(21, 8);
    body.lineTo(23, 10);
    body.lineTo(15, 18);
    body.closeSubpath();
    p.setPen(ink(1.2));
    p.setBrush(kAccent);
    p.drawPath(body);
}

// A ruler laid across the corner, with ticks, and a dimension line under it.
void ruler(QPainter& p) {
    p.save();
    p.translate(12, 11);
    p.rotate(-35);
    p.setPen(ink(1.5));
    p.setBrush(kPaper);
    p.drawRect(QRectF(-10, -3.5, 20, 7));
    p.setPen(ink(1.1));
    for (int i = 0; i < 7; ++i) {
        const double x = -7.5 + i * 2.5;
        p.drawLine(QPointF(x, -3.5), QPointF(x, i % 2 == 0 ? 0.5 : -1.2));
    }
    p.restore();
    p.setPen(ink(1.6, kAccent));
    p.drawLine(QPointF(3, 21), QPointF(21, 21));
    p.drawLine(QPointF(3, 18.5), QPointF(3, 23));
    p.drawLine(QPointF(21, 18.5), QPointF(21, 23));
}

// Two sheets laid over each other, the upper one drawn in the comparison's blue and red.
void overlaid(QPainter& p) {
    sheet(p, QRectF(3, 3, 13, 15));
    p.setPen(ink(1.5, QColor(0xd0, 0x20, 0x20)));
    p.setBrush(QColor(0xfb, 0xfb, 0xf7, 200));
    p.drawRect(QRectF(8, 6, 13, 15));
    p.setPen(ink(1.6, QColor(0x20, 0x40, 0xe0)));
    p.drawLine(QPointF(11, 11), QPointF(18, 11));
    p.drawLine(QPointF(11, 15), QPointF(16, 15));
}

const std::map<QString, Glyph>& glyphs() {
    static const std::map<QString, Glyph> table = {
        {QStringLiteral("In"), [](QPainter& p) { lens(p, QStringLiteral("+")); }},
        {QStringLiteral("Out"), [](QPainter& p) { lens(p, QStringLiteral("-")); }},
        {QStringLiteral("Normal"), fit},
        {QStringLiteral("Magnify"), [](QPainter& p) { lens(p, QString()); }},
        {QStringLiteral("Turn Off"), [](QPainter& p) { lens(p, QString()); }},
        {QStringLiteral("+90"), [](QPainter& p) { turn(p, true); }},
        {QStringLiteral("-90"), [](QPainter& p) { turn(p, false); }},
        {QStringLiteral("Print"), printer},
        {QStringLiteral("Save"), disk},
        {QStringLiteral("Download"), download},
        {QStringLiteral("Plans"), plans},
        {QStringLiteral("Previous"), [](QPainter& p) { step(p, false); }},
        {QStringLiteral("Next"), [](QPainter& p) { step(p, true); }},
        {QStringLiteral("Saved"), folder},
        {QStringLiteral("Prefs"), gear},
        {QStringLiteral("Markup"), pen},
        {QStringLiteral("Measure"), ruler},
        {QStringLiteral("Compare"), overlaid},
    };
    return table;
}

class GlyphIconEngine : public QIconEngine {
public:
    explicit GlyphIconEngine(Glyph glyph) : m_glyph(std::move(glyph)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 24.0, rect.height() / 24.0);
        if (mode == QIcon::Disabled) {
            painter->setOpacity(0.4);
        }
        m_glyph(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pm(size * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter painter(&pm);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new GlyphIconEngine(m_glyph); }

private:
    Glyph m_glyph;
};

}  // namespace

QIcon toolbarIcon(const QString& caption) {
    const auto it = glyphs().find(caption);
    if (it == glyphs().end()) {
        return {};
    }
    return QIcon(new GlyphIconEngine(it->second));
}

}  // namespace sw::viewing
