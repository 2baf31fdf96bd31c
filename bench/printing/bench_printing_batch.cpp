// Figure: what a blue batch adds per sheet before the print itself, on a 36 x 24 in, 400 dpi
// bilevel sheet: the blue conversion (twice, as the batch does it), the temporary file written
// uncompressed at 4 bits per pixel, and the file read back for printing. For comparison, the
// same round trip through a CCITT G4 file. Reported next to the time: the temporary file's size.
#include <benchmark/benchmark.h>

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
// the compressed comparison to be plan-like; the uncompressed file's size does not depend on it.
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

void roundTrip(benchmark::State& state, int formatCode, int bitsPerPixel) {
    QTemporaryDir dir;
    const QString folder = sw::printing::batchFolder(dir.path());
    const QString path = sw::printing::batchTempFileName(folder, 0);
    const QRgb blue = qRgb(0, 0, 255);
    const QRgb white = qRgb(255, 255, 255);
    for (auto _ : state) {
        Sheet blueSheet = sw::imaging::reducedToBilevel(sheet(), blue, white);
        blueSheet = sw::imaging::reducedToBilevel(blueSheet, blue, white);
        sw::imaging::saveTiffFile(blueSheet, path, formatCode, bitsPerPixel);
        const Sheet back = sw::imaging::readTiffFile(path);
        benchmark::DoNotOptimize(back.image().constBits());
    }
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / 1e6;
}

void BM_BlueBatchTempFile4Bit(benchmark::State& state) {
    roundTrip(state, sw::imaging::kFormatUncompressed, 4);
}

void BM_BlueRoundTripG4ForComparison(benchmark::State& state) {
    roundTrip(state, sw::imaging::kFormatCompressed, 1);
}

BENCHMARK(BM_BlueBatchTempFile4Bit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_BlueRoundTripG4ForComparison)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
