#pragma once

#include <ostream>
#include <string>

#include <QImage>
#include <QString>
#include <QStringList>

#include "base/script_error.h"

namespace sw::printing::test {

// A bilevel sheet of the given size in inches at `dpi`: white paper with black lines one pixel
// wide every inch (at pixel 0, dpi, ...), colour table {white, black} (min-is-white, as sheets
// come from TIFF files).
QImage gridSheet(double widthIn, double heightIn, int dpi);

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

// GoogleTest printer for a table case: its label (test lists then show the label, not bytes).
#define SW_PRINT_LABEL(Case)                                         \
    [[maybe_unused]] void PrintTo(const Case& c, std::ostream* os) { \
        *os << c.label;                                              \
    }

// The description of the runtime error `call` throws, "no error" when it returns.
template <typename Call>
QString scriptError(Call&& call) {
    try {
        call();
    } catch (const base::ScriptError& e) {
        return e.description();
    }
    return QStringLiteral("no error");
}

// Runs a program and returns its standard output; empty when it cannot be run.
QString runTool(const QString& program, const QStringList& arguments);

// A PDF as poppler sees it: a pdfinfo field ("Pages", "Page size"), the rows of
// `pdfimages -list` split into fields (page num type width height color comp bpc ...), and one
// page rendered at `dpi` (null when it cannot be rendered).
QString pdfInfo(const QString& pdf, const QString& key);
QList<QStringList> pdfImages(const QString& pdf);
QImage renderPdfPage(const QString& pdf, int page, int dpi);

}  // namespace sw::printing::test
