// The imaging engine's figures, measured side by side in one run on the same synthetic
// 14400 x 9600 G4 sheet:
//   - file to first fitted 1920-wide frame, against libtiff's own decode and `vips thumbnail`;
//   - repaint of a 1920 x 1080 view at fit, 10 %, 25 %, 50 %, 100 %, 400 %, 800 % and turned;
//   - a quarter turn in memory;
//   - peak RSS of a fresh process that views the sheet in an imaging control.
#include "synthetic_sheet.h"
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <tiffio.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>

#include "imaging/sheet_loader.h"
#include "imaging/sheet_renderer.h"
#include "imaging/tiff_reader.h"
#include "imaging/transforms.h"
#include "imaging/ui/imaging_control.h"
#include "imaging/view_geometry.h"

namespace {

using namespace sw::imaging;
using Clock = std::chrono::steady_clock;

constexpr QSize kWindow(1920, 1080);
constexpr QRgb kGrey = qRgb(128, 128, 128);

// CPU time of this thread: the frame's own cost, whatever else the machine is running.
double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// CPU time of the finished child processes (user and system, all their threads).
double childrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void libtiffDecode(benchmark::State& state) {
    const QByteArray path = sw::bench::benchmarkSheetPath().toLocal8Bit();
    for (auto _ : state) {
        TIFF* tif = TIFFOpen(path.constData(), "r");
        std::vector<unsigned char> bits(static_cast<size_t>(TIFFStripSize(tif)) *
                                        TIFFNumberOfStrips(tif));
        tmsize_t offset = 0;
        for (tstrip_t s = 0; s < TIFFNumberOfStrips(tif); ++s) {
            offset += TIFFReadEncodedStrip(tif, s, bits.data() + offset, -1);
        }
        benchmark::DoNotOptimize(bits.data());
        TIFFClose(tif);
    }
}
BENCHMARK(libtiffDecode)
    ->Name("FirstFrame/libtiff_decode_only")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Our decode alone: packed bits plus the 4:1 level computed on the way.
void sheetwiseDecode(benchmark::State& state) {
    const QString path = sw::bench::benchmarkSheetPath();
    for (auto _ : state) {
        const Sheet sheet = readTiffFile(path);
        benchmark::DoNotOptimize(sheet.image().constBits());
    }
}
BENCHMARK(sheetwiseDecode)
    ->Name("FirstFrame/sheetwise_decode_only")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// What a load does before the first paint: decode to packed bits, build the levels the fitted view
// needs, draw the fitted frame.
void firstFittedFrame(benchmark::State& state) {
    const QString path = sw::bench::benchmarkSheetPath();
    QImage frame(kWindow, QImage::Format_RGB32);
    for (auto _ : state) {
        const Sheet sheet = readTiffFile(path);
        prepareForDisplay(sheet);
        renderSheet(sheet, frame, QPoint(0, 0), view::fittedRect(sheet.size(), kWindow), kGrey);
        benchmark::DoNotOptimize(frame.bits());
    }
}
BENCHMARK(firstFittedFrame)
    ->Name("FirstFrame/sheetwise_fitted_1920")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void vipsThumbnail(benchmark::State& state) {
    const QString path = sw::bench::benchmarkSheetPath();
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vips"));
    if (vips.isEmpty()) {
        state.SkipWithError("vips is not installed (libvips-tools)");
        return;
    }
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("thumb.v"));
    const double before = childrenCpuMs();
    for (auto _ : state) {
        QProcess process;
        process.start(vips, {QStringLiteral("thumbnail"), path, out, QStringLiteral("1920")});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("vips thumbnail failed");
            return;
        }
    }
    // vips works in its own process (and threads): its CPU time, all threads, per run.
    state.counters["vips_cpu_ms"] =
        benchmark::Counter((childrenCpuMs() - before) / state.iterations());
}
BENCHMARK(vipsThumbnail)
    ->Name("FirstFrame/vips_thumbnail_1920")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

const Sheet& benchSheet() {
    static const Sheet sheet = [] {
        Sheet s = readTiffFile(sw::bench::benchmarkSheetPath());
        prepareForDisplay(s);
        return s;
    }();
    return sheet;
}

const Sheet& turnedSheet() {
    static const Sheet sheet = rotated(benchSheet(), 9000, 0);
    return sheet;
}

// One repaint: the view drawn into a frame, then the frame drawn onto a window-sized surface (the
// widget's backing store). Each frame moves the view by a pixel so nothing is reused.
void repaint(benchmark::State& state, const Sheet& sheet, double percent) {
    QImage frame(kWindow, QImage::Format_RGB32);
    QImage surface(kWindow, QImage::Format_ARGB32_Premultiplied);
    const QRectF fit = view::fittedRect(sheet.size(), kWindow);
    QRectF display = percent <= 0
                         ? fit
                         : view::zoomedRect(sheet.size(), percent, fit,
                                            QPointF(kWindow.width() / 2.0, kWindow.height() / 2.0));
    std::vector<double> ms;
    std::vector<double> cpuMs;
    int step = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const double cpuStart = threadCpuMs();
        const QRectF moved = display.translated(step % 2 ? 1 : -1, 0);
        renderSheet(sheet, frame, QPoint(0, 0), moved, kGrey);
        QPainter painter(&surface);
        painter.drawImage(0, 0, frame);
        painter.end();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        cpuMs.push_back(threadCpuMs() - cpuStart);
        ++step;
    }
    state.counters["median_ms"] = median(ms);
    state.counters["median_cpu_ms"] = median(cpuMs);
}

// The views of the repaint figure: fitted, zoomed (percent) and on the quarter-turned sheet.
struct View {
    const char* name;
    bool turned;
    double percent;  // 0: fit
};

constexpr View kViews[] = {
    {"fit", false, 0},        {"zoom_10", false, 10},         {"zoom_12.6", false, 12.6},
    {"zoom_25", false, 25},   {"zoom_30", false, 30},         {"zoom_50", false, 50},
    {"zoom_100", false, 100}, {"zoom_400", false, 400},       {"zoom_800", false, 800},
    {"turned_fit", true, 0},  {"turned_zoom_100", true, 100},
};

// The same through the widget: the display rectangle moves by a pixel and the control repaints
// at once (frame, backing store of the offscreen platform).
void widgetRepaint(benchmark::State& state, double percent) {
    ImagingControl control;
    control.resize(kWindow);
    control.show();
    for (int i = 0; i < 1000 && !(control.windowHandle() && control.windowHandle()->isExposed());
         ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    control.setSheet(benchSheet());
    if (percent > 0) {
        control.setPaintSizeMode(ImagingControl::kZoom);
        control.setZoom(percent);
    }
    std::vector<double> cpuMs;
    int step = 0;
    for (auto _ : state) {
        const double cpuStart = threadCpuMs();
        control.setDisplayRect(control.displayRect().translated(step++ % 2 ? 1 : -1, 0));
        control.repaintNow();
        cpuMs.push_back(threadCpuMs() - cpuStart);
    }
    state.counters["median_cpu_ms"] = median(cpuMs);
}

void registerRepaints() {
    for (const double percent : {0.0, 10.0, 100.0, 400.0}) {
        const std::string name =
            percent > 0 ? "zoom_" + std::to_string(static_cast<int>(percent)) : "fit";
        benchmark::RegisterBenchmark(
            ("WidgetRepaint1920x1080/" + name).c_str(),
            [percent](benchmark::State& state) { widgetRepaint(state, percent); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (const View& view : kViews) {
        benchmark::RegisterBenchmark((std::string("Repaint1920x1080/") + view.name).c_str(),
                                     [view](benchmark::State& state) {
                                         repaint(state, view.turned ? turnedSheet() : benchSheet(),
                                                 view.percent);
                                     })
            ->Unit(benchmark::kMillisecond);
    }
}

void quarterTurn(benchmark::State& state) {
    const Sheet& sheet = benchSheet();
    for (auto _ : state) {
        const Sheet turned = rotated(sheet, 9000, 0);
        benchmark::DoNotOptimize(turned.image().constBits());
    }
}
BENCHMARK(quarterTurn)
    ->Name("QuarterTurn/14400x9600")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Peak resident memory of a fresh process that opens the sheet in a 1920 x 1080 imaging control
// (as the viewer does: background load), paints it fitted, at 100 % and 400 %, and fitted again.
int viewAndReportPeakRss(int argc, char** argv, const QString& path) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ImagingControl control;
    control.resize(kWindow);
    control.show();
    if (!path.isEmpty()) {
        QObject::connect(&control, &ImagingControl::imageLoaded, &app, &QCoreApplication::quit);
        QObject::connect(&control, &ImagingControl::loadFailed, &app, [](const QString& reason) {
            std::fprintf(stderr, "%s\n", qPrintable(reason));
            QCoreApplication::exit(1);
        });
        control.setLoadAddress(path);
        if (app.exec() != 0) {
            return 1;
        }
    }
    control.repaintNow();
    control.setPaintSizeMode(ImagingControl::kZoom);
    for (const double percent : {100.0, 400.0}) {
        control.setZoom(percent);
        control.repaintNow();
    }
    control.setPaintSizeMode(ImagingControl::kFit);
    control.repaintNow();
    // VmHWM, not getrusage(): ru_maxrss carries the parent's high-water mark over fork and exec.
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
    double viewing = 0;
    double empty = 0;
    for (auto _ : state) {
        viewing = peakRssMb({QStringLiteral("--view-and-report-rss"), path});
        empty = peakRssMb({QStringLiteral("--view-and-report-rss")});
    }
    if (viewing < 0 || empty < 0) {
        state.SkipWithError("the probe process failed");
        return;
    }
    state.counters["peak_rss_MB"] = viewing;
    state.counters["empty_control_MB"] = empty;
}
BENCHMARK(peakRss)
    ->Name("Memory/peak_rss_viewing_14400x9600")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && qstrcmp(argv[1], "--view-and-report-rss") == 0) {
        return viewAndReportPeakRss(argc, argv,
                                    argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString());
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
    return 0;
}
