// Figure: a 36 x 24 in, 400 dpi CCITT G4 sheet printed tiled at 100 % on Letter to PDF, from the
// TIFF file to the finished PDF file; the same in blue, and fitted to one page, for comparison.
// Reported next to the time: pages, the PDF's size next to the TIFF's, and how many embedded images
// are one bit per pixel (poppler's pdfimages).
//
// BM_PrintProcessBlueVsBlack: the same print as a user starts it, whole processes of the built
// `sheetwise print SHEET --no-crop [--blue] --pdf OUT`, black and blue alternately, five of each;
// medians of wall and CPU time (user + system of the child) and the ratios blue / black.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"
#include "printing/paged_printer_device.h"
#include "printing/sheet_job_host.h"

namespace {

using sw::imaging::Sheet;

constexpr int kDpi = 400;
constexpr int kWidth = 36 * kDpi;
constexpr int kHeight = 24 * kDpi;

// ---- A deterministic plan-like sheet ------------------------------------------------------------

class Canvas {
public:
    Canvas(int w, int h) : m_image(w, h, QImage::Format_Mono) {
        m_image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        m_image.fill(0);
    }
    void dot(int x, int y) {
        if (x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height()) {
            m_image.scanLine(y)[x >> 3] |= static_cast<uchar>(0x80 >> (x & 7));
        }
    }
    void hline(int x0, int x1, int y, int thick = 1) {
        for (int t = 0; t < thick; ++t) {
            for (int x = x0; x <= x1; ++x) {
                dot(x, y + t);
            }
        }
    }
    void vline(int x, int y0, int y1, int thick = 1) {
        for (int t = 0; t < thick; ++t) {
            for (int y = y0; y <= y1; ++y) {
                dot(x + t, y);
            }
        }
    }
    void line(int x0, int y0, int x1, int y1) {
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        while (true) {
            dot(x0, y0);
            if (x0 == x1 && y0 == y1) {
                break;
            }
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void box(int x, int y, int w, int h, int thick) {
        hline(x, x + w, y, thick);
        hline(x, x + w, y + h, thick);
        vline(x, y, y + h, thick);
        vline(x + w, y, y + h, thick);
    }
    QImage image() const { return m_image; }

private:
    QImage m_image;
};

// Walls in a grid of rooms, door swings, dimension lines, hatching and lines of "text".
QImage planSheet() {
    Canvas c(kWidth, kHeight);
    std::mt19937 random(20261206);
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    c.box(kDpi / 2, kDpi / 2, kWidth - kDpi, kHeight - kDpi, 12);
    c.box(kWidth - 8 * kDpi, kHeight - 3 * kDpi, 7 * kDpi, 2 * kDpi, 6);
    for (int x = 2 * kDpi; x < kWidth - 9 * kDpi; x += 3 * kDpi) {
        for (int y = 2 * kDpi; y < kHeight - 4 * kDpi; y += 2 * kDpi) {
            c.box(x, y, 3 * kDpi, 2 * kDpi, 8);
            const int r = kDpi * 3 / 4;
            for (int a = 0; a < 90; a += 1) {  // door swing
                const double t = a * 3.14159265 / 180;
                c.dot(x + 8 + static_cast<int>(r * std::cos(t)),
                      y + 8 + static_cast<int>(r * std::sin(t)));
            }
            c.hline(x, x + 3 * kDpi, y - kDpi / 4);  // dimension line
            c.vline(x, y - kDpi / 3, y - kDpi / 6);
            for (int k = 0; k < 40; ++k) {  // hatching in the room's corner
                c.line(x + 3 * kDpi - 40 - 12 * k, y + 2 * kDpi - 12, x + 3 * kDpi - 12,
                       y + 2 * kDpi - 40 - 12 * k);
            }
            for (int row = 0; row < 3; ++row) {  // a label: short strokes like letters
                int tx = x + kDpi;
                const int ty = y + kDpi / 2 + row * 60;
                for (int ch = pick(6, 14); ch > 0; --ch) {
                    for (int s = 0; s < 4; ++s) {
                        c.line(tx + pick(0, 24), ty + pick(0, 40), tx + pick(0, 24),
                               ty + pick(0, 40));
                    }
                    tx += 34;
                }
            }
        }
    }
    return c.image();
}

struct Material {
    QTemporaryDir dir;
    QString tiff;
    qint64 tiffBytes = 0;
};

Material& material() {
    static Material m = [] {
        Material made;
        made.tiff = made.dir.filePath(QStringLiteral("plan-36x24-400dpi-g4.tif"));
        sw::imaging::saveTiffFile(Sheet(planSheet(), kDpi, kDpi), made.tiff, 29, 1);
        made.tiffBytes = QFileInfo(made.tiff).size();
        return made;
    }();
    return m;
}

// Images of the PDF and how many of them are one bit per pixel.
std::pair<int, int> imageDepths(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!p.waitForFinished(60000)) {
        return {-1, -1};
    }
    const QStringList rows = QString::fromUtf8(p.readAllStandardOutput())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 .mid(2);
    int oneBit = 0;
    for (const QString& row : rows) {
        if (row.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(7) == QStringLiteral("1")) {
            ++oneBit;
        }
    }
    return {static_cast<int>(rows.size()), oneBit};
}

// state.range(0): 0 tiled, 1 tiled in blue, 2 fit to page.
void BM_PrintToPdf(benchmark::State& state) {
    Material& m = material();
    const QString pdf = m.dir.filePath(QStringLiteral("out.pdf"));
    const bool blue = state.range(0) == 1;
    const QString scaleText =
        state.range(0) == 2 ? sw::printing::kFitToPage : QStringLiteral("100%");
    int pages = 0;
    for (auto _ : state) {
        Sheet sheet = sw::imaging::readTiffFile(m.tiff);
        if (blue) {
            sheet = sw::imaging::reducedToBilevel(sheet, qRgb(0, 0, 255), qRgb(255, 255, 255));
        }
        sw::printing::PdfPrinterDevice letter(pdf, QPageSize(QPageSize::Letter),
                                              sw::printing::kPortrait);
        sw::printing::SheetJobHost host(sheet, {scaleText, false});
        sw::printing::ScaleMemory scale;
        sw::printing::PrintJobRunner runner;
        pages = runner.run(host, letter, scale).pagesPrinted;
    }
    const qint64 pdfBytes = QFileInfo(pdf).size();
    const auto [images, oneBit] = imageDepths(pdf);
    state.counters["pages"] = pages;
    state.counters["tiff_KB"] = static_cast<double>(m.tiffBytes) / 1024;
    state.counters["pdf_KB"] = static_cast<double>(pdfBytes) / 1024;
    state.counters["pdf_per_tiff"] =
        static_cast<double>(pdfBytes) / static_cast<double>(m.tiffBytes);
    state.counters["images"] = images;
    state.counters["images_1bit"] = oneBit;
}
BENCHMARK(BM_PrintToPdf)
    ->ArgName("tiled0_blue1_fit2")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// ---- Whole processes ---------------------------------------------------------------------------

struct ProcessCost {
    double wallS = 0;
    double cpuS = 0;  // user + system of the child
    int exitCode = -1;
};

ProcessCost runProcess(const QStringList& command) {
    std::vector<QByteArray> bytes;
    for (const QString& part : command) {
        bytes.push_back(part.toLocal8Bit());
    }
    std::vector<char*> argv;
    for (QByteArray& b : bytes) {
        argv.push_back(b.data());
    }
    argv.push_back(nullptr);
    ProcessCost cost;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // The summary and Qt's notes would mix with the benchmark's table.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) {
        return cost;
    }
    cost.wallS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    cost.cpuS = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    cost.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return cost;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void BM_PrintProcessBlueVsBlack(benchmark::State& state) {
    Material& m = material();
    const QString sheetwise = QCoreApplication::applicationDirPath() + QStringLiteral("/sheetwise");
    if (!QFileInfo(sheetwise).isExecutable()) {
        state.SkipWithError("the sheetwise program is not built next to this benchmark");
        return;
    }
    constexpr int kRuns = 5;
    const QString blackPdf = m.dir.filePath(QStringLiteral("black.pdf"));
    const QString bluePdf = m.dir.filePath(QStringLiteral("blue.pdf"));
    std::vector<double> wall[2];
    std::vector<double> cpu[2];
    for (auto _ : state) {
        for (int run = 0; run < kRuns; ++run) {
            for (int blue = 0; blue < 2; ++blue) {
                QStringList command{sheetwise, QStringLiteral("print"), m.tiff,
                                    QStringLiteral("--no-crop"), QStringLiteral("--pdf"),
                                    blue ? bluePdf : blackPdf};
                if (blue) {
                    command << QStringLiteral("--blue");
                }
                const ProcessCost cost = runProcess(command);
                if (cost.exitCode != 0) {
                    state.SkipWithError("sheetwise print failed");
                    return;
                }
                wall[blue].push_back(cost.wallS);
                cpu[blue].push_back(cost.cpuS);
            }
        }
    }
    const double blackBytes = static_cast<double>(QFileInfo(blackPdf).size());
    const double blueBytes = static_cast<double>(QFileInfo(bluePdf).size());
    const auto [images, oneBit] = imageDepths(bluePdf);
    state.counters["black_wall_s"] = median(wall[0]);
    state.counters["blue_wall_s"] = median(wall[1]);
    state.counters["black_cpu_s"] = median(cpu[0]);
    state.counters["blue_cpu_s"] = median(cpu[1]);
    state.counters["wall_blue_per_black"] = median(wall[1]) / median(wall[0]);
    state.counters["cpu_blue_per_black"] = median(cpu[1]) / median(cpu[0]);
    state.counters["black_pdf_KB"] = blackBytes / 1024;
    state.counters["blue_pdf_KB"] = blueBytes / 1024;
    state.counters["size_blue_per_black"] = blueBytes / blackBytes;
    state.counters["blue_images"] = images;
    state.counters["blue_images_1bit"] = oneBit;
}
BENCHMARK(BM_PrintProcessBlueVsBlack)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
