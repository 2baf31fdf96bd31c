#include "printing/paper_names.h"

#include <array>
#include <cmath>

#include <QRegularExpression>

#include "base/vb.h"

namespace sw::printing {

namespace {

constexpr std::array<const char*, kLastNamedPaperCode> kPaperNames = {
    "Letter, 8 1/2 x 11 in",
    "Letter Small, 8 1/2 x 11 in",
    "Tabloid, 11 x 17 in",
    "Ledger, 17 x 11 in",
    "Legal, 8 1/2 x 14 in",
    "Statement, 5 1/2 x 8 1/2 in",
    "Executive, 7 1/2 x 10 1/2 in",
    "A3, 297 x 420 mm",
    "A4, 210 x 297 mm",
    "A4 Small, 210 x 297 mm",
    "A5, 148 x 210 mm",
    "B4, 250 x 354 mm",
    "B5, 182 x 257 mm",
    "Folio, 8 1/2 x 13 in",
    "Quarto, 215 x 275 mm",
    "10 x 14 in",
    "11 x 17 in",
    "Note, 8 1/2 x 11 in",
    "Envelope #9, 3 7/8 x 8 7/8 in",
    "Envelope #10, 4 1/8 x 9 1/2 in",
    "Envelope #11, 4 1/2 x 10 3/8 in",
    "Envelope #12, 4 1/2 x 11 in",
    "Envelope #14, 5 x 11 1/2 in",
    "C size sheet",
    "D size sheet",
    "E size sheet",
    "Envelope DL, 110 x 220 mm",
    "Envelope C5, 162 x 229 mm",
    "Envelope C3, 324 x 458 mm",
    "Envelope C4, 229 x 324 mm",
    "Envelope C6, 114 x 162 mm",
    "Envelope C65, 114 x 229 mm",
    "Envelope B4, 250 x 353 mm",
    "Envelope B5, 176 x 250 mm",
    "Envelope B6, 176 x 125 mm",
    "Envelope, 110 x 230 mm",
    "Envelope Monarch, 3 7/8 x 7 1/2 in",
    "Envelope, 3 5/8 x 6 1/2 in",
    "U.S. Standard Fanfold, 14 7/8 x 11 in",
    "German Standard Fanfold, 8 1/2 x 12 in",
    "German Legal Fanfold, 8 1/2 x 13 in",
};

constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;

// The numbered list's code for sizes defined by the user.
constexpr int kUserDefinedPaper = 256;

// The C, D and E size sheets of the numbered list are the ANSI engineering sizes (17 x 22,
// 22 x 34, 34 x 44 in), which Qt's own table maps to the architectural sizes instead.
struct SheetSize {
    int code;
    QPageSize::PageSizeId id;
};
constexpr SheetSize kSheetSizes[] = {
    {24, QPageSize::AnsiC}, {25, QPageSize::AnsiD}, {26, QPageSize::AnsiE}};

QString squeezed(const QString& text) {
    QString out;
    for (QChar c : text) {
        if (!c.isSpace()) {
            out.append(c.toLower());
        }
    }
    return out;
}

std::optional<QPageSize> customPaper(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*([0-9]*\\.?[0-9]+)\\s*[xX]\\s*([0-9]*\\.?[0-9]+)\\s*(in|mm)\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const double w = match.captured(1).toDouble();
    const double h = match.captured(2).toDouble();
    if (w <= 0 || h <= 0) {
        return std::nullopt;
    }
    const QPageSize::Unit unit =
        match.captured(3) == QLatin1String("in") ? QPageSize::Inch : QPageSize::Millimeter;
    return QPageSize(QSizeF(w, h), unit, QString(), QPageSize::ExactMatch);
}

}  // namespace

QString PaperSizeName(int code, double pageWidthTwips, double pageHeightTwips) {
    if (code >= 1 && code <= kLastNamedPaperCode) {
        return QString::fromLatin1(kPaperNames[static_cast<std::size_t>(code - 1)]);
    }
    return base::vb::formatFixed(pageWidthTwips / kTwipsPerInch, 2) + QLatin1Char('x') +
           base::vb::formatFixed(pageHeightTwips / kTwipsPerInch, 2);
}

QString PaperSizeName(int code, const PrinterDevice& printer) {
    if (code >= 1 && code <= kLastNamedPaperCode) {
        return PaperSizeName(code, 0, 0);
    }
    return PaperSizeName(code, printer.pageWidthTwips(), printer.pageHeightTwips());
}

QString paperInUseNote(const PrinterDevice& printer) {
    const double width = printer.pageWidthTwips();
    const double height = printer.pageHeightTwips();
    const bool landscape = printer.orientation() == kLandscape;
    const auto fits = [&](int code) {
        const std::optional<QPageSize> size = pageSizeForPaperCode(code);
        if (!size) {
            return false;
        }
        QSizeF twips = size->size(QPageSize::Point) * kTwipsPerPoint;
        if (landscape) {
            twips.transpose();
        }
        return std::abs(twips.width() - width) < kTwipsPerPoint &&
               std::abs(twips.height() - height) < kTwipsPerPoint;
    };
    const int code = printer.paperSize();
    if (!pageSizeForPaperCode(code) || fits(code)) {
        return {};
    }
    int inUse = 0;
    for (int c = 1; c <= kLastNamedPaperCode && inUse == 0; ++c) {
        inUse = fits(c) ? c : 0;
    }
    return QStringLiteral("The printer has no such paper; it prints on ") +
           PaperSizeName(inUse, width, height);
}

int paperCodeForPageSize(const QPageSize& size) {
    if (!size.isValid()) {
        return 0;
    }
    for (const SheetSize& sheet : kSheetSizes) {
        if (size.id() == sheet.id) {
            return sheet.code;
        }
    }
    const int code = size.windowsId();
    return code == kUserDefinedPaper ? 0 : code;
}

std::optional<QPageSize> pageSizeForPaperCode(int code) {
    if (code <= 0) {
        return std::nullopt;
    }
    for (const SheetSize& sheet : kSheetSizes) {
        if (code == sheet.code) {
            return QPageSize(sheet.id);
        }
    }
    const QPageSize::PageSizeId id = QPageSize::id(code);
    if (id == QPageSize::Custom) {
        return std::nullopt;
    }
    return QPageSize(id);
}

std::optional<QPageSize> parsePaperName(const QString& text) {
    bool isNumber = false;
    const int code = text.trimmed().toInt(&isNumber);
    if (isNumber) {
        return pageSizeForPaperCode(code);
    }
    if (auto custom = customPaper(text)) {
        return custom;
    }
    const QString wanted = squeezed(text);
    if (wanted.isEmpty()) {
        return std::nullopt;
    }
    for (int i = 0; i <= int(QPageSize::LastPageSize); ++i) {
        const auto id = static_cast<QPageSize::PageSizeId>(i);
        if (id == QPageSize::Custom) {
            continue;
        }
        if (squeezed(QPageSize::name(id)) == wanted || squeezed(QPageSize::key(id)) == wanted) {
            return QPageSize(id);
        }
    }
    return std::nullopt;
}

}  // namespace sw::printing
