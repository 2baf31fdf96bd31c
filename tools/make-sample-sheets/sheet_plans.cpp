// Architectural and mechanical plans of the demo building: column grid, walls with doors and
// windows, rooms, stairs, roof and ductwork.
#include "sheet_drawing.h"

#include <algorithm>
#include <cmath>

#include <QPainterPath>

namespace sw::tools {

namespace {

constexpr double kBaysX[] = {24, 30, 30, 28, 30, 24};  // feet, grid 1 to 7
constexpr double kBaysY[] = {26, 22, 26, 24};          // feet, grid A to E
constexpr double kExteriorWall = 0.75;                 // feet
constexpr double kPartition = 0.4;
constexpr double kDoor = 3;

const char* const kRoomNames[] = {"OFFICE",    "CONFERENCE", "STORAGE", "MULTIPURPOSE",
                                  "CLASSROOM", "LOUNGE",     "KITCHEN", "GAME ROOM",
                                  "FITNESS",   "CRAFT ROOM", "LIBRARY", "WORKROOM"};

// An interior wall between two grid lines, with one door. Generated from the floor alone, so the
// architectural and mechanical plans of a floor show the same walls.
struct Partition {
    QPointF a;
    QPointF b;
    double doorAt;  // 0…1 along the wall
};

QList<Partition> partitions(const Building& b, int floor) {
    Rng rng(stableHash(QStringLiteral("floor %1").arg(floor)));
    QList<Partition> result;
    for (qsizetype i = 1; i + 1 < b.xs.size(); ++i) {
        for (qsizetype j = 0; j + 1 < b.ys.size(); ++j) {
            if (rng.chance(0.6)) {
                result.append({{b.xs[i], b.ys[j]}, {b.xs[i], b.ys[j + 1]}, rng.uniform(0.2, 0.8)});
            }
        }
    }
    for (qsizetype j = 1; j + 1 < b.ys.size(); ++j) {
        for (qsizetype i = 0; i + 1 < b.xs.size(); ++i) {
            if (rng.chance(0.55)) {
                result.append({{b.xs[i], b.ys[j]}, {b.xs[i + 1], b.ys[j]}, rng.uniform(0.2, 0.8)});
            }
        }
    }
    return result;
}

// A straight wall of `thickness` (design inches) from a to b, axis-aligned, with openings given
// as (start, end) along it in design inches from a. Solid parts are outlined and hatched.
void wall(Canvas& canvas, QPointF a, QPointF b, double thickness,
          const QList<std::pair<double, double>>& openings, bool hatched) {
    const bool horizontal = std::abs(b.y() - a.y()) < 1e-9;
    const double length = horizontal ? b.x() - a.x() : b.y() - a.y();
    auto piece = [&](double from, double to) {
        if (to - from <= 1e-6) {
            return;
        }
        const QRectF r = horizontal
                             ? QRectF(a.x() + from, a.y() - thickness / 2, to - from, thickness)
                             : QRectF(a.x() - thickness / 2, a.y() + from, thickness, to - from);
        canvas.rect(r, Weight::Thick);
        if (hatched) {
            canvas.hatch(r, 45, 0.04);
        }
    };
    double start = -thickness / 2;
    for (const auto& [from, to] : openings) {
        piece(start, from);
        start = to;
    }
    piece(start, length + thickness / 2);
}

void window(Canvas& canvas, QPointF a, QPointF b, double thickness) {
    const bool horizontal = std::abs(b.y() - a.y()) < 1e-9;
    for (const double offset : {-thickness / 2, 0.0, thickness / 2}) {
        const QPointF shift = horizontal ? QPointF(0, offset) : QPointF(offset, 0);
        canvas.line(a + shift, b + shift, offset == 0 ? Weight::Fine : Weight::Thin);
    }
}

void exteriorWalls(Canvas& canvas, const Building& b, bool withOpenings, bool hatched) {
    const double t = b.units(kExteriorWall);
    const QRectF o = b.outline();
    const QPointF corners[] = {o.topLeft(), o.topRight(), o.bottomRight(), o.bottomLeft()};
    for (int side = 0; side < 4; ++side) {
        QPointF a = corners[side];
        QPointF c = corners[(side + 1) % 4];
        if (a.x() > c.x() || a.y() > c.y()) {
            std::swap(a, c);
        }
        const bool horizontal = side % 2 == 0;
        const QList<double>& lines = horizontal ? b.xs : b.ys;
        QList<std::pair<double, double>> openings;
        for (qsizetype i = 0; withOpenings && i + 1 < lines.size(); ++i) {
            const double mid = (lines[i] + lines[i + 1]) / 2 - lines.first();
            const bool entrance = side == 2 && i == lines.size() / 2 - 1;
            const double half = entrance ? b.units(3) : (lines[i + 1] - lines[i]) * 0.22;
            openings.append({mid - half, mid + half});
            const QPointF from = horizontal ? QPointF(a.x() + mid - half, a.y())
                                            : QPointF(a.x(), a.y() + mid - half);
            const QPointF to = horizontal ? QPointF(a.x() + mid + half, a.y())
                                          : QPointF(a.x(), a.y() + mid + half);
            if (entrance) {
                canvas.door(from, half, 0, -90);
                canvas.door(to, half, 180, 90);
            } else {
                window(canvas, from, to, t);
            }
        }
        wall(canvas, a, c, t, openings, hatched);
    }
}

// The interior walls of a floor, each with a door. In the second revision the first wall stands
// four feet further along and the second one has a second door near its far end.
void interiorWalls(Canvas& canvas, const Building& b, int floor, bool detailed, int revision = 1) {
    const double t = b.units(kPartition);
    const double door = b.units(kDoor);
    QList<Partition> walls = partitions(b, floor);
    for (qsizetype i = 0; i < walls.size(); ++i) {
        Partition p = walls[i];
        const bool horizontal = std::abs(p.b.y() - p.a.y()) < 1e-9;
        if (revision > 1 && i == 0) {
            const QPointF moved = horizontal ? QPointF(0, b.units(4)) : QPointF(b.units(4), 0);
            p.a += moved;
            p.b += moved;
        }
        const double length = horizontal ? p.b.x() - p.a.x() : p.b.y() - p.a.y();
        QList<double> doors = {std::clamp(p.doorAt * length, door, length - 2 * door)};
        if (revision > 1 && i == 1) {
            doors.append(doors.front() < length / 2 ? length - 2 * door : door);
            std::sort(doors.begin(), doors.end());
        }
        QList<std::pair<double, double>> openings;
        for (const double at : doors) {
            openings.append({at, at + door});
        }
        wall(canvas, p.a, p.b, t, openings, false);
        for (const double at : doors) {
            if (detailed) {
                const QPointF hinge =
                    horizontal ? QPointF(p.a.x() + at, p.a.y()) : QPointF(p.a.x(), p.a.y() + at);
                canvas.door(hinge, door, horizontal ? 0 : 90, horizontal ? 90 : -90);
            }
        }
    }
}

void columns(Canvas& canvas, const Building& b, double sizeFeet) {
    const double half = b.units(sizeFeet) / 2;
    for (const double x : b.xs) {
        for (const double y : b.ys) {
            canvas.fillRect(QRectF(x - half, y - half, 2 * half, 2 * half));
        }
    }
}

void stairs(Canvas& canvas, const QRectF& cell, const Building& b) {
    const QRectF run(cell.left() + b.units(3), cell.top() + b.units(3), b.units(10),
                     cell.height() - b.units(6));
    canvas.rect(run, Weight::Medium);
    const double tread = b.units(11.0 / 12);
    for (double y = run.top() + tread; y < run.bottom(); y += tread) {
        canvas.line(QPointF(run.left(), y), QPointF(run.right(), y), Weight::Fine);
    }
    canvas.line(QPointF(run.center().x(), run.bottom() - tread),
                QPointF(run.center().x(), run.top() + tread), Weight::Thin);
    canvas.line(QPointF(run.center().x(), run.top() + tread),
                QPointF(run.center().x() - 0.06, run.top() + tread + 0.12), Weight::Thin);
    canvas.line(QPointF(run.center().x(), run.top() + tread),
                QPointF(run.center().x() + 0.06, run.top() + tread + 0.12), Weight::Thin);
    canvas.text(QStringLiteral("UP"), QPointF(run.center().x(), run.bottom() + 0.18), 0.1,
                TextAlign::Center);
}

void roomTag(Canvas& canvas, QPointF center, const QString& name, const QString& number) {
    canvas.text(name, center, 0.12, TextAlign::Center, Weight::Medium);
    const double width = strokeTextWidth(number, 0.1) + 0.16;
    canvas.rect(QRectF(center.x() - width / 2, center.y() + 0.06, width, 0.22), Weight::Thin);
    canvas.text(number, center + QPointF(0, 0.23), 0.1, TextAlign::Center);
}

void sectionMarks(Canvas& canvas, const Building& b, const QString& detailSheet) {
    const QRectF o = b.outline();
    const double y = (b.ys[1] + b.ys[2]) / 2;
    for (const double x : {o.left() - 0.9, o.right() + 0.9}) {
        const QPointF c(x, y);
        canvas.circle(c, 0.22, Weight::Medium);
        canvas.line(c - QPointF(0.22, 0), c + QPointF(0.22, 0), Weight::Thin);
        canvas.text(QStringLiteral("1"), c + QPointF(0, -0.05), 0.1, TextAlign::Center);
        canvas.text(detailSheet, c + QPointF(0, 0.15), 0.07, TextAlign::Center);
        const QPointF tip = c + QPointF(0, -0.42);
        QPainterPath arrow(tip);
        arrow.lineTo(c + QPointF(-0.15, -0.16));
        arrow.lineTo(c + QPointF(0.15, -0.16));
        arrow.closeSubpath();
        canvas.painter().setPen(canvas.pen(Weight::Thin));
        canvas.painter().setBrush(Qt::black);
        canvas.painter().drawPath(arrow);
        canvas.painter().setBrush(Qt::NoBrush);
    }
    canvas.line(QPointF(o.left() - 0.65, y), QPointF(o.left() - 0.2, y),
                canvas.dashed(Weight::Medium, {0.3, 0.08, 0.05, 0.08}));
    canvas.line(QPointF(o.right() + 0.2, y), QPointF(o.right() + 0.65, y),
                canvas.dashed(Weight::Medium, {0.3, 0.08, 0.05, 0.08}));
}

}  // namespace

QRectF Building::outline() const {
    return QRectF(QPointF(xs.first(), ys.first()), QPointF(xs.last(), ys.last()));
}

Building layoutBuilding(const QRectF& region) {
    double widthFeet = 0;
    double heightFeet = 0;
    for (const double bay : kBaysX) {
        widthFeet += bay;
    }
    for (const double bay : kBaysY) {
        heightFeet += bay;
    }
    constexpr double kLeadIn = 2.4;  // bubbles and dimension strings, top and left
    constexpr double kTail = 1.4;    // section marks, right and bottom
    const double fit = std::min((region.width() - kLeadIn - kTail) / widthFeet,
                                (region.height() - kLeadIn - kTail) / heightFeet);
    Building building;
    building.unitsPerFoot = fit >= 0.125 ? 0.125 : 0.0625;
    building.scaleText =
        fit >= 0.125 ? QStringLiteral("1/8\" = 1'-0\"") : QStringLiteral("1/16\" = 1'-0\"");
    const double left = region.left() + kLeadIn +
                        (region.width() - kLeadIn - kTail - building.units(widthFeet)) / 2;
    const double top = region.top() + kLeadIn +
                       (region.height() - kLeadIn - kTail - building.units(heightFeet)) / 2;
    building.xs.append(left);
    for (const double bay : kBaysX) {
        building.xs.append(building.xs.last() + building.units(bay));
    }
    building.ys.append(top);
    for (const double bay : kBaysY) {
        building.ys.append(building.ys.last() + building.units(bay));
    }
    return building;
}

void drawGrid(Canvas& canvas, const Building& b, Weight weight) {
    const QRectF o = b.outline();
    const QPen gridPen = canvas.dashed(weight, {0.5, 0.08, 0.08, 0.08});
    constexpr double kRadius = 0.24;
    for (qsizetype i = 0; i < b.xs.size(); ++i) {
        canvas.line(QPointF(b.xs[i], o.top() - 1.6), QPointF(b.xs[i], o.bottom() + 0.5), gridPen);
        canvas.bubble(QPointF(b.xs[i], o.top() - 1.6 - kRadius), kRadius, QString::number(i + 1));
    }
    for (qsizetype j = 0; j < b.ys.size(); ++j) {
        canvas.line(QPointF(o.left() - 1.6, b.ys[j]), QPointF(o.right() + 0.5, b.ys[j]), gridPen);
        canvas.bubble(QPointF(o.left() - 1.6 - kRadius, b.ys[j]), kRadius,
                      QString(QChar(static_cast<char16_t>(u'A' + j))));
    }
    const double feetPerUnit = 1 / b.unitsPerFoot;
    canvas.horizontalDimensions(b.xs, o.top() - 0.7, o.top(), feetPerUnit);
    canvas.horizontalDimensions({o.left(), o.right()}, o.top() - 1.15, o.top() - 0.7, feetPerUnit);
    canvas.verticalDimensions(b.ys, o.left() - 0.7, o.left(), feetPerUnit);
    canvas.verticalDimensions({o.top(), o.bottom()}, o.left() - 1.15, o.left() - 0.7, feetPerUnit);
}

void drawFloorPlan(Canvas& canvas, const Building& b, int floor, int revision) {
    drawGrid(canvas, b);
    exteriorWalls(canvas, b, true, true);
    interiorWalls(canvas, b, floor, true, revision);
    columns(canvas, b, 1.0);
    Rng& rng = canvas.rng();
    const int stairCell = rng.below(static_cast<int>(b.xs.size()) - 1);
    const int mechCell = (stairCell + 2 + rng.below(3)) % (static_cast<int>(b.xs.size()) - 1);
    int room = 1;
    for (qsizetype j = 0; j + 1 < b.ys.size(); ++j) {
        for (qsizetype i = 0; i + 1 < b.xs.size(); ++i, ++room) {
            const QRectF cell(QPointF(b.xs[i], b.ys[j]), QPointF(b.xs[i + 1], b.ys[j + 1]));
            const QString number = QString::number(floor * 100 + room);
            if (j == 0 && i == stairCell) {
                stairs(canvas, cell, b);
                roomTag(canvas, cell.center() + QPointF(b.units(4), 0), "STAIR", number);
            } else if (j + 2 == b.ys.size() && i == mechCell) {
                canvas.hatch(cell.adjusted(0.06, 0.06, -0.06, -0.06), 45, 0.12);
                canvas.hatch(cell.adjusted(0.06, 0.06, -0.06, -0.06), 135, 0.12);
                canvas.painter().fillRect(
                    QRectF(cell.center() - QPointF(0.6, 0.25), QSizeF(1.2, 0.6)), Qt::white);
                roomTag(canvas, cell.center(), "MECH", number);
            } else {
                roomTag(canvas, cell.center(), kRoomNames[rng.below(12)], number);
            }
        }
    }
    sectionMarks(canvas, b, QStringLiteral("A-105"));
}

void drawRoofPlan(Canvas& canvas, const Building& b) {
    drawGrid(canvas, b);
    const QRectF o = b.outline();
    canvas.rect(o, Weight::Heavy);
    canvas.rect(o.adjusted(b.units(1), b.units(1), -b.units(1), -b.units(1)), Weight::Thin);
    const double drainY = (b.ys[1] + b.ys[3]) / 2;
    QList<QPointF> drains;
    for (qsizetype i = 1; i + 1 < b.xs.size(); i += 2) {
        drains.append(QPointF(b.xs[i] + (b.xs[i + 1] - b.xs[i]) / 2, drainY));
    }
    for (const QPointF& drain : drains) {
        canvas.circle(drain, b.units(1.2), Weight::Medium);
        canvas.circle(drain, b.units(0.6), Weight::Fine);
        canvas.text(QStringLiteral("RD"), drain + QPointF(0.25, -0.15), 0.1);
        for (const QPointF corner :
             {QPointF(-1, -1), QPointF(1, -1), QPointF(-1, 1), QPointF(1, 1)}) {
            canvas.line(drain, drain + QPointF(corner.x() * b.units(12), corner.y() * b.units(20)),
                        canvas.dashed(Weight::Thin, {0.15, 0.06}));
        }
        canvas.text(QStringLiteral("1/4\"/FT"), drain + QPointF(-0.3, b.units(12)), 0.09,
                    TextAlign::Center);
    }
    Rng& rng = canvas.rng();
    for (int unit = 1; unit <= 3; ++unit) {
        const double x = b.xs[unit * 2 - 1] + b.units(rng.uniform(2, 10));
        const QRectF box(x, b.ys[0] + b.units(rng.uniform(4, 10)), b.units(12), b.units(7));
        canvas.rect(box, Weight::Thick);
        canvas.hatch(box, 45, 0.08);
        canvas.painter().fillRect(box.adjusted(0.15, 0.2, -0.15, -0.2), Qt::white);
        canvas.text(QStringLiteral("RTU-%1").arg(unit), box.center() + QPointF(0, 0.05), 0.1,
                    TextAlign::Center, Weight::Medium);
    }
    canvas.text(QStringLiteral("MEMBRANE ROOFING OVER TAPERED INSULATION"),
                QPointF(o.center().x(), b.ys[3] + b.units(10)), 0.12, TextAlign::Center);
}

void drawHvacPlan(Canvas& canvas, const Building& b, int floor) {
    drawGrid(canvas, b, Weight::Fine);
    exteriorWalls(canvas, b, false, false);
    interiorWalls(canvas, b, floor, false);
    const double mainY = b.ys[2];
    const double mainHalf = b.units(1.2);
    const double left = b.xs[0] + b.units(14);
    const double right = b.xs.last() - b.units(6);
    // Supply main, then branches to a diffuser in every bay.
    const QRectF ahu(b.xs[0] + b.units(2), mainY - b.units(5), b.units(12), b.units(10));
    canvas.rect(ahu, Weight::Thick);
    canvas.hatch(ahu, 45, 0.06, Weight::Fine);
    canvas.painter().fillRect(ahu.adjusted(0.12, 0.3, -0.12, -0.3), Qt::white);
    canvas.text(QStringLiteral("AHU-%1").arg(floor), ahu.center() + QPointF(0, 0.05), 0.1,
                TextAlign::Center, Weight::Medium);
    canvas.line(QPointF(left, mainY - mainHalf), QPointF(right, mainY - mainHalf), Weight::Medium);
    canvas.line(QPointF(left, mainY + mainHalf), QPointF(right, mainY + mainHalf), Weight::Medium);
    canvas.line(QPointF(right, mainY - mainHalf), QPointF(right, mainY + mainHalf), Weight::Medium);
    canvas.text(QStringLiteral("36x18"), QPointF(left + 0.6, mainY + 0.04), 0.09);
    for (qsizetype j = 0; j + 1 < b.ys.size(); ++j) {
        for (qsizetype i = 1; i + 1 < b.xs.size(); ++i) {
            const double x = (b.xs[i] + b.xs[i + 1]) / 2;
            const double y = (b.ys[j] + b.ys[j + 1]) / 2;
            const double from = y < mainY ? mainY - mainHalf : mainY + mainHalf;
            const double half = b.units(0.5);
            canvas.line(QPointF(x - half, from), QPointF(x - half, y), Weight::Thin);
            canvas.line(QPointF(x + half, from), QPointF(x + half, y), Weight::Thin);
            const QRectF diffuser(x - b.units(1.5), y - b.units(1.5), b.units(3), b.units(3));
            canvas.painter().fillRect(diffuser, Qt::white);
            canvas.rect(diffuser, Weight::Thin);
            canvas.line(diffuser.topLeft(), diffuser.bottomRight(), Weight::Fine);
            canvas.line(diffuser.topRight(), diffuser.bottomLeft(), Weight::Fine);
            canvas.text(QStringLiteral("SD-1"), diffuser.topRight() + QPointF(0.06, -0.04), 0.08);
            canvas.text(QStringLiteral("%1 CFM").arg(150 + 25 * canvas.rng().below(8)),
                        diffuser.bottomRight() + QPointF(0.06, 0.02), 0.08);
        }
    }
    canvas.circle(QPointF(b.xs[2] + b.units(2), b.ys[1] + b.units(2)), 0.09, Weight::Thin);
    canvas.text(QStringLiteral("T"), QPointF(b.xs[2] + b.units(2), b.ys[1] + b.units(2) + 0.04),
                0.08, TextAlign::Center);
}

}  // namespace sw::tools
