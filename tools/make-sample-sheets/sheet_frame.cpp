#include "sheet_frame.h"

#include <QStringList>

namespace sw::tools {

namespace {

constexpr double kTitleBlockWidth = 3.2;
constexpr double kBlockInset = 0.15;

const char* const kNoteSentences[] = {
    "ALL DIMENSIONS ARE TO FACE OF STUD OR CENTERLINE OF GRID UNLESS NOTED OTHERWISE.",
    "CONTRACTOR SHALL VERIFY ALL DIMENSIONS AND CONDITIONS IN THE FIELD BEFORE STARTING WORK.",
    "DO NOT SCALE DRAWINGS. WRITTEN DIMENSIONS GOVERN.",
    "PROVIDE FIRE BLOCKING AT ALL CONCEALED SPACES PER CODE.",
    "COORDINATE ALL FLOOR OPENINGS WITH STRUCTURAL AND MECHANICAL DRAWINGS.",
    "ALL CONCRETE SHALL HAVE A MINIMUM STRENGTH OF 4000 PSI AT 28 DAYS.",
    "REINFORCING STEEL SHALL CONFORM TO ASTM A615 GRADE 60.",
    "SEAL ALL PENETRATIONS IN RATED ASSEMBLIES WITH LISTED FIRESTOP SYSTEMS.",
    "DUCT SIZES SHOWN ARE INSIDE CLEAR DIMENSIONS.",
    "PROVIDE ACCESS PANELS AT ALL DAMPERS AND VALVES ABOVE HARD CEILINGS.",
    "SLOPE ALL ROOF SURFACES 1/4\" PER FOOT MINIMUM TO DRAINS.",
    "PATCH AND REPAIR ALL SURFACES DAMAGED BY NEW WORK TO MATCH ADJACENT.",
    "REFER TO CIVIL DRAWINGS FOR SITE UTILITIES AND GRADING.",
    "STRUCTURAL STEEL SHALL CONFORM TO ASTM A992 UNLESS NOTED OTHERWISE.",
    "ALL WORK SHALL COMPLY WITH THE 2024 INTERNATIONAL BUILDING CODE.",
    "PROVIDE BLOCKING FOR ALL WALL MOUNTED EQUIPMENT AND ACCESSORIES.",
};

QStringList wrap(const QString& text, double width, double height) {
    const int perLine = std::max(8, static_cast<int>((width + height / 3) / height));
    QStringList lines;
    QString current;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!current.isEmpty() && current.size() + 1 + word.size() > perLine) {
            lines.append(current);
            current.clear();
        }
        current += (current.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!current.isEmpty()) {
        lines.append(current);
    }
    return lines;
}

void drawZones(Canvas& canvas, const QRectF& border, const QRectF& trim) {
    constexpr int kColumns = 8;
    constexpr int kRows = 6;
    for (int i = 0; i < kColumns; ++i) {
        const double x = border.left() + border.width() * (i + 0.5) / kColumns;
        const QString label = QString::number(kColumns - i);
        canvas.text(label, QPointF(x, (trim.top() + border.top()) / 2 + 0.06), 0.12,
                    TextAlign::Center);
        canvas.text(label, QPointF(x, (trim.bottom() + border.bottom()) / 2 + 0.06), 0.12,
                    TextAlign::Center);
        const double tick = border.left() + border.width() * i / kColumns;
        canvas.line(QPointF(tick, trim.top()), QPointF(tick, border.top()));
        canvas.line(QPointF(tick, trim.bottom()), QPointF(tick, border.bottom()));
    }
    for (int i = 0; i < kRows; ++i) {
        const double y = border.top() + border.height() * (i + 0.5) / kRows;
        const QString label(QChar(u'A' + kRows - 1 - i));
        canvas.text(label, QPointF((trim.left() + border.left()) / 2, y + 0.06), 0.12,
                    TextAlign::Center);
        canvas.text(label, QPointF((trim.right() + border.right()) / 2, y + 0.06), 0.12,
                    TextAlign::Center);
        const double tick = border.top() + border.height() * i / kRows;
        canvas.line(QPointF(trim.left(), tick), QPointF(border.left(), tick));
        canvas.line(QPointF(trim.right(), tick), QPointF(border.right(), tick));
    }
}

// Writes lines of text top-down from `top` inside the block; returns the next free y.
double textLines(Canvas& canvas, const QRectF& block, double top,
                 const QList<std::pair<QString, double>>& lines) {
    double y = top;
    for (const auto& [text, height] : lines) {
        y += height * 1.6;
        canvas.text(text, QPointF(block.left() + kBlockInset, y), height);
    }
    return y;
}

void drawKeyPlan(Canvas& canvas, const QRectF& block) {
    canvas.text(QStringLiteral("KEY PLAN"), QPointF(block.left() + kBlockInset, block.top() + 0.25),
                0.1, TextAlign::Left, Weight::Medium);
    const QRectF outline(block.left() + 0.5, block.top() + 0.6, block.width() - 1.0,
                         block.height() - 1.0);
    canvas.rect(outline, Weight::Medium);
    const int part = canvas.rng().below(4);
    const QRectF shaded(outline.left() + (part % 2) * outline.width() / 2,
                        outline.top() + (part / 2) * outline.height() / 2, outline.width() / 2,
                        outline.height() / 2);
    canvas.hatch(shaded, 45, 0.06);
    canvas.northArrow(QPointF(outline.right() + 0.25, outline.top() + 0.3), 0.15);
}

void drawRevisions(Canvas& canvas, const QRectF& block) {
    canvas.text(QStringLiteral("REVISIONS"),
                QPointF(block.left() + kBlockInset, block.top() + 0.25), 0.1, TextAlign::Left,
                Weight::Medium);
    constexpr int kRows = 7;
    const double rowHeight = (block.height() - 0.4) / kRows;
    const double numberX = block.left() + 0.45;
    const double dateX = block.right() - 0.95;
    canvas.line(QPointF(numberX, block.top() + 0.4), QPointF(numberX, block.bottom()));
    canvas.line(QPointF(dateX, block.top() + 0.4), QPointF(dateX, block.bottom()));
    static const char* const kIssues[][2] = {{"PERMIT SET", "2026-09-14"},
                                             {"ISSUED FOR BID", "2026-10-05"},
                                             {"ADDENDUM 1", "2026-10-19"},
                                             {"ISSUED FOR CONSTRUCTION", "2026-11-16"}};
    const int issued = 1 + canvas.rng().below(4);
    for (int row = 0; row < kRows; ++row) {
        const double y = block.top() + 0.4 + row * rowHeight;
        canvas.line(QPointF(block.left(), y), QPointF(block.right(), y), Weight::Fine);
        if (row < issued) {
            const double base = y + rowHeight * 0.7;
            canvas.text(QString::number(row + 1), QPointF((block.left() + numberX) / 2, base), 0.08,
                        TextAlign::Center);
            canvas.text(QString::fromLatin1(kIssues[row][0]), QPointF(numberX + 0.08, base), 0.07);
            canvas.text(QString::fromLatin1(kIssues[row][1]), QPointF(dateX + 0.08, base), 0.07);
        }
    }
}

void drawFields(Canvas& canvas, const QRectF& block, const QString& projectNumber) {
    const QString fields[][2] = {{"DATE", "2026-11-16"},
                                 {"SCALE", "AS NOTED"},
                                 {"DRAWN BY", "JRM"},
                                 {"CHECKED BY", "KLT"},
                                 {"PROJECT NO.", projectNumber}};
    const double rowHeight = block.height() / 5;
    for (int row = 0; row < 5; ++row) {
        const double y = block.top() + row * rowHeight;
        if (row > 0) {
            canvas.line(QPointF(block.left(), y), QPointF(block.right(), y), Weight::Fine);
        }
        canvas.text(fields[row][0], QPointF(block.left() + kBlockInset, y + rowHeight * 0.65),
                    0.07);
        canvas.text(fields[row][1], QPointF(block.left() + 1.3, y + rowHeight * 0.68), 0.09,
                    TextAlign::Left, Weight::Medium);
    }
}

void drawTitleBlock(Canvas& canvas, const QRectF& block, const SampleSheet& sheet,
                    const QString& projectNumber) {
    canvas.rect(block, Weight::Heavy);
    const double x0 = block.left();
    const double x1 = block.right();
    auto divider = [&](double y) { canvas.line(QPointF(x0, y), QPointF(x1, y), Weight::Medium); };

    // Top-down.
    QRectF firm(x0, block.top(), block.width(), 1.6);
    textLines(canvas, firm, firm.top(),
              {{"SHEETWISE ARCHITECTS", 0.13},
               {"ARCHITECTURE - INTERIORS", 0.08},
               {"455 HARBOR STREET, SUITE 300", 0.08},
               {"PORTLAND, OR 97204", 0.08},
               {"TEL (503) 555-0142", 0.08}});
    divider(firm.bottom());
    QRectF consultants(x0, firm.bottom(), block.width(), 1.9);
    textLines(canvas, consultants, consultants.top(),
              {{"STRUCTURAL ENGINEER", 0.07},
               {"HALVERSON ENGINEERING", 0.09},
               {"MECHANICAL ENGINEER", 0.07},
               {"NORTHWIND MEP", 0.09},
               {"CIVIL ENGINEER", 0.07},
               {"CASCADE SITEWORKS", 0.09}});
    divider(consultants.bottom());
    QRectF project(x0, consultants.bottom(), block.width(), 1.6);
    textLines(canvas, project, project.top(),
              {{"RIVERSIDE", 0.16},
               {"COMMUNITY CENTER", 0.16},
               {"1200 RIVER ROAD", 0.08},
               {"PROJECT " + projectNumber, 0.08}});
    divider(project.bottom());
    QRectF keyPlan(x0, project.bottom(), block.width(), 2.2);
    drawKeyPlan(canvas, keyPlan);
    divider(keyPlan.bottom());

    // Bottom-up.
    QRectF number(x0, block.bottom() - 2.0, block.width(), 2.0);
    canvas.text(QStringLiteral("SHEET"), QPointF(x0 + kBlockInset, number.top() + 0.25), 0.08);
    canvas.text(sheet.number, QPointF(number.center().x(), number.bottom() - 0.6), 0.6,
                TextAlign::Center, Weight::Heavy);
    divider(number.top());
    QRectF title(x0, number.top() - 1.5, block.width(), 1.5);
    double y = title.top() + 0.35;
    for (const QString& line : wrap(sheet.title.toUpper(), block.width() - 0.3, 0.18)) {
        y += 0.32;
        canvas.text(line, QPointF(title.center().x(), y), 0.18, TextAlign::Center, Weight::Medium);
    }
    canvas.text(QStringLiteral("SHEET TITLE"), QPointF(x0 + kBlockInset, title.top() + 0.22), 0.07);
    divider(title.top());
    QRectF fields(x0, title.top() - 1.5, block.width(), 1.5);
    drawFields(canvas, fields, projectNumber);
    divider(fields.top());
    QRectF revisions(x0, fields.top() - 2.6, block.width(), 2.6);
    drawRevisions(canvas, revisions);
    divider(revisions.top());

    // The seal takes what is left between the two stacks.
    const QRectF seal(x0, keyPlan.bottom(), block.width(), revisions.top() - keyPlan.bottom());
    const double radius = std::min(0.75, seal.height() / 2 - 0.2);
    if (radius > 0.3) {
        canvas.circle(seal.center(), radius, Weight::Medium);
        canvas.circle(seal.center(), radius - 0.08, Weight::Fine);
        canvas.text(QStringLiteral("REGISTERED"), seal.center() + QPointF(0, -0.15), 0.08,
                    TextAlign::Center);
        canvas.text(QStringLiteral("ARCHITECT"), seal.center() + QPointF(0, 0.02), 0.08,
                    TextAlign::Center);
        canvas.text(QStringLiteral("NO. 4471"), seal.center() + QPointF(0, 0.2), 0.08,
                    TextAlign::Center);
    }
}

}  // namespace

QRectF drawFrame(Canvas& canvas, const SampleSheet& sheet, const QString& projectNumber) {
    const QRectF trim(0.25, 0.25, canvas.width() - 0.5, canvas.height() - 0.5);
    const QRectF border(1.0, 0.5, canvas.width() - 1.5, canvas.height() - 1.0);
    canvas.rect(trim, Weight::Fine);
    canvas.rect(border, Weight::Heavy);
    drawZones(canvas, border, trim);
    const QRectF block(border.right() - kTitleBlockWidth, border.top(), kTitleBlockWidth,
                       border.height());
    drawTitleBlock(canvas, block, sheet, projectNumber);
    return QRectF(border.left() + 0.4, border.top() + 0.4, block.left() - border.left() - 0.8,
                  border.height() - 0.8);
}

void drawNotes(Canvas& canvas, const QRectF& column, const QString& heading, int count,
               int deleted) {
    double y = column.top() + 0.2;
    canvas.text(heading, QPointF(column.left(), y), 0.14, TextAlign::Left, Weight::Medium);
    canvas.line(QPointF(column.left(), y + 0.06),
                QPointF(column.left() + strokeTextWidth(heading, 0.14), y + 0.06), Weight::Medium);
    y += 0.25;
    constexpr double kHeight = 0.09;
    constexpr int kSentences = sizeof(kNoteSentences) / sizeof(kNoteSentences[0]);
    int sentence = canvas.rng().below(kSentences);
    for (int note = 1; note <= count && y < column.bottom(); ++note) {
        const QString number = QString::number(note) + u'.';
        const QStringList lines =
            wrap(QString::fromLatin1(kNoteSentences[sentence]), column.width() - 0.35, kHeight);
        y += kHeight * 1.9;
        if (note != deleted) {
            canvas.text(number, QPointF(column.left(), y), kHeight);
        }
        for (const QString& line : lines) {
            if (y > column.bottom()) {
                break;
            }
            if (note != deleted) {
                canvas.text(line, QPointF(column.left() + 0.3, y), kHeight);
            }
            y += kHeight * 1.7;
        }
        sentence = (sentence + 1 + canvas.rng().below(3)) % kSentences;
    }
}

void drawDrawingTitle(Canvas& canvas, QPointF at, int index, const QString& sheetNumber,
                      const QString& title, const QString& scale) {
    constexpr double kRadius = 0.3;
    canvas.circle(at, kRadius, Weight::Medium);
    canvas.line(at - QPointF(kRadius, 0), at + QPointF(kRadius, 0), Weight::Thin);
    canvas.text(QString::number(index), at + QPointF(0, -0.07), 0.16, TextAlign::Center,
                Weight::Medium);
    canvas.text(sheetNumber, at + QPointF(0, 0.18), 0.09, TextAlign::Center);
    const QPointF start = at + QPointF(kRadius + 0.15, 0);
    const QString upper = title.toUpper();
    canvas.text(upper, start + QPointF(0, -0.05), 0.18, TextAlign::Left, Weight::Medium);
    canvas.line(start + QPointF(-kRadius - 0.15, 0),
                start + QPointF(strokeTextWidth(upper, 0.18) + 0.2, 0), Weight::Heavy);
    canvas.text(QStringLiteral("SCALE: ") + scale, start + QPointF(0, 0.2), 0.09);
}

}  // namespace sw::tools
