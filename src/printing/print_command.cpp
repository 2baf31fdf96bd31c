#include "printing/print_command.h"

#include <cstdio>
#include <memory>
#include <optional>

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>

#include "base/script_error.h"
#include "imaging/imaging_error.h"
#include "imaging/tiff_reader.h"
#include "imaging/transforms.h"
#include "printing/named_printers.h"
#include "printing/paged_printer_device.h"
#include "printing/paper_names.h"
#include "printing/printer_metrics.h"
#include "printing/sheet_job_host.h"

namespace sw::printing {

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Failure {
    int exitCode;
    QString message;
};

struct Request {
    QString sheetPath;
    QString pdfPath;
    QString printerName;
    std::optional<QPageSize> paper;
    int paperCode = 0;  // the code given, or the code of the size named; 0 for a custom size
    std::optional<int> orientation;
    LayoutOptions options;
    bool blue = false;
    bool marks = false;
    std::optional<QRectF> selection;
};

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Prints a sheet with the print dialog's layout and job, headless, and prints a JSON "
        "summary. Defaults as the dialog opens: portrait, 100%, crop to one page; Letter for a "
        "PDF, "
        "the queue's own default paper for a printer."));
    parser.addPositionalArgument(QStringLiteral("sheet"), QStringLiteral("The TIFF sheet."));
    parser.addOptions({
        {QStringLiteral("pdf"), QStringLiteral("Write a PDF file."), QStringLiteral("file")},
        {QStringLiteral("printer"), QStringLiteral("Print on an installed printer."),
         QStringLiteral("name")},
        {QStringLiteral("paper"),
         QStringLiteral("Paper size code (1..41), name (Letter, A3, Arch D) or WxHin / WxHmm."),
         QStringLiteral("paper")},
        {QStringLiteral("orientation"), QStringLiteral("portrait or landscape."),
         QStringLiteral("orientation")},
        {QStringLiteral("scale"),
         QStringLiteral("Scale as typed in the dialog (\"100%\", \"80\")."),
         QStringLiteral("text")},
        {QStringLiteral("crop"), QStringLiteral("Crop to one page (the default).")},
        {QStringLiteral("no-crop"), QStringLiteral("Tile the sheet over as many pages as needed.")},
        {QStringLiteral("fit"), QStringLiteral("Fit the whole sheet on one page.")},
        {QStringLiteral("blue"), QStringLiteral("Print in blue.")},
        {QStringLiteral("selection"), QStringLiteral("Print only this part (sheet pixels)."),
         QStringLiteral("x,y,w,h")},
        {QStringLiteral("marks"),
         QStringLiteral("Registration marks and the row/column on every tiled page.")},
    });
    parser.addHelpOption();
}

std::optional<QRectF> parseSelection(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return std::nullopt;
    }
    double v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok) {
            return std::nullopt;
        }
    }
    if (v[2] <= 0 || v[3] <= 0) {
        return std::nullopt;
    }
    return QRectF(v[0], v[1], v[2], v[3]);
}

// Reads the command line; throws Failure for usage errors.
Request readRequest(const QCommandLineParser& parser) {
    Request r;
    const auto usage = [](const QString& message) { return Failure{kExitUsage, message}; };
    if (parser.positionalArguments().size() != 1) {
        throw usage(QStringLiteral("name exactly one sheet"));
    }
    r.sheetPath = parser.positionalArguments().front();
    r.pdfPath = parser.value(QStringLiteral("pdf"));
    r.printerName = parser.value(QStringLiteral("printer"));
    if (r.pdfPath.isEmpty() == r.printerName.isEmpty()) {
        throw usage(QStringLiteral("give either --pdf OUT.pdf or --printer NAME"));
    }
    if (parser.isSet(QStringLiteral("paper"))) {
        const QString paper = parser.value(QStringLiteral("paper"));
        r.paper = parsePaperName(paper);
        if (!r.paper) {
            throw usage(QStringLiteral("unknown paper \"%1\"").arg(paper));
        }
        // Codes of one size differ by name only (17 is "11 x 17 in", 3 "Tabloid").
        bool isCode = false;
        r.paperCode = paper.trimmed().toInt(&isCode);
        if (!isCode) {
            r.paperCode = paperCodeForPageSize(*r.paper);
        }
    }
    if (parser.isSet(QStringLiteral("orientation"))) {
        const QString o = parser.value(QStringLiteral("orientation")).toLower();
        if (o != QLatin1String("portrait") && o != QLatin1String("landscape")) {
            throw usage(QStringLiteral("orientation is portrait or landscape"));
        }
        r.orientation = o == QLatin1String("landscape") ? kLandscape : kPortrait;
    }
    if (parser.isSet(QStringLiteral("crop")) && parser.isSet(QStringLiteral("no-crop"))) {
        throw usage(QStringLiteral("--crop and --no-crop exclude each other"));
    }
    r.options.scaleText =
        parser.isSet(QStringLiteral("fit")) ? kFitToPage : parser.value(QStringLiteral("scale"));
    if (r.options.scaleText.isEmpty()) {
        r.options.scaleText = QStringLiteral("100%");
    }
    r.options.autoClip = !parser.isSet(QStringLiteral("no-crop"));
    r.blue = parser.isSet(QStringLiteral("blue"));
    r.marks = parser.isSet(QStringLiteral("marks"));
    if (parser.isSet(QStringLiteral("selection"))) {
        r.selection = parseSelection(parser.value(QStringLiteral("selection")));
        if (!r.selection) {
            throw usage(
                QStringLiteral("--selection takes X,Y,W,H with a positive width and height"));
        }
    }
    return r;
}

std::unique_ptr<PrinterDevice> openOutput(const Request& r) {
    if (!r.pdfPath.isEmpty()) {
        auto pdf = std::make_unique<PdfPrinterDevice>(
            r.pdfPath, r.paper.value_or(QPageSize(QPageSize::Letter)),
            r.orientation.value_or(kPortrait));
        if (r.paperCode > 0) {
            pdf->setSetting(PrinterSetting::PaperSize, r.paperCode);
        }
        return pdf;
    }
    const NamedPrinterOpener open = namedPrinterOpener();
    if (open == nullptr) {
        throw Failure{kExitFailure,
                      QStringLiteral("printing on printers is not available in this build")};
    }
    std::unique_ptr<PrinterDevice> printer = open(r.printerName);
    if (!printer) {
        throw Failure{kExitFailure, QStringLiteral("no printer named \"%1\"").arg(r.printerName)};
    }
    if (r.paper) {
        if (r.paperCode <= 0) {
            throw Failure{
                kExitUsage,
                QStringLiteral("a printer takes a numbered or named paper, not a custom size")};
        }
        printer->setSetting(PrinterSetting::PaperSize, r.paperCode);
    }
    if (r.orientation) {
        printer->setSetting(PrinterSetting::Orientation, *r.orientation);
    }
    return printer;
}

imaging::Sheet prepareSheet(const Request& r) {
    imaging::Sheet sheet = imaging::readTiffFile(r.sheetPath);
    if (r.selection) {
        sheet = imaging::cropped(sheet, *r.selection);
    }
    if (r.blue) {
        sheet = imaging::reducedToBilevel(sheet, qRgb(0, 0, 255), qRgb(255, 255, 255));
    }
    return sheet;
}

QString modeName(PrintMode mode) {
    switch (mode) {
        case PrintMode::FitToPage:
            return QStringLiteral("fit");
        case PrintMode::CropToOnePage:
            return QStringLiteral("crop");
        case PrintMode::Tiled:
            return QStringLiteral("tiled");
    }
    return {};
}

QJsonObject summary(const PrintJobReport& report, const PrinterMetrics& metrics,
                    const PrinterDevice& printer) {
    QJsonObject json;
    const bool tiled = report.mode == PrintMode::Tiled && report.grid;
    json[QStringLiteral("columns")] = tiled ? report.grid->pageColumns : 1;
    json[QStringLiteral("rows")] = tiled ? report.grid->pageRows : 1;
    json[QStringLiteral("pages")] = report.pagesPrinted;
    json[QStringLiteral("mode")] = modeName(report.mode);
    json[QStringLiteral("scale")] = report.scale;
    json[QStringLiteral("dpiX")] = metrics.dpiX;
    json[QStringLiteral("dpiY")] = metrics.dpiY;
    json[QStringLiteral("printableWidthIn")] = metrics.printableWidthIn;
    json[QStringLiteral("printableHeightIn")] = metrics.printableHeightIn;
    json[QStringLiteral("paper")] = PaperSizeName(printer.paperSize(), printer);
    json[QStringLiteral("printer")] = printer.deviceName();
    return json;
}

int run(const QStringList& arguments, QByteArray* out) {
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        throw Failure{kExitUsage, parser.errorText()};
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out->append(parser.helpText().toUtf8());
        return 0;
    }
    const Request request = readRequest(parser);
    std::unique_ptr<PrinterDevice> printer = openOutput(request);
    const PrinterMetrics metrics = readPrinterMetrics(*printer);
    const imaging::Sheet sheet = prepareSheet(request);

    // The fit-to-page scale the dialog would show, for the summary.
    SheetJobHost host(sheet, request.options, TileMarks{request.marks});
    ScaleMemory scale;
    PrintJobRunner runner;
    PrintJobReport report = runner.run(host, *printer, scale);
    if (!host.failure().isEmpty() || (!report.failure.isEmpty() && report.pagesPrinted == 0)) {
        throw Failure{kExitFailure, host.failure().isEmpty() ? report.failure : host.failure()};
    }
    if (report.mode == PrintMode::FitToPage) {
        report.scale = selectedScaleFor(request.options, host.layoutSheet(), *printer, scale);
    }
    out->append(QJsonDocument(summary(report, metrics, *printer)).toJson(QJsonDocument::Compact));
    out->append('\n');
    return report.failure.isEmpty() ? 0 : kExitFailure;
}

}  // namespace

int printCommand(const QStringList& arguments, QByteArray* out, QByteArray* err) {
    const auto fail = [err](const QString& message, int code) {
        err->append(QStringLiteral("sheetwise print: %1\n").arg(message).toUtf8());
        return code;
    };
    try {
        return run(arguments, out);
    } catch (const Failure& f) {
        return fail(f.message, f.exitCode);
    } catch (const imaging::ImagingError& e) {
        return fail(e.message(), kExitFailure);
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()), kExitFailure);
    }
}

int runPrintCommand(int argc, char** argv) {
    // Headless unless a display is there: the PDF and printer paths need fonts, not windows.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QStringList arguments = app.arguments();
    if (arguments.size() > 1) {
        arguments.removeAt(1);  // "print"
    }
    QByteArray out;
    QByteArray err;
    const int code = printCommand(arguments, &out, &err);
    std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stdout);
    std::fwrite(err.constData(), 1, static_cast<std::size_t>(err.size()), stderr);
    return code;
}

}  // namespace sw::printing
