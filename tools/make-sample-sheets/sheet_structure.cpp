// Structural plans and the site plan: framing with beams and joists, the foundation with
// footings, and the site with property line, parking, road, contours and trees.
#include "sheet_drawing.h"

#include <cmath>
#include <numbers>

#include <QPainterPath>

namespace sw::tools {

namespace {

void beamLabel(Canvas& canvas, QPointF a, QPointF b, const QString& label) {
    const QPointF mid = (a + b) / 2;
    if (std::abs(a.y() - b.y()) < 1e-9) {
        canvas.text(label, mid + QPointF(0, -0.06), 0.08, TextAlign::Center);
    } else {
        canvas.verticalText(label, mid + QPointF(-0.06, 0), 0.08);
    }
}

void joists(Canvas& canvas, const Building& b, const QRectF& bay, const QString& label) {
    const QPen joist = canvas.dashed(Weight::Fine, {0.12, 0.05});
    const double spacing = b.units(4);
    for (double x = bay.left() + spacing; x < bay.right() - spacing / 2; x += spacing) {
        canvas.line(QPointF(x, bay.top() + 0.05), QPointF(x, bay.bottom() - 0.05), joist);
    }
    const double y = bay.center().y();
    canvas.painter().fillRect(QRectF(bay.left() + 0.2, y - 0.2, bay.width() - 0.4, 0.3), Qt::white);
    canvas.line(QPointF(bay.left() + 0.25, y), QPointF(bay.right() - 0.25, y), Weight::Thin);
    for (const double x : {bay.left() + 0.25, bay.right() - 0.25}) {
        const double sign = x < bay.center().x() ? 1 : -1;
        canvas.line(QPointF(x, y), QPointF(x + sign * 0.12, y - 0.06), Weight::Thin);
        canvas.line(QPointF(x, y), QPointF(x + sign * 0.12, y + 0.06), Weight::Thin);
    }
    canvas.text(label, QPointF(bay.center().x(), y - 0.06), 0.08, TextAlign::Center);
}

void squareFooting(Canvas& canvas, QPointF center, double half, const QString& label) {
    const QPen dashedPen = canvas.dashed(Weight::Thin, {0.1, 0.05});
    canvas.painter().setPen(dashedPen);
    canvas.painter().drawRect(QRectF(center - QPointF(half, half), center + QPointF(half, half)));
    canvas.text(label, center + QPointF(half + 0.05, -half - 0.05), 0.09);
}

QPainterPath treeOutline(QPointF center, double radius, Rng& rng) {
    QPainterPath path;
    constexpr int kLobes = 9;
    const double turn = rng.uniform(0, 40);
    for (int i = 0; i <= kLobes * 4; ++i) {
        const double angle = (turn + 360.0 * i / (kLobes * 4)) * std::numbers::pi / 180;
        const double r = radius * (i % 4 == 2 ? 0.82 : 1.0);
        const QPointF p = center + QPointF(r * std::cos(angle), r * std::sin(angle));
        i == 0 ? path.moveTo(p) : path.lineTo(p);
    }
    return path;
}

void contours(Canvas& canvas, const QRectF& site) {
    Rng& rng = canvas.rng();
    const QPen existing = canvas.dashed(Weight::Thin, {0.25, 0.08});
    for (int k = 0; k < 6; ++k) {
        const double base = site.top() + site.height() * (0.1 + 0.16 * k);
        const double phase = rng.uniform(0, 6.28);
        const double amplitude = rng.uniform(0.2, 0.6);
        QPainterPath path;
        for (int i = 0; i <= 80; ++i) {
            const double x = site.left() + site.width() * i / 80;
            const double y = base + amplitude * std::sin(phase + 5.0 * i / 80) +
                             0.25 * std::sin(phase * 2 + 13.0 * i / 80);
            i == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
        }
        canvas.painter().setPen(existing);
        canvas.painter().setBrush(Qt::NoBrush);
        canvas.painter().drawPath(path);
        canvas.text(QString::number(106 - k), path.pointAtPercent(0.04) + QPointF(0, -0.06), 0.09);
    }
}

void parking(Canvas& canvas, const QRectF& lot, double unitsPerFoot) {
    canvas.rect(lot, Weight::Medium);
    const double stall = 9 * unitsPerFoot;
    const double depth = 18 * unitsPerFoot;
    for (const double top : {lot.top(), lot.bottom() - depth}) {
        for (double x = lot.left() + stall; x < lot.right() - stall / 2; x += stall) {
            canvas.line(QPointF(x, top), QPointF(x, top + depth), Weight::Thin);
        }
    }
    canvas.text(
        QStringLiteral("PARKING (%1 STALLS)").arg(2 * static_cast<int>(lot.width() / stall)),
        lot.center() + QPointF(0, 0.05), 0.12, TextAlign::Center);
}

}  // namespace

void drawFramingPlan(Canvas& canvas, const Building& b, bool roof) {
    drawGrid(canvas, b);
    const QString girder = roof ? QStringLiteral("W16X26") : QStringLiteral("W18X35");
    const QString beam = roof ? QStringLiteral("W12X19") : QStringLiteral("W14X22");
    const QString joist =
        roof ? QStringLiteral("22K9 @ 4'-0\" O.C.") : QStringLiteral("18K5 @ 4'-0\" O.C.");
    Rng& rng = canvas.rng();
    const int openingBay = 1 + rng.below(static_cast<int>(b.xs.size()) - 3);
    for (qsizetype j = 0; j + 1 < b.ys.size(); ++j) {
        for (qsizetype i = 0; i + 1 < b.xs.size(); ++i) {
            const QRectF bay(QPointF(b.xs[i], b.ys[j]), QPointF(b.xs[i + 1], b.ys[j + 1]));
            if (j == 1 && i == openingBay) {
                canvas.line(bay.topLeft(), bay.bottomRight(), Weight::Thin);
                canvas.line(bay.topRight(), bay.bottomLeft(), Weight::Thin);
                canvas.text(QStringLiteral("OPENING"), bay.center() + QPointF(0, -0.1), 0.1,
                            TextAlign::Center);
            } else {
                joists(canvas, b, bay, joist);
            }
        }
    }
    for (qsizetype j = 0; j < b.ys.size(); ++j) {
        for (qsizetype i = 0; i + 1 < b.xs.size(); ++i) {
            const QPointF a(b.xs[i], b.ys[j]);
            const QPointF c(b.xs[i + 1], b.ys[j]);
            canvas.line(a, c, Weight::Thick);
            beamLabel(canvas, a, c, girder);
        }
    }
    for (qsizetype i = 0; i < b.xs.size(); ++i) {
        for (qsizetype j = 0; j + 1 < b.ys.size(); ++j) {
            const QPointF a(b.xs[i], b.ys[j]);
            const QPointF c(b.xs[i], b.ys[j + 1]);
            canvas.line(a, c, Weight::Medium);
            beamLabel(canvas, a, c, beam);
        }
    }
    const double half = b.units(0.8);
    for (const double x : b.xs) {
        for (const double y : b.ys) {
            canvas.fillRect(QRectF(x - half, y - half, 2 * half, 2 * half));
        }
    }
}

void drawFoundationPlan(Canvas& canvas, const Building& b) {
    drawGrid(canvas, b);
    const QRectF o = b.outline();
    const double wall = b.units(1);
    const QRectF outer = o.adjusted(-wall / 2, -wall / 2, wall / 2, wall / 2);
    const QRectF inner = o.adjusted(wall / 2, wall / 2, -wall / 2, -wall / 2);
    canvas.rect(outer, Weight::Thick);
    canvas.rect(inner, Weight::Thick);
    for (const QRectF& strip : {QRectF(outer.topLeft(), QPointF(outer.right(), inner.top())),
                                QRectF(QPointF(outer.left(), inner.bottom()), outer.bottomRight()),
                                QRectF(outer.topLeft(), QPointF(inner.left(), outer.bottom())),
                                QRectF(QPointF(inner.right(), outer.top()), outer.bottomRight())}) {
        canvas.stipple(strip, 900);
    }
    const double footing = b.units(1.5);
    const QPen dashedPen = canvas.dashed(Weight::Thin, {0.1, 0.05});
    canvas.painter().setPen(dashedPen);
    canvas.painter().drawRect(outer.adjusted(-footing, -footing, footing, footing));
    canvas.painter().drawRect(inner.adjusted(footing, footing, -footing, -footing));
    for (qsizetype i = 1; i + 1 < b.xs.size(); ++i) {
        for (qsizetype j = 1; j + 1 < b.ys.size(); ++j) {
            const bool large = (i + j) % 2 == 0;
            squareFooting(canvas, QPointF(b.xs[i], b.ys[j]), b.units(large ? 4 : 3),
                          large ? QStringLiteral("F2") : QStringLiteral("F1"));
        }
    }
    const double half = b.units(0.8);
    for (const double x : b.xs) {
        for (const double y : b.ys) {
            canvas.fillRect(QRectF(x - half, y - half, 2 * half, 2 * half));
        }
    }
    const QPointF note((b.xs[1] + b.xs[2]) / 2, (b.ys[0] + b.ys[1]) / 2);
    canvas.text(QStringLiteral("4\" SLAB ON GRADE"), note, 0.1, TextAlign::Center);
    canvas.text(QStringLiteral("OVER 10 MIL VAPOR RETARDER"), note + QPointF(0, 0.17), 0.1,
                TextAlign::Center);
    const QRectF sump(b.xs[4] + b.units(6), b.ys[2] + b.units(6), b.units(8), b.units(8));
    canvas.rect(sump, Weight::Medium);
    canvas.stipple(sump, 900);
    canvas.text(QStringLiteral("ELEV. PIT"), sump.bottomLeft() + QPointF(0, 0.18), 0.09);
}

void drawSitePlan(Canvas& canvas, const QRectF& region) {
    const double unitsPerFoot = 1.0 / 30;  // 1" = 30'-0"
    const QRectF site = region.adjusted(0.8, 0.6, -0.8, -2.2);
    contours(canvas, site);

    // Property line with a cut corner, dash-dot-dot as surveys draw it.
    QPainterPath property(site.topLeft());
    property.lineTo(site.right() - site.width() * 0.18, site.top());
    property.lineTo(site.right(), site.top() + site.height() * 0.22);
    property.lineTo(site.bottomRight());
    property.lineTo(site.bottomLeft());
    property.closeSubpath();
    canvas.painter().setPen(canvas.dashed(Weight::Heavy, {0.6, 0.1, 0.06, 0.1, 0.06, 0.1}));
    canvas.painter().setBrush(Qt::NoBrush);
    canvas.painter().drawPath(property);
    canvas.text(QStringLiteral("PROPERTY LINE"), site.topLeft() + QPointF(0.4, -0.1), 0.1);

    // Road below the property.
    const double roadTop = site.bottom() + 0.35;
    canvas.line(QPointF(region.left(), roadTop), QPointF(region.right(), roadTop), Weight::Medium);
    canvas.line(QPointF(region.left(), roadTop + 1.2), QPointF(region.right(), roadTop + 1.2),
                Weight::Medium);
    canvas.line(QPointF(region.left(), roadTop + 0.6), QPointF(region.right(), roadTop + 0.6),
                canvas.dashed(Weight::Thin, {0.4, 0.25}));
    canvas.text(QStringLiteral("RIVER ROAD"), QPointF(region.center().x(), roadTop + 0.5), 0.16,
                TextAlign::Center, Weight::Medium);

    // Building footprint, hatched, with its entrance walk.
    const QRectF footprint(site.left() + site.width() * 0.18, site.top() + site.height() * 0.15,
                           166 * unitsPerFoot * 1.6, 98 * unitsPerFoot * 1.6);
    canvas.painter().fillRect(footprint, Qt::white);
    canvas.rect(footprint, Weight::Heavy);
    canvas.hatch(footprint, 45, 0.1, Weight::Fine);
    const QRectF label(footprint.center() - QPointF(1.3, 0.35), QSizeF(2.6, 0.65));
    canvas.painter().fillRect(label, Qt::white);
    canvas.text(QStringLiteral("PROPOSED BUILDING"), label.center() + QPointF(0, -0.05), 0.14,
                TextAlign::Center, Weight::Medium);
    canvas.text(QStringLiteral("FF EL. 102.50"), label.center() + QPointF(0, 0.2), 0.1,
                TextAlign::Center);
    const double walkX = footprint.center().x();
    canvas.painter().fillRect(
        QRectF(walkX - 0.15, footprint.bottom(), 0.3, roadTop - footprint.bottom()), Qt::white);
    canvas.line(QPointF(walkX - 0.15, footprint.bottom()), QPointF(walkX - 0.15, roadTop));
    canvas.line(QPointF(walkX + 0.15, footprint.bottom()), QPointF(walkX + 0.15, roadTop));

    const QRectF lot(footprint.right() + 0.8, footprint.top() + 0.6,
                     site.right() - footprint.right() - 1.6, 60 * unitsPerFoot * 1.6);
    canvas.painter().fillRect(lot, Qt::white);
    parking(canvas, lot, unitsPerFoot * 1.6);

    Rng& rng = canvas.rng();
    for (double x = site.left() + 0.5; x < site.right() - 0.5; x += rng.uniform(0.8, 1.4)) {
        const QPointF center(x, site.bottom() - 0.45);
        canvas.painter().setPen(canvas.pen(Weight::Thin));
        canvas.painter().setBrush(Qt::white);
        canvas.painter().drawPath(treeOutline(center, rng.uniform(0.22, 0.34), rng));
        canvas.painter().setBrush(Qt::NoBrush);
        canvas.line(center - QPointF(0.05, 0), center + QPointF(0.05, 0), Weight::Fine);
        canvas.line(center - QPointF(0, 0.05), center + QPointF(0, 0.05), Weight::Fine);
    }
    canvas.northArrow(QPointF(site.right() - 0.6, site.bottom() - 1.4), 0.35);
}

}  // namespace sw::tools
