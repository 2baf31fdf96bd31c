// The comparison's figures, measured side by side with the single sheet in one run, on the
// imaging benchmark's 14400 x 9600 G4 sheet and a second revision of it (the drawing moved by
// (12, -8) pixels, an area of it gone, a few walls and blocks added):
//   - repaint of a 1920 x 1080 view at fit, 100 % and 400 %: one sheet, and the overlay;
//   - automatic alignment of the two sheets, and the whole comparison (alignment and classes);
//   - peak RSS of a fresh process viewing one sheet, and comparing the two, in an imaging control.
#include "synthetic_sheet.h"
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include "compare/alignment.h"
#include "compare/comparison.h"
#include "compare/row_bits.h"
#include "imaging/sheet_loader.h"
#include "imaging/sheet_renderer.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"
#include "imaging/ui/imaging_control.h"
#include "imaging/view_geometry.h"

namespace {

using namespace sw::imaging;
using sw::compare::CompareMode;
using sw::compare::CompareOverlay;
using sw::compare::Comparison;
using Clock = std::chrono::steady_clock;

constexpr QSize kWindow(1920, 1080);
constexpr QRgb kGrey = qRgb(128, 128, 128);
constexpr QPoint kRevisionShift(12, -8);

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

bool g_madeEarlierSheet = false;

// The earlier revision of the benchmark sheet as a G4 TIFF beside it, made once per process.
QString earlierSheetPath() {
    static const QString path = [] {
        g_madeEarlierSheet = true;
        const Sheet newer = readTiffFile(sw::bench::benchmarkSheetPath());
        const int w = newer.width();
        const int h = newer.height();
        QImage earlier(w, h, QImage::Format_Mono);
        earlier.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        const int bytes = (w + 7) / 8;
        for (int y = 0; y < h; ++y) {
            uchar* row = earlier.scanLine(y);
            sw::compare::shiftedRow(newer.image(), -kRevisionShift, y, w, 0, bytes, row);
            std::memset(row + bytes, 0, static_cast<size_t>(earlier.bytesPerLine() - bytes));
        }
        QImage picture = earlier.convertToFormat(QImage::Format_RGB32);
        {
            QPainter p(&picture);
            p.fillRect(QRect(5200, 3100, 900, 600), Qt::white);  // gone in the new revision
            p.setPen(QPen(Qt::black, 10));
            for (int i = 0; i < 6; ++i) {
                p.drawLine(2000 + 1500 * i, 7000, 2000 + 1500 * i, 7600);  // walls taken out
                p.fillRect(QRect(1800 + 1700 * i, 1500, 160, 40), Qt::black);
            }
        }
        const QString file = QFile::decodeName(qgetenv("TMPDIR").isEmpty() ? QByteArray("/tmp")
                                                                           : qgetenv("TMPDIR")) +
                             QStringLiteral("/sheetwise-bench-earlier-%1.tif")
                                 .arg(QCoreApplication::applicationPid());
        saveTiffFile(Sheet(picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither),
                           newer.dpiX(), newer.dpiY()),
                     file, 29, 1);
        return file;
    }();
    return path;
}

const Sheet& newSheet() {
    static const Sheet sheet = [] {
        Sheet s = readTiffFile(sw::bench::benchmarkSheetPath());
        prepareForDisplay(s);
        return s;
    }();
    return sheet;
}

const Sheet& earlierSheet() {
    static const Sheet sheet = [] {
        Sheet s = readTiffFile(earlierSheetPath());
        prepareForDisplay(s);
        return s;
    }();
    return sheet;
}

const Sheet& comparedSheet() {
    static const Sheet sheet = [] {
        Sheet s = newSheet();
        s.setOverlay(std::make_shared<CompareOverlay>(Comparison::make(s, earlierSheet()),
                                                      CompareMode::Overlay));
        return s;
    }();
    return sheet;
}

// The worst case: the earlier sheet is the new one turned upside down, so every tile differs.
const Sheet& unrelatedSheet() {
    static const Sheet sheet = [] {
        Sheet s = newSheet();
        s.setOverlay(std::make_shared<CompareOverlay>(
            std::make_shared<Comparison>(s, rotated(newSheet(), 18000, 0), QPoint(), QPoint(),
                                         QPointF()),
            CompareMode::Overlay));
        return s;
    }();
    return sheet;
}

// One repaint as the imaging benchmark measures it: the view drawn into a frame, the frame onto
// a window-sized surface, the view moved by a pixel each frame.
void repaint(benchmark::State& state, const Sheet& sheet, double percent) {
    QImage frame(kWindow, QImage::Format_RGB32);
    QImage surface(kWindow, QImage::Format_ARGB32_Premultiplied);
    const QRectF fit = view::fittedRect(sheet.size(), kWindow);
    const QRectF display =
        percent <= 0 ? fit
                     : view::zoomedRect(sheet.size(), percent, fit,
                                        QPointF(kWindow.width() / 2.0, kWindow.height() / 2.0));
    std::vector<double> ms;
    std::vector<double> cpuMs;
    int step = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const double cpuStart = threadCpuMs();
        renderSheet(sheet, frame, QPoint(0, 0), display.translated(step++ % 2 ? 1 : -1, 0), kGrey);
        QPainter painter(&surface);
        painter.drawImage(0, 0, frame);
        painter.end();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        cpuMs.push_back(threadCpuMs() - cpuStart);
    }
    state.counters["median_ms"] = median(ms);
    state.counters["median_cpu_ms"] = median(cpuMs);
}

void registerRepaints() {
    for (const auto& [name, percent] :
         {std::pair{"fit", 0.0}, std::pair{"zoom_100", 100.0}, std::pair{"zoom_400", 400.0}}) {
        for (const bool overlay : {false, true}) {
            const std::string row =
                std::string("Repaint1920x1080/") + (overlay ? "overlay_" : "single_") + name;
            benchmark::RegisterBenchmark(row.c_str(), [overlay, p = percent](benchmark::State& s) {
                repaint(s, overlay ? comparedSheet() : newSheet(), p);
            })->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("Repaint1920x1080/overlay_unrelated_fit", [](benchmark::State& s) {
        repaint(s, unrelatedSheet(), 0);
    })->Unit(benchmark::kMillisecond);
}

void alignment(benchmark::State& state) {
    const Sheet& newer = newSheet();
    const Sheet& earlier = earlierSheet();
    QPoint found;
    for (auto _ : state) {
        found = sw::compare::findShift(newer, earlier);
    }
    state.counters["dx"] = found.x();
    state.counters["dy"] = found.y();
}
BENCHMARK(alignment)->Name("Align/14400x9600")->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole comparison as the viewer makes it: resolution check, alignment, ink classes.
void wholeComparison(benchmark::State& state) {
    std::shared_ptr<const Comparison> made;
    for (auto _ : state) {
        made = Comparison::make(newSheet(), earlierSheet());
    }
    state.counters["added"] = static_cast<double>(made->added());
    state.counters["removed"] = static_cast<double>(made->removed());
}
BENCHMARK(wholeComparison)
    ->Name("Compare/make_14400x9600")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Peak RSS of a fresh process: a 1920 x 1080 imaging control loads `path` in the background and
// paints it fitted, at 100 %, 400 % and fitted again; with `earlier`, the earlier sheet is loaded
// the same way and compared before the paints.
int viewAndReportPeakRss(int argc, char** argv, const QString& path, const QString& earlier) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ImagingControl control;
    control.resize(kWindow);
    control.show();
    const auto load = [&](const QString& address) {
        SheetLoader loader;
        Sheet loaded;
        QObject::connect(&loader, &SheetLoader::loaded, &app, [&](const Sheet& s) {
            loaded = s;
            QCoreApplication::quit();
        });
        QObject::connect(&loader, &SheetLoader::failed, &app, [] { QCoreApplication::exit(1); });
        loader.start(address);
        return app.exec() == 0 ? loaded : Sheet();
    };
    control.setSheet(load(path));
    if (!earlier.isEmpty()) {
        const Sheet other = load(earlier);
        control.setOverlay(std::make_shared<CompareOverlay>(
            Comparison::make(control.sheet(), other), CompareMode::Overlay));
    }
    control.repaintNow();
    control.setPaintSizeMode(ImagingControl::kZoom);
    for (const double percent : {100.0, 400.0}) {
        control.setZoom(percent);
        control.repaintNow();
    }
    control.setPaintSizeMode(ImagingControl::kFit);
    control.repaintNow();
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            std::printf("%s\n", line.mid(6).trimmed().split(' ').first().constData());
        }
    }
    return 0;
}

double peakRssMb(const QStringList& args) {
    QProcess probe;
    probe.start(QCoreApplication::applicationFilePath(), args);
    if (!probe.waitForFinished(120000) || probe.exitCode() != 0) {
        return -1;
    }
    return probe.readAllStandardOutput().trimmed().toDouble() / 1024.0;
}

void peakRss(benchmark::State& state) {
    const QString path = sw::bench::benchmarkSheetPath();
    const QString earlier = earlierSheetPath();
    double one = 0;
    double two = 0;
    for (auto _ : state) {
        one = peakRssMb({QStringLiteral("--view-and-report-rss"), path});
        two = peakRssMb({QStringLiteral("--view-and-report-rss"), path, earlier});
    }
    if (one < 0 || two < 0) {
        state.SkipWithError("the probe process failed");
        return;
    }
    state.counters["one_sheet_MB"] = one;
    state.counters["comparing_MB"] = two;
    state.counters["ratio"] = two / one;
}
BENCHMARK(peakRss)
    ->Name("Memory/peak_rss_14400x9600")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && qstrcmp(argv[1], "--view-and-report-rss") == 0) {
        return viewAndReportPeakRss(argc, argv, QString::fromLocal8Bit(argv[2]),
                                    argc >= 4 ? QString::fromLocal8Bit(argv[3]) : QString());
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    registerRepaints();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_madeEarlierSheet) {
        QFile::remove(earlierSheetPath());
    }
    return 0;
}
