#include "stroke_font.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace sw::tools {

namespace {

// Glyphs on a grid 4 units wide and 6 high (baseline at 0, y up); polylines separated by ";",
// points by blanks. The advance is 6 units.
constexpr double kGlyphHeight = 6;
constexpr double kAdvance = 6;

struct GlyphSource {
    char ch;
    const char* strokes;
};

constexpr GlyphSource kGlyphs[] = {
    {'A', "0,0 2,6 4,0; 0.7,2 3.3,2"},
    {'B', "0,0 0,6 3,6 4,5 4,4 3,3 0,3; 3,3 4,2 4,1 3,0 0,0"},
    {'C', "4,5 3,6 1,6 0,5 0,1 1,0 3,0 4,1"},
    {'D', "0,0 0,6 2.5,6 4,4.5 4,1.5 2.5,0 0,0"},
    {'E', "4,6 0,6 0,0 4,0; 0,3 3,3"},
    {'F', "4,6 0,6 0,0; 0,3 3,3"},
    {'G', "4,5 3,6 1,6 0,5 0,1 1,0 3,0 4,1 4,3 2,3"},
    {'H', "0,0 0,6; 4,0 4,6; 0,3 4,3"},
    {'I', "1,6 3,6; 2,6 2,0; 1,0 3,0"},
    {'J', "4,6 4,1 3,0 1,0 0,1"},
    {'K', "0,0 0,6; 4,6 0,2; 1.3,3.3 4,0"},
    {'L', "0,6 0,0 4,0"},
    {'M', "0,0 0,6 2,3 4,6 4,0"},
    {'N', "0,0 0,6 4,0 4,6"},
    {'O', "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0"},
    {'P', "0,0 0,6 3,6 4,5 4,4 3,3 0,3"},
    {'Q', "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0; 2.5,1.5 4,0"},
    {'R', "0,0 0,6 3,6 4,5 4,4 3,3 0,3; 2,3 4,0"},
    {'S', "4,5 3,6 1,6 0,5 0,4 1,3 3,3 4,2 4,1 3,0 1,0 0,1"},
    {'T', "0,6 4,6; 2,6 2,0"},
    {'U', "0,6 0,1 1,0 3,0 4,1 4,6"},
    {'V', "0,6 2,0 4,6"},
    {'W', "0,6 1,0 2,4 3,0 4,6"},
    {'X', "0,0 4,6; 0,6 4,0"},
    {'Y', "0,6 2,3 4,6; 2,3 2,0"},
    {'Z', "0,6 4,6 0,0 4,0"},
    {'0', "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0; 0.5,1 3.5,5"},
    {'1', "1,5 2,6 2,0; 1,0 3,0"},
    {'2', "0,5 1,6 3,6 4,5 4,4 0,0 4,0"},
    {'3', "0,5 1,6 3,6 4,5 4,4 3,3 4,2 4,1 3,0 1,0 0,1; 1.5,3 3,3"},
    {'4', "3,0 3,6 0,2 4,2"},
    {'5', "4,6 0,6 0,3 3,3 4,2 4,1 3,0 1,0 0,1"},
    {'6', "4,5 3,6 1,6 0,5 0,1 1,0 3,0 4,1 4,2 3,3 0,3"},
    {'7', "0,6 4,6 1.5,0"},
    {'8', "1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3 1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3"},
    {'9', "0,1 1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,4 1,3 4,3"},
    {'-', "1,3 3,3"},
    {'.', "1.7,0 2.3,0 2.3,0.6 1.7,0.6 1.7,0"},
    {',', "2,0.5 2,0 1.4,-1"},
    {'\'', "2,6 2,4.5"},
    {'"', "1.3,6 1.3,4.5; 2.7,6 2.7,4.5"},
    {'/', "0,0 4,6"},
    {':', "1.7,1 2.3,1 2.3,1.6 1.7,1.6 1.7,1; 1.7,4 2.3,4 2.3,4.6 1.7,4.6 1.7,4"},
    {'(', "2.5,6 1.5,5 1.5,1 2.5,0"},
    {')', "1.5,6 2.5,5 2.5,1 1.5,0"},
    {'&', "4,0 1,4.5 1,5.5 1.5,6 2.5,6 3,5.5 3,4.5 0,2 0,1 1,0 2.5,0 4,2"},
    {'#', "1,0 1.5,6; 2.5,0 3,6; 0,2 4,2; 0,4 4,4"},
    {'=', "0.5,2 3.5,2; 0.5,4 3.5,4"},
    {'+', "2,1 2,5; 0,3 4,3"},
    {'@', "3,2 3,4 1.5,4 1.5,2 3,2 4,3 4,5 3,6 1,6 0,5 0,1 1,0 3.5,0"},
};

// Glyph outlines in glyph units with y up, parsed once.
const QHash<QChar, QPainterPath>& glyphPaths() {
    static const QHash<QChar, QPainterPath> paths = [] {
        QHash<QChar, QPainterPath> result;
        for (const GlyphSource& glyph : kGlyphs) {
            QPainterPath path;
            for (const QString& stroke : QString::fromLatin1(glyph.strokes).split(u';')) {
                const QStringList points = stroke.split(u' ', Qt::SkipEmptyParts);
                for (qsizetype i = 0; i < points.size(); ++i) {
                    const QStringList xy = points[i].split(u',');
                    const QPointF p(xy[0].toDouble(), xy[1].toDouble());
                    if (i == 0) {
                        path.moveTo(p);
                    } else {
                        path.lineTo(p);
                    }
                }
            }
            result.insert(QChar::fromLatin1(glyph.ch), path);
        }
        return result;
    }();
    return paths;
}

}  // namespace

double strokeTextWidth(const QString& text, double height) {
    if (text.isEmpty()) {
        return 0;
    }
    const double unit = height / kGlyphHeight;
    return (static_cast<double>(text.size()) * kAdvance - 2) * unit;
}

void drawStrokeText(QPainter& painter, const QString& text, QPointF anchor, double height,
                    TextAlign align) {
    const double width = strokeTextWidth(text, height);
    double x = anchor.x();
    if (align == TextAlign::Center) {
        x -= width / 2;
    } else if (align == TextAlign::Right) {
        x -= width;
    }
    const double unit = height / kGlyphHeight;
    const QHash<QChar, QPainterPath>& paths = glyphPaths();
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const QChar ch : text) {
        const auto glyph = paths.constFind(ch.toUpper());
        if (glyph != paths.cend()) {
            QTransform toSheet;
            toSheet.translate(x, anchor.y());
            toSheet.scale(unit, -unit);
            painter.drawPath(toSheet.map(*glyph));
        }
        x += kAdvance * unit;
    }
    painter.restore();
}

}  // namespace sw::tools
