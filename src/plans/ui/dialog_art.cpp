#include "plans/ui/dialog_art.h"

#include <QPainter>
#include <QPainterPath>

namespace sw::plans {

namespace {

QPixmap blankPixmap(int size, qreal ratio) {
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A sheet outline with its top right corner folded, in a unit square scaled to `box`.
QPainterPath sheetPath(const QRectF& box) {
    const qreal fold = box.width() * 0.28;
    QPainterPath path;
    path.moveTo(box.topLeft());
    path.lineTo(box.right() - fold, box.top());
    path.lineTo(box.right(), box.top() + fold);
    path.lineTo(box.bottomRight());
    path.lineTo(box.bottomLeft());
    path.closeSubpath();
    return path;
}

}  // namespace

QPixmap sheetwiseLogo(int size, qreal devicePixelRatio) {
    QPixmap pixmap = blankPixmap(size, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(58, 132, 247));
    p.drawEllipse(QRectF(0, 0, s, s));

    const QRectF sheet(s * 0.27, s * 0.2, s * 0.46, s * 0.6);
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(20, 60, 140), s * 0.02));
    p.drawPath(sheetPath(sheet));
    const qreal fold = sheet.width() * 0.28;
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    p.setBrush(QColor(200, 220, 250));
    p.drawPath(corner);

    // A floor plan sketch: outer wall, one inner wall, a door swing.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(20, 60, 140), s * 0.025, Qt::SolidLine, Qt::SquareCap));
    const QRectF room(sheet.left() + s * 0.06, sheet.top() + s * 0.2, sheet.width() - s * 0.12,
                      sheet.height() - s * 0.28);
    p.drawRect(room);
    p.drawLine(QPointF(room.center().x(), room.top()), QPointF(room.center().x(), room.bottom()));
    p.setPen(QPen(QColor(20, 60, 140), s * 0.012));
    const qreal door = room.width() * 0.3;
    p.drawArc(QRectF(room.center().x() - door, room.bottom() - door, 2 * door, 2 * door), 90 * 16,
              90 * 16);
    return pixmap;
}

QPixmap downloadPicture(int size, qreal devicePixelRatio) {
    QPixmap pixmap = blankPixmap(size, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QPen white(Qt::white, s * 0.06, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

    p.setPen(QPen(Qt::white, s * 0.04));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawPath(sheetPath(QRectF(s * 0.22, s * 0.06, s * 0.56, s * 0.5)));

    p.setPen(white);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(s * 0.5, s * 0.22), QPointF(s * 0.5, s * 0.7));
    QPainterPath head;
    head.moveTo(s * 0.36, s * 0.56);
    head.lineTo(s * 0.5, s * 0.7);
    head.lineTo(s * 0.64, s * 0.56);
    p.drawPath(head);

    QPainterPath tray;
    tray.moveTo(s * 0.14, s * 0.72);
    tray.lineTo(s * 0.14, s * 0.9);
    tray.lineTo(s * 0.86, s * 0.9);
    tray.lineTo(s * 0.86, s * 0.72);
    p.drawPath(tray);
    return pixmap;
}

}  // namespace sw::plans
