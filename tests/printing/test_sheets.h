#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include "base/script_error.h"
#include "imaging/sheet.h"

namespace sw::printing::test {

// A bilevel sheet of the given size in inches at `dpi`: white paper with black lines one pixel
// wide every inch (at pixel 0, dpi, ...), colour table {white, black} (min-is-white, as sheets
// come from TIFF files).
QImage gridSheet(double widthIn, double heightIn, int dpi);
// The same as a sheet with that resolution.
inline imaging::Sheet grid(double widthIn, double heightIn, int dpi = 100) {
    return {gridSheet(widthIn, heightIn, dpi), static_cast<double>(dpi), static_cast<double>(dpi)};
}

// The positions of dark runs along row `y` (or column `x`) of a rendered page, each run reported
// by its centre, and the gaps between neighbouring runs.
QList<double> darkRunsAlongRow(const QImage& page, int y, int threshold = 128);
QList<double> darkRunsAlongColumn(const QImage& page, int x, int threshold = 128);
QList<double> gaps(const QList<double>& runs);

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

// A PDF as poppler sees it: a pdfinfo field ("Pages", "Page size"), the rows of
// `pdfimages -list` split into fields (page num type width height color comp bpc ...), and one
// page rendered at `dpi` (null when it cannot be rendered).
QString pdfInfo(const QString& pdf, const QString& key);
QList<QStringList> pdfImages(const QString& pdf);
QImage renderPdfPage(const QString& pdf, int page, int dpi);

}  // namespace sw::printing::test
