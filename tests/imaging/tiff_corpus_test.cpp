// The real-world corpus (tests/data/corpus, see its MANIFEST.md): every good file opens with the
// right size, resolution and polarity; every malformed or truncated file fails cleanly, and so
// does every hostile file made in code.
#include "support/test_paths.h"
#include "support/tiff_builder.h"
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <thread>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "imaging/imaging_error.h"
#include "imaging/sheet_fixtures.h"
#include "imaging/sheet_renderer.h"
#include "imaging/tiff_reader.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"

namespace sw::imaging {
namespace {

using test::corpus;

struct CorpusCase {
    const char* name;  // of the file, under the corpus
    int width;
    int height;
    double dpiX;
    double dpiY;
    double mean;  // MANIFEST "mean": luminance of libtiff's own RGBA decode
    int bitsPerPixel;
    const char* same = nullptr;  // another encoding of the same picture (or libtiff's decode)
};

using sw::test::PrintTo;

class GoodCorpus : public ::testing::TestWithParam<CorpusCase> {};

// Every good file opens with its size, resolution, depth and brightness and the pixels of its
// other encodings, and reopens unchanged once saved compressed at its depth (G4 for a drawing:
// what "Save" and the batch download write). A bilevel one has ink darker than paper, reduced
// views as of the finished bits, and cut short anywhere (an interrupted download) is refused with
// a reason.
TEST_P(GoodCorpus, OpensAsTheManifestSaysSurvivesSavingAndIsRefusedWhenCutShort) {
    const CorpusCase& c = GetParam();
    const Sheet sheet = readTiffFile(corpus(c.name));
    EXPECT_EQ(sheet.size(), QSize(c.width, c.height));
    EXPECT_NEAR(sheet.dpiX(), c.dpiX, 0.01);
    EXPECT_NEAR(sheet.dpiY(), c.dpiY, 0.01);
    EXPECT_EQ(sheet.bitsPerPixel(), c.bitsPerPixel);
    EXPECT_NEAR(test::meanLuminance(sheet), c.mean, 0.02);
    if (c.same) {
        EXPECT_TRUE(test::samePixels(sheet, readTiffFile(corpus(c.same)))) << c.same;
    }
    const Sheet again = decodeTiff(encodeTiff(sheet, kFormatCompressed, c.bitsPerPixel));
    EXPECT_TRUE(test::samePixels(sheet, again));
    EXPECT_NEAR(again.dpiX(), sheet.dpiX(), 1e-3);
    EXPECT_NEAR(again.dpiY(), sheet.dpiY(), 1e-3);
    if (!sheet.isBilevel()) {
        // Saved at one bit, it is reduced to black ink on white paper.
        EXPECT_TRUE(test::samePixels(decodeTiff(encodeTiff(sheet, kFormatCompressed, 1)),
                                     reducedToBilevel(sheet, qRgb(0, 0, 0), qRgb(255, 255, 255))));
        return;
    }
    EXPECT_GE(qGray(sheet.paperColour()), qGray(sheet.inkColour()));
    // The reduced level the decoder computes on the way draws the view the finished bits give.
    const QRectF quarter(0, 0, c.width / 4.0, c.height / 4.0);
    EXPECT_EQ(renderSheet(sheet, quarter.size().toSize(), quarter, 0),
              renderSheet(Sheet(sheet.image().copy(), 1, 1), quarter.size().toSize(), quarter, 0));
    const QByteArray whole = test::readFile(corpus(c.name));
    for (const double fraction : {0.001, 0.01, 0.3, 0.6, 0.95}) {
        const QByteArray cut = whole.left(static_cast<qsizetype>(whole.size() * fraction));
        EXPECT_FALSE(test::errorOf([&] { decodeTiff(cut); }).isEmpty()) << "cut at " << fraction;
    }
}

// 1-bit drawings must stay packed; a white page must come out white.
INSTANTIATE_TEST_SUITE_P(
    DrawingsBilevel, GoodCorpus,
    ::testing::Values(
        CorpusCase{"drawings_bilevel/lzw-single-strip.tiff", 7795, 3122, 400, 400, 0.979, 1},
        CorpusCase{"drawings_bilevel/CCITT_1.TIF", 1728, 2376, 200, 200, 0.962, 1},
        CorpusCase{"drawings_bilevel/G4.TIF", 2464, 3248, 300, 300, 0.925, 1},
        CorpusCase{"drawings_bilevel/G4S.TIF", 2464, 3248, 300, 300, 0.925, 1,
                   "drawings_bilevel/G4.TIF"},
        CorpusCase{"drawings_bilevel/G32D.TIF", 2464, 3248, 300, 300, 0.925, 1,
                   "drawings_bilevel/G4.TIF"},
        CorpusCase{"drawings_bilevel/testfax4.tiff", 2453, 3369, 300, 300, 0.896, 1,
                   "refs/o-testfax4.tiff"},
        CorpusCase{"drawings_bilevel/witten.tif", 2293, 3106, 1200, 1200, 0.899, 1},
        CorpusCase{"drawings_bilevel/fax2d.tif", 1728, 1082, 204, 98, 0.941, 1},
        CorpusCase{"drawings_bilevel/g3aoe.tif", 1728, 2328, 204, 196, 0.924, 1},
        CorpusCase{"drawings_bilevel/packbits-fillorder-2.tif", 3508, 2481, 300, 300, 0.987, 1},
        // libtiff 4.5 reads this G3 page without end-of-line codes as blank (MANIFEST mean 1.000);
        // its true decode (refs/o-testfax3_bug54_1dnoEOL.tiff) has mean 0.943.
        CorpusCase{"drawings_bilevel/testfax3_bug54_1dnoEOL.tif", 1728, 2320, 300, 300, 0.943, 1,
                   "refs/o-testfax3_bug54_1dnoEOL.tiff"}),
    [](const auto& info) { return test::caseName(info.param.name).toStdString(); });

INSTANTIATE_TEST_SUITE_P(
    Formats, GoodCorpus,
    ::testing::Values(
        CorpusCase{"formats/minisblack-1c-8b.tiff", 157, 151, 200, 200, 0.470, 8},
        CorpusCase{"formats/rgb-3c-8b.tiff", 157, 151, 200, 200, 0.467, 24},
        CorpusCase{"formats/palette-1c-8b.tiff", 157, 151, 200, 200, 0.469, 24},
        CorpusCase{"formats/miniswhite-1c-1b.tiff", 157, 151, 200, 200, 0.500, 1},
        CorpusCase{"formats/gray8-packbits-be.tif", 100, 100, 300, 300, 0.496, 8},
        CorpusCase{"formats/gray8-packbits-le.tif", 100, 100, 300, 300, 0.496, 8,
                   "formats/gray8-packbits-be.tif"},
        CorpusCase{"formats/quad-lzw-compat.tiff", 512, 384, 200, 200, 0.138, 24},
        CorpusCase{"formats/quad-tile.tif", 512, 384, 200, 200, 0.138, 24,
                   "formats/quad-lzw-compat.tiff"},
        CorpusCase{"formats/tiled-gray-i1.tif", 37, 51, 200, 200, 0.495, 1},
        CorpusCase{"formats/Transparency-lzw.tif", 300, 300, 72.009, 72.009, 0.190, 32},
        CorpusCase{"formats/signed-integral-8bit.tif", 439, 167, 200, 200, 0.210, 8},
        CorpusCase{"formats/StripoffsetsAboveShortMaxValue.tif", 4963, 3609, 300, 300, 0.984, 1}),
    [](const auto& info) { return test::caseName(info.param.name).toStdString(); });

class Malformed : public ::testing::TestWithParam<QString> {};

// A malformed file may be refused or may decode to a degraded picture; it must never crash, hang
// or give an empty message. One with libtiff's decode in refs/ decodes to that.
TEST_P(Malformed, FailsCleanlyOrDegrades) {
    const QString reference = corpus(QStringLiteral("refs/o-") + GetParam().section('/', -1));
    Sheet sheet;
    const QString error = test::errorOf([&] { sheet = readTiffFile(GetParam()); });
    EXPECT_TRUE(error.isNull() ? !sheet.isNull() : !error.isEmpty());
    if (QFile::exists(reference)) {
        EXPECT_TRUE(error.isNull() && test::samePixels(sheet, readTiffFile(reference)))
            << qPrintable(error);
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, Malformed,
                         ::testing::ValuesIn(test::filesIn(corpus(QStringLiteral("malformed")))),
                         [](const auto& info) { return test::caseName(info.param).toStdString(); });

// A sheet shortened while it is read and decoded (plan folders on network shares and sync tools
// shrink files) gives the sheet or an error, never a signal.
TEST(Truncated, FileShrinkingWhileItDecodesGivesTheSheetOrAnError) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.tif"));
    const QByteArray bytes = encodeTiff(test::randomBilevel(4000, 3000, 7), kFormatWorkingCopy, 1);
    for (int i = 0; i < 16; ++i) {
        ASSERT_TRUE(test::writeFile(path, bytes));
        std::thread cut([&path, i] {
            std::this_thread::sleep_for(std::chrono::microseconds(250 * i));
            QFile::resize(path, 4096);
        });
        EXPECT_NO_THROW(test::errorOf([&path] { readTiffFile(path); }));
        cut.join();
    }
}

struct RefusalCase {
    const char* name;
    QByteArray data;
    const char* file;     // read instead of `data`: under the corpus, or an absolute path
    const char* message;  // a pattern the message matches
};

class Refused : public ::testing::TestWithParam<RefusalCase> {};

long peakResidentKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Whatever the tags claim, buffers follow what the image needs: no case takes 64 MB.
TEST_P(Refused, WithAReasonAndBeforeAllocating) {
    const RefusalCase& c = GetParam();
    const long before = peakResidentKb();
    const QString message = test::errorOf([&] {
        c.file ? readTiffFile(c.file[0] == '/' ? QString(c.file) : corpus(c.file))
               : decodeTiff(c.data);
    });
    EXPECT_TRUE(QRegularExpression(QLatin1String(c.message)).match(message).hasMatch())
        << qPrintable(message.isNull() ? QStringLiteral("(decoded)") : message);
    EXPECT_LT(peakResidentKb() - before, 64 << 10);
}

// The undecodable strip is a page whose data are not what its tags say; libtiff's reason is given.
// The G3 row's first white run is 1677721 make-up codes of 2560 and one of 1472, adding up to
// 2^32 - 64 (a run of -64 pixels in 32-bit arithmetic), then a white 0, a black 3 and a broken
// code: about 2.5 MB.
INSTANTIATE_TEST_SUITE_P(
    Inputs, Refused,
    ::testing::Values(
        RefusalCase{
            "UndecodableStrip", {}, "malformed/fuzz-inf_loop-000028.tif", "^Corrupt data: "},
        RefusalCase{"DecompressionBomb", test::bilevelTiff(2000000, 2000000, 4, QByteArray(64, 0)),
                    nullptr, "larger than the largest sheet accepted"},
        RefusalCase{"BlankPageBeyondTheLargestRoll",
                    test::bilevelTiff(131000, 131000, 4, QByteArray(16375, '\xFF')), nullptr,
                    "^The image of 131000 x 131000 pixels is larger than the largest sheet"},
        RefusalCase{"TilesFarLongerThanTheImage",
                    test::buildTiff({{256, {8192}},
                                     {257, {16}},
                                     {258, {8}},
                                     {262, {1}},
                                     {322, {8192}},
                                     {323, {262144}}},
                                    {QByteArray(64, '\x7f')}),
                    nullptr, "^Corrupt data"},
        RefusalCase{"G3RunLengthOverflow",
                    test::bilevelTiff(64, 2, 3,
                                      QByteArray::fromHex("01f01f").repeated(838860) +
                                          QByteArray::fromHex("01f4c1ac0000")),
                    nullptr, "^Corrupt data"},
        RefusalCase{"HtmlPage", "<!DOCTYPE html><html><body>Not found</body></html>", nullptr,
                    "^Not a TIFF file"},
        RefusalCase{"EmptyData", {}, nullptr, "."},
        RefusalCase{"MissingFile", {}, "/nonexistent/sheet.tif", "/nonexistent/sheet\\.tif"}),
    sw::test::byName);

// The packed size decides: G4.TIF is about 1 MB packed.
TEST(AbsurdDimensions, LimitIsConfigurable) {
    const QString g4 = corpus(QStringLiteral("drawings_bilevel/G4.TIF"));
    EXPECT_THROW(readTiffFile(g4, {.maxImageBytes = 100 << 10}), ImagingError);
    EXPECT_NO_THROW(readTiffFile(g4, {.maxImageBytes = 2 << 20}));
}

}  // namespace
}  // namespace sw::imaging
