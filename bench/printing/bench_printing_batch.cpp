// Figure: what a blue batch adds per sheet before the print itself, on a 36 x 24 in, 400 dpi
// bilevel sheet: the blue conversion (twice, as the batch does it), the temporary file written
// (format code 3 at 4 bits per pixel, as the batch asks) and read back for printing. For
// comparison, the same round trip through a CCITT G4 file. Reported next to the time: the
// temporary file's size, its ratio to the sheet's G4 TIFF, and the medians of writing and of
// reading back alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"
#include "printing/batch_print.h"

namespace {

using sw::imaging::Sheet;

constexpr int kDpi = 400;
constexpr int kWidth = 36 * kDpi;
constexpr int kHeight = 24 * kDpi;

// A sheet with a line grid every half inch and diagonal hatching in one quarter: enough ink for
// the compressed files to be plan-like.
Sheet planLikeSheet() {
    QImage image(kWidth, kHeight, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    const auto dot = [&image](int x, int y) {
        image.scanLine(y)[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
    };
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; x += kDpi / 2) {
            dot(x, y);
        }
        if (y % (kDpi / 2) == 0) {
            for (int x = 0; x < kWidth; ++x) {
                dot(x, y);
            }
        }
        for (int x = y % 40; x < kWidth / 2 && y < kHeight / 2; x += 40) {
            dot(x, y);
        }
    }
    return Sheet(image, kDpi, kDpi);
}

const Sheet& sheet() {
    static const Sheet s = planLikeSheet();
    return s;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void roundTrip(benchmark::State& state, int formatCode, int bitsPerPixel) {
    QTemporaryDir dir;
    const QString folder = sw::printing::batchFolder(dir.path());
    const QString path = sw::printing::batchTempFileName(folder, 0);
    const QString g4 = folder + QStringLiteral("sheet-g4.tif");
    sw::imaging::saveTiffFile(sheet(), g4, sw::imaging::kFormatCompressed, 1);
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb white = qRgb(255, 255, 255);
    std::vector<double> writes;
    std::vector<double> reads;
    for (auto _ : state) {
        Sheet blueSheet = sw::imaging::reducedToBilevel(sheet(), blue, white);
        blueSheet = sw::imaging::reducedToBilevel(blueSheet, blue, white);
        auto start = std::chrono::steady_clock::now();
        sw::imaging::saveTiffFile(blueSheet, path, formatCode, bitsPerPixel);
        writes.push_back(secondsSince(start));
        start = std::chrono::steady_clock::now();
        const Sheet back = sw::imaging::readTiffFile(path);
        reads.push_back(secondsSince(start));
        benchmark::DoNotOptimize(back.image().constBits());
    }
    const double fileBytes = static_cast<double>(QFileInfo(path).size());
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["file_per_g4_tiff"] = fileBytes / static_cast<double>(QFileInfo(g4).size());
    state.counters["write_ms"] = median(writes) * 1000;
    state.counters["read_ms"] = median(reads) * 1000;
}

void BM_BlueBatchTempFile(benchmark::State& state) {
    roundTrip(state, sw::imaging::kFormatWorkingCopy, 4);
}

void BM_BlueRoundTripG4ForComparison(benchmark::State& state) {
    roundTrip(state, sw::imaging::kFormatCompressed, 1);
}

BENCHMARK(BM_BlueBatchTempFile)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_BlueRoundTripG4ForComparison)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
