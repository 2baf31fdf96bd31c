// Figures as a user meets them: whole processes with fresh memory, and the viewer switching
// sheets, each beside the least a program can do with the same sheet (floor_thumbnail: libtiff
// decodes the file into one buffer, one 8:1 box reduction to grey).
//   - WholeProcess/render_1920: `sheetwise render SHEET.tif --width 1920 --out f.pgm`, the floor
//     program and `vips thumbnail SHEET.tif f.png 1920`, each a fresh process measured by
//     run_measured (wall, CPU of all threads, peak resident memory);
//   - Viewer/next_sheet_400dpi: the viewer (FastViewer, 1920 x 1080, offscreen) fetching the next
//     400 dpi sheet from a local planserver process until the new sheet is painted, against the
//     floor program on the same sheet.
// Rows are measured in rounds that run every command once, so that the load of a shared machine
// falls on all of them alike; counters are medians over the rounds (SW_BENCH_ROUNDS, default 7).
#include "synthetic_sheet.h"
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "host/ui/fast_viewer.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"
#include "imaging/ui/imaging_control.h"

namespace {

using namespace sw;

struct Run {
    double wallMs = 0;
    double cpuMs = 0;
    double peakMb = 0;
};

int rounds() {
    const int n = qEnvironmentVariableIntValue("SW_BENCH_ROUNDS");
    return n >= 5 ? n : 7;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double loadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

double processCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

QString besideMe(const QString& program) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + program;
}

// One run of `command` in a fresh process, measured by run_measured.
std::optional<Run> measured(const QStringList& command) {
    QProcess process;
    process.start(besideMe(QStringLiteral("run_measured")), command);
    if (!process.waitForFinished(300000) || process.exitCode() != 0) {
        return std::nullopt;
    }
    const QStringList f = QString::fromLatin1(process.readAllStandardOutput()).split(' ');
    if (f.size() != 4 || f[3].trimmed() != QLatin1String("0")) {
        return std::nullopt;
    }
    return Run{f[0].toDouble(), f[1].toDouble(), f[2].toDouble() / 1024.0};
}

double medianOf(const std::vector<Run>& runs, double Run::*measure) {
    std::vector<double> values;
    for (const Run& r : runs) {
        values.push_back(r.*measure);
    }
    return median(values);
}

// Medians of each measure of a row, as counters prefixed with the row's name.
void report(benchmark::State& state, const std::string& name, const std::vector<Run>& runs) {
    state.counters[name + "_wall_ms"] = medianOf(runs, &Run::wallMs);
    state.counters[name + "_cpu_ms"] = medianOf(runs, &Run::cpuMs);
    if (medianOf(runs, &Run::peakMb) > 0) {
        state.counters[name + "_peak_MB"] = medianOf(runs, &Run::peakMb);
    }
}

// Median over the rounds of a's measure over b's in the same round.
double medianRatio(const std::vector<Run>& a, const std::vector<Run>& b, double Run::*measure) {
    std::vector<double> values;
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        values.push_back(a[i].*measure / b[i].*measure);
    }
    return median(values);
}

void wholeProcessRender(benchmark::State& state) {
    const QString sheet = bench::benchmarkSheetPath();
    const QString vips = QStandardPaths::findExecutable(QStringLiteral("vips"));
    if (vips.isEmpty()) {
        state.SkipWithError("vips is not installed (libvips-tools)");
        return;
    }
    QTemporaryDir out;
    const std::map<std::string, QStringList> commands = {
        {"render",
         {besideMe(QStringLiteral("sheetwise")), QStringLiteral("render"), sheet,
          QStringLiteral("--width"), QStringLiteral("1920"), QStringLiteral("--out"),
          out.filePath(QStringLiteral("f.pgm"))}},
        {"floor",
         {besideMe(QStringLiteral("floor_thumbnail")), sheet,
          out.filePath(QStringLiteral("g.pgm"))}},
        {"vips",
         {vips, QStringLiteral("thumbnail"), sheet, out.filePath(QStringLiteral("v.png")),
          QStringLiteral("1920")}},
    };
    std::map<std::string, std::vector<Run>> runs;
    const double loadBefore = loadAverage();
    for (auto _ : state) {
        for (int r = 0; r < rounds(); ++r) {
            for (const auto& [name, command] : commands) {
                const std::optional<Run> run = measured(command);
                if (!run) {
                    state.SkipWithError(("failed: " + name).c_str());
                    return;
                }
                runs[name].push_back(*run);
            }
        }
        state.SetIterationTime(medianOf(runs["render"], &Run::wallMs) / 1000.0);
    }
    for (const auto& [name, list] : runs) {
        report(state, name, list);
    }
    state.counters["render_cpu_vs_floor"] = medianRatio(runs["render"], runs["floor"], &Run::cpuMs);
    state.counters["render_wall_vs_vips"] = medianRatio(runs["render"], runs["vips"], &Run::wallMs);
    state.counters["load_avg"] = (loadBefore + loadAverage()) / 2;
}
BENCHMARK(wholeProcessRender)
    ->Name("WholeProcess/render_1920")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The planserver program serving `root` on a free port; its base URL, or empty.
QString startPlanServer(QProcess& server, const QString& root) {
    server.start(besideMe(QStringLiteral("planserver")),
                 {QStringLiteral("--root"), root, QStringLiteral("--port"), QStringLiteral("0")});
    while (server.waitForReadyRead(30000)) {
        const QString line = QString::fromUtf8(server.readLine()).trimmed();
        const qsizetype at = line.indexOf(QLatin1String("http://"));
        if (at >= 0) {
            return line.mid(at);
        }
    }
    return {};
}

// Runs `start` and waits until the viewer has the sheet it loads (true) or the load failed.
bool loadedIn(host::FastViewer& viewer, const std::function<void()>& start) {
    QEventLoop loop;
    bool ok = false;
    const auto connection = QObject::connect(&viewer, &host::FastViewer::loadEnded, &loop,
                                             [&](bool success, const QString&) {
                                                 ok = success;
                                                 loop.quit();
                                             });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    start();
    loop.exec();
    QObject::disconnect(connection);
    return ok;
}

void viewerNextSheet(benchmark::State& state) {
    // Two different 400 dpi sheets of the same cost: the benchmark sheet and its half turn.
    QTemporaryDir root;
    const QString first = root.filePath(QStringLiteral("A-101.tif"));
    const QString second = root.filePath(QStringLiteral("A-102.tif"));
    QFile::copy(bench::benchmarkSheetPath(), first);
    imaging::saveTiffFile(
        imaging::rotated(imaging::readTiffFile(first), 18000, qRgb(255, 255, 255)), second,
        imaging::kFormatCompressed, 1);
    QProcess server;
    const QString base = startPlanServer(server, root.path());
    if (base.isEmpty()) {
        state.SkipWithError("planserver did not start");
        return;
    }
    host::FastViewer viewer;
    viewer.iniPath = root.filePath(QStringLiteral("Sheetwise.ini"));
    viewer.resize(1920, 1080);
    viewer.show();
    QString url = base;
    QString project = QStringLiteral("bench-1");
    QString name = QStringLiteral("Benchmark");
    qint32 rotation = 0;
    QString site = QStringLiteral("site");
    viewer.InitVars(url, project, name, rotation, site);
    viewer.planUrl = base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
    QString list = QStringLiteral("hdr~A,A-101 Plan,A-101.tif~A,A-102 Plan,A-102.tif");
    viewer.MakePlanList(list);
    if (!loadedIn(viewer, [&] { viewer.SetFirstImage(QStringLiteral("A-101.tif"), "A-101"); })) {
        state.SkipWithError("the first sheet did not load");
        return;
    }
    viewer.viewer->repaint();
    std::vector<Run> switches;
    std::vector<Run> floors;
    const double loadBefore = loadAverage();
    for (auto _ : state) {
        for (int r = 0; r < rounds(); ++r) {
            const QString next =
                r % 2 == 0 ? QStringLiteral("A-102.tif") : QStringLiteral("A-101.tif");
            QElapsedTimer wall;
            wall.start();
            const double cpu = processCpuMs();
            if (!loadedIn(viewer, [&] { viewer.SetImage(next, QString()); })) {
                state.SkipWithError("a sheet did not load");
                return;
            }
            viewer.viewer->repaint();  // the new sheet on screen
            switches.push_back({wall.nsecsElapsed() / 1e6, processCpuMs() - cpu, 0});
            const std::optional<Run> floor =
                measured({besideMe(QStringLiteral("floor_thumbnail")), root.filePath(next),
                          root.filePath(QStringLiteral("floor.pgm"))});
            if (!floor) {
                state.SkipWithError("the floor program failed");
                return;
            }
            floors.push_back(*floor);
        }
        state.SetIterationTime(medianOf(switches, &Run::wallMs) / 1000.0);
    }
    report(state, "switch", switches);
    report(state, "floor", floors);
    state.counters["switch_wall_vs_floor"] = medianRatio(switches, floors, &Run::wallMs);
    state.counters["switch_cpu_vs_floor"] = medianRatio(switches, floors, &Run::cpuMs);
    state.counters["load_avg"] = (loadBefore + loadAverage()) / 2;
    server.terminate();
    server.waitForFinished(10000);
}
BENCHMARK(viewerNextSheet)
    ->Name("Viewer/next_sheet_400dpi")
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
