#pragma once

#include <string>

#include <QImage>
#include <QString>

namespace sw::printing::test {

// A bilevel sheet of the given size in inches at `dpi`: white paper with black lines one pixel
// wide every `gridIn` inches (at pixel 0, gridIn x dpi, ...), colour table {white, black}
// (min-is-white, as sheets come from TIFF files).
QImage gridSheet(double widthIn, double heightIn, int dpi, double gridIn = 1.0);

// The positions of dark runs along row `y` (or column `x`) of a rendered page, each run reported
// by its centre.
QList<double> darkRunsAlongRow(const QImage& page, int y, int threshold = 128);
QList<double> darkRunsAlongColumn(const QImage& page, int x, int threshold = 128);

// GoogleTest parameter names from a case's `label` (letters and digits kept, others '_').
struct LabelName {
    template <typename Info>
    std::string operator()(const Info& info) const {
        std::string name = info.param.label;
        for (char& ch : name) {
            const bool keep =
                (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
            ch = keep ? ch : '_';
        }
        return name;
    }
};

// Runs a program and returns its standard output; empty when it cannot be run.
QString runTool(const QString& program, const QStringList& arguments, int* exitCode = nullptr);

}  // namespace sw::printing::test
