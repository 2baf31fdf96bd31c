// Detail sheets (wall sections, footings, roof edges in a grid of detail boxes) and schedule
// sheets (tables).
#include "sheet_drawing.h"
#include "sheet_frame.h"

#include <algorithm>

#include <QPainterPath>

namespace sw::tools {

namespace {

// A batt of insulation in section: a zigzag filling `area` across its width.
void insulation(Canvas& canvas, const QRectF& area) {
    QPainterPath path(area.topLeft());
    const double step = area.width() / 2;
    bool right = true;
    for (double y = area.top() + step; y <= area.bottom() + 1e-9; y += step) {
        path.lineTo(right ? area.right() : area.left(), y);
        right = !right;
    }
    canvas.painter().setPen(canvas.pen(Weight::Fine));
    canvas.painter().setBrush(Qt::NoBrush);
    canvas.painter().drawPath(path);
    canvas.rect(area, Weight::Fine);
}

// Blocking or a stud in section: a box with both diagonals.
void member(Canvas& canvas, const QRectF& box) {
    canvas.rect(box, Weight::Thin);
    canvas.line(box.topLeft(), box.bottomRight(), Weight::Fine);
    canvas.line(box.topRight(), box.bottomLeft(), Weight::Fine);
}

void earth(Canvas& canvas, double left, double right, double y) {
    canvas.line(QPointF(left, y), QPointF(right, y), Weight::Medium);
    for (double x = left; x < right - 0.1; x += 0.18) {
        canvas.line(QPointF(x, y + 0.12), QPointF(x + 0.1, y), Weight::Fine);
    }
}

// Notes at the right of a detail, each with a leader to a point of the drawing.
void leaders(Canvas& canvas, const QRectF& box, QList<std::pair<QPointF, QString>> notes) {
    // In the order of their points from the top, so the leaders do not cross.
    std::stable_sort(notes.begin(), notes.end(),
                     [](const auto& a, const auto& b) { return a.first.y() < b.first.y(); });
    const double x = box.left() + box.width() * 0.58;
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const double y = box.top() + 0.3 + (box.height() - 0.6) * (i + 0.5) / notes.size();
        canvas.line(notes[i].first, QPointF(x - 0.1, y), Weight::Fine);
        canvas.line(QPointF(x - 0.1, y), QPointF(x, y), Weight::Fine);
        canvas.painter().setBrush(Qt::black);
        canvas.painter().drawEllipse(notes[i].first, 0.015, 0.015);
        canvas.painter().setBrush(Qt::NoBrush);
        canvas.text(notes[i].second, QPointF(x + 0.06, y + 0.04), 0.08);
    }
}

void wallSection(Canvas& canvas, const QRectF& box) {
    const double w = box.width() * 0.5;
    const double x0 = box.left() + w * 0.25;
    const double grade = box.bottom() - box.height() * 0.3;
    const QRectF footing(x0 - w * 0.12, box.bottom() - box.height() * 0.14, w * 0.5,
                         box.height() * 0.1);
    const QRectF stem(x0, grade - box.height() * 0.06, w * 0.18,
                      footing.top() - grade + box.height() * 0.06);
    canvas.rect(footing, Weight::Medium);
    canvas.stipple(footing, 1500);
    canvas.rect(stem, Weight::Medium);
    canvas.stipple(stem, 1500);
    earth(canvas, box.left() + 0.1, x0, grade);
    const QRectF slab(stem.right(), grade - box.height() * 0.04, w * 0.75, box.height() * 0.04);
    canvas.rect(slab, Weight::Medium);
    canvas.hatch(slab, 45, 0.05);
    const QRectF studs(x0 + w * 0.03, box.top() + 0.35, w * 0.12, stem.top() - box.top() - 0.35);
    insulation(canvas, studs);
    canvas.line(studs.topLeft() - QPointF(0.04, 0), studs.bottomLeft() - QPointF(0.04, 0));
    canvas.line(studs.topLeft() - QPointF(0.08, 0), studs.bottomLeft() - QPointF(0.08, 0),
                Weight::Medium);
    member(canvas, QRectF(studs.left(), stem.top() - 0.08, studs.width(), 0.08));
    member(canvas, QRectF(studs.left(), studs.top(), studs.width(), 0.08));
    leaders(canvas, box,
            {{studs.center(), "2X6 STUDS @ 16\" O.C. W/ R-21 BATT"},
             {QPointF(studs.left() - 0.08, studs.top() + 0.6), "FIBER CEMENT SIDING"},
             {QPointF(studs.left() - 0.04, studs.top() + 1.0), "1/2\" PLYWOOD SHEATHING"},
             {slab.center(), "4\" CONC. SLAB W/ WWF"},
             {stem.center(), "8\" CONC. STEM WALL"},
             {footing.center(), "CONT. FOOTING W/ (3) #5"}});
}

void footingDetail(Canvas& canvas, const QRectF& box) {
    const double w = box.width() * 0.5;
    const QRectF footing(box.left() + w * 0.1, box.bottom() - box.height() * 0.32, w * 0.85,
                         box.height() * 0.18);
    canvas.rect(footing, Weight::Medium);
    canvas.stipple(footing, 1200);
    const QRectF pier(footing.center().x() - w * 0.12, footing.top() - box.height() * 0.3, w * 0.24,
                      box.height() * 0.3);
    canvas.rect(pier, Weight::Medium);
    canvas.stipple(pier, 1200);
    const QRectF column(pier.center().x() - w * 0.05, box.top() + 0.35, w * 0.1,
                        pier.top() - box.top() - 0.4);
    canvas.rect(column, Weight::Thick);
    canvas.rect(QRectF(pier.left() - 0.05, pier.top() - 0.05, pier.width() + 0.1, 0.05),
                Weight::Thick);
    for (const double x : {pier.left() + 0.08, pier.right() - 0.08}) {
        canvas.line(QPointF(x, pier.top() - 0.12), QPointF(x, pier.top() + pier.height() * 0.7),
                    Weight::Thin);
    }
    canvas.painter().setBrush(Qt::black);
    for (double x = footing.left() + 0.12; x < footing.right() - 0.08; x += 0.18) {
        canvas.painter().drawEllipse(QPointF(x, footing.bottom() - 0.1), 0.025, 0.025);
    }
    canvas.painter().setBrush(Qt::NoBrush);
    earth(canvas, box.left() + 0.1, pier.left(), pier.top() + 0.2);
    canvas.verticalDimensions({footing.top(), footing.bottom()}, footing.left() - 0.25,
                              footing.left(), 12.0 / 1.5);
    leaders(canvas, box,
            {{column.center(), "HSS 6X6X3/8 COLUMN"},
             {QPointF(pier.left() - 0.02, pier.top() - 0.03), "3/4\" BASE PLATE W/ GROUT"},
             {QPointF(pier.left() + 0.08, pier.center().y()), "(4) 3/4\" ANCHOR RODS"},
             {pier.center(), "CONC. PIER"},
             {QPointF(footing.center().x(), footing.bottom() - 0.1), "#5 @ 12\" O.C. EA. WAY"}});
}

void roofEdge(Canvas& canvas, const QRectF& box) {
    const double w = box.width() * 0.5;
    const double deck = box.top() + box.height() * 0.5;
    const double x0 = box.left() + w * 0.15;
    const QRectF parapet(x0, box.top() + 0.45, w * 0.14, box.bottom() - box.top() - 0.8);
    insulation(canvas, QRectF(x0, deck + 0.3, w * 0.14, parapet.bottom() - deck - 0.3));
    member(canvas, QRectF(x0, parapet.top(), w * 0.14, 0.1));
    canvas.rect(parapet, Weight::Medium);
    const QRectF insulationBoard(parapet.right(), deck - 0.22, w * 0.75, 0.2);
    canvas.rect(insulationBoard, Weight::Thin);
    canvas.hatch(insulationBoard, 60, 0.06);
    canvas.line(QPointF(parapet.right(), deck), QPointF(parapet.right() + w * 0.75, deck),
                Weight::Thick);
    const QPointF cap[] = {{x0 - 0.1, parapet.top() + 0.2},
                           {x0 - 0.1, parapet.top() - 0.06},
                           {parapet.right() + 0.1, parapet.top() - 0.02},
                           {parapet.right() + 0.1, parapet.top() + 0.15}};
    canvas.painter().setPen(canvas.pen(Weight::Medium));
    canvas.painter().drawPolyline(cap, 4);
    const QPointF membrane[] = {{parapet.right() + w * 0.75, deck - 0.24},
                                {parapet.right() + 0.2, deck - 0.24},
                                {parapet.right(), deck - 0.44},
                                {parapet.right(), parapet.top() + 0.05}};
    canvas.painter().drawPolyline(membrane, 4);
    leaders(canvas, box,
            {{QPointF(parapet.center().x(), parapet.top() - 0.04), "PREFINISHED METAL COPING"},
             {QPointF(parapet.right(), deck - 0.7), "MEMBRANE FLASHING UP AND OVER"},
             {insulationBoard.center(), "TAPERED POLYISO INSULATION"},
             {QPointF(parapet.right() + w * 0.5, deck), "1 1/2\" METAL ROOF DECK"},
             {QPointF(x0 + w * 0.07, deck + 0.8), "2X6 PARAPET FRAMING W/ BATT"}});
}

}  // namespace

void drawDetails(Canvas& canvas, const QRectF& region, const QString& sheetNumber) {
    constexpr int kColumns = 3;
    constexpr int kRows = 2;
    static const char* const kTitles[] = {"Wall Section", "Column Footing", "Roof Edge"};
    const double cellW = region.width() / kColumns;
    const double cellH = region.height() / kRows;
    int index = 1;
    const int firstType = canvas.rng().below(3);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kColumns; ++col, ++index) {
            const QRectF cell(region.left() + col * cellW, region.top() + row * cellH, cellW,
                              cellH);
            if (col > 0) {
                canvas.line(cell.topLeft(), cell.bottomLeft(), Weight::Thin);
            }
            if (row > 0) {
                canvas.line(cell.topLeft(), cell.topRight(), Weight::Thin);
            }
            const QRectF box = cell.adjusted(0.2, 0.2, -0.2, -1.0);
            const int type = (firstType + index + row) % 3;
            if (type == 0) {
                wallSection(canvas, box);
            } else if (type == 1) {
                footingDetail(canvas, box);
            } else {
                roofEdge(canvas, box);
            }
            drawDrawingTitle(canvas, QPointF(cell.left() + 0.6, cell.bottom() - 0.5), index,
                             sheetNumber, QString::fromLatin1(kTitles[type]),
                             QStringLiteral("1 1/2\" = 1'-0\""));
        }
    }
}

double drawTable(Canvas& canvas, QPointF topLeft, const QString& title,
                 const QList<double>& columnWidths, const QList<QStringList>& rows) {
    constexpr double kRow = 0.3;
    double width = 0;
    for (const double w : columnWidths) {
        width += w;
    }
    canvas.text(title, topLeft + QPointF(0, -0.12), 0.14, TextAlign::Left, Weight::Medium);
    const QRectF frame(topLeft, QSizeF(width, kRow * static_cast<double>(rows.size())));
    canvas.rect(frame, Weight::Thick);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const double y = topLeft.y() + kRow * static_cast<double>(r);
        if (r > 0) {
            canvas.line(QPointF(frame.left(), y), QPointF(frame.right(), y),
                        r == 1 ? Weight::Medium : Weight::Fine);
        }
        double x = topLeft.x();
        for (qsizetype c = 0; c < columnWidths.size() && c < rows[r].size(); ++c) {
            canvas.text(rows[r][c], QPointF(x + columnWidths[c] / 2, y + kRow * 0.68),
                        r == 0 ? 0.08 : 0.085, TextAlign::Center,
                        r == 0 ? Weight::Medium : Weight::Thin);
            x += columnWidths[c];
            if (c + 1 < columnWidths.size()) {
                canvas.line(QPointF(x, frame.top()), QPointF(x, frame.bottom()), Weight::Fine);
            }
        }
    }
    return frame.bottom();
}

void drawSchedules(Canvas& canvas, const QRectF& region) {
    // The tables are laid out for a region 16 in wide and enlarged to fill the one given.
    constexpr double kLayoutWidth = 16.5;
    const double enlarge = std::max(1.0, region.width() / kLayoutWidth);
    canvas.painter().save();
    canvas.painter().translate(region.topLeft());
    canvas.painter().scale(enlarge, enlarge);
    canvas.painter().translate(-region.topLeft());
    Rng& rng = canvas.rng();
    QList<QStringList> ahu = {
        {"TAG", "SERVICE", "CFM", "ESP (IN)", "FAN HP", "CLG MBH", "HTG MBH", "REMARKS"}};
    for (int i = 1; i <= 3; ++i) {
        ahu.append({QStringLiteral("AHU-%1").arg(i),
                    i == 3 ? "GYM" : QStringLiteral("FLOOR %1").arg(i),
                    QString::number(4000 + 500 * rng.below(9)), "1.5",
                    QString::number(5 + 2 * rng.below(4)), QString::number(120 + 10 * rng.below(9)),
                    QString::number(90 + 10 * rng.below(6)), "SEE SECT. 23 73 13"});
    }
    double y = drawTable(canvas, region.topLeft() + QPointF(0, 0.5), "AIR HANDLING UNIT SCHEDULE",
                         {0.8, 1.2, 0.8, 0.9, 0.8, 0.9, 0.9, 1.9}, ahu);
    QList<QStringList> diffusers = {{"TAG", "TYPE", "FACE SIZE", "NECK", "CFM RANGE", "FINISH"}};
    const char* const kTypes[] = {"SQUARE PLAQUE", "LINEAR SLOT", "PERF RETURN", "EGGCRATE"};
    for (int i = 1; i <= 6; ++i) {
        diffusers.append({QStringLiteral("SD-%1").arg(i), kTypes[rng.below(4)],
                          i % 2 ? "24x24" : "12x12",
                          QStringLiteral("%1\" RD").arg(6 + 2 * rng.below(4)),
                          QStringLiteral("%1-%2").arg(100 + 50 * i).arg(250 + 50 * i), "WHITE"});
    }
    y = drawTable(canvas, QPointF(region.left(), y + 1.0), "AIR DEVICE SCHEDULE",
                  {0.8, 1.6, 1.0, 0.9, 1.1, 0.9}, diffusers);
    QList<QStringList> fans = {{"TAG", "SERVICE", "CFM", "RPM", "VOLTS", "DRIVE"}};
    for (int i = 1; i <= 4; ++i) {
        fans.append({QStringLiteral("EF-%1").arg(i), i % 2 ? "TOILET ROOMS" : "JANITOR",
                     QString::number(150 + 75 * rng.below(8)),
                     QString::number(1000 + 50 * rng.below(12)), "120/1",
                     i % 2 ? "DIRECT" : "BELT"});
    }
    drawTable(canvas, QPointF(region.left(), y + 1.0), "EXHAUST FAN SCHEDULE",
              {0.8, 1.6, 0.8, 0.8, 0.9, 0.9}, fans);
    QList<QStringList> vav = {{"TAG", "INLET", "MAX CFM", "MIN CFM", "REHEAT KW", "SERVES"}};
    for (int i = 1; i <= 12; ++i) {
        vav.append(
            {QStringLiteral("VAV-%1").arg(i), QStringLiteral("%1\"").arg(6 + 2 * rng.below(5)),
             QString::number(400 + 50 * rng.below(16)), QString::number(150 + 25 * rng.below(6)),
             QString::number(2 + rng.below(6)), QStringLiteral("ROOM %1").arg(101 + 3 * i)});
    }
    y = drawTable(canvas, QPointF(region.left() + 9.6, region.top() + 0.5), "VAV BOX SCHEDULE",
                  {0.9, 0.8, 1.0, 1.0, 1.1, 1.2}, vav);
    const QList<QStringList> abbreviations = {{"ABBR.", "MEANING"},
                                              {"AHU", "AIR HANDLING UNIT"},
                                              {"CFM", "CUBIC FEET PER MINUTE"},
                                              {"EF", "EXHAUST FAN"},
                                              {"ESP", "EXTERNAL STATIC PRESSURE"},
                                              {"MBH", "THOUSAND BTU PER HOUR"},
                                              {"SD", "SUPPLY DIFFUSER"},
                                              {"VAV", "VARIABLE AIR VOLUME"}};
    drawTable(canvas, QPointF(region.left() + 9.6, y + 1.0), "ABBREVIATIONS", {1.0, 3.2},
              abbreviations);
    canvas.painter().restore();
}

}  // namespace sw::tools
