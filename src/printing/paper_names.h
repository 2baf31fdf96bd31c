#pragma once

#include <optional>

#include <QPageSize>
#include <QString>

#include "printing/printer_device.h"

namespace sw::printing {

// Highest paper size code with a name of its own.
inline constexpr int kLastNamedPaperCode = 41;

// The text the print dialog shows for a paper size code: the name of codes 1..41 ("Letter,
// 8 1/2 x 11 in", ..., "German Legal Fanfold, 8 1/2 x 13 in"); for any other code the page size
// in inches as "#.00" patterns joined by "x" (8.50x11.00, .50x1.00), taken from the page size
// given in twips (so it follows the orientation).
QString PaperSizeName(int code, double pageWidthTwips, double pageHeightTwips);
// The same with the page size read from `printer` at the moment of the call.
QString PaperSizeName(int code, const PrinterDevice& printer);

// What the print dialog adds under the paper name when the printer does not print on the paper
// of its code (a queue without that size): "The printer has no such paper; it prints on "
// and the name of the paper it uses (the first code of that size, or its size in inches). Empty
// when the printer's page has the size of its code, and for codes without a size.
QString paperInUseNote(const PrinterDevice& printer);

// Paper size code of a page size: the numbered paper list's code where the size has one
// (Letter 1, A4 9, Tabloid 3, ...), otherwise 0. Codes above 41 come back for sizes of the
// extended list (A2 is 66).
int paperCodeForPageSize(const QPageSize& size);
// The page size of a paper size code; nothing for 0 and unknown codes.
std::optional<QPageSize> pageSizeForPaperCode(int code);

// A paper named on a command line: a paper size code ("1", "9"), a page size name or key as Qt
// spells it, compared without letter case and blanks ("Letter", "a4", "Arch D", "ANSI E"), or
// a custom size "WxHin" / "WxHmm" (for example 36x24in). Nothing when the text names no size.
std::optional<QPageSize> parsePaperName(const QString& text);

}  // namespace sw::printing
