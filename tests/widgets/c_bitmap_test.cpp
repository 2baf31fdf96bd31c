#include "widgets/c_bitmap.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include <QTemporaryDir>

#include "widgets/handles.h"
#include "widgets/sw_gradient_button.h"

namespace sw::widgets {
namespace {

QImage* surfaceOf(const cBitmap& bitmap) {
    return dynamic_cast<QImage*>(handles::drawableFromHandle(bitmap.hDC()));
}

// A bitmap filled with one colour.
void fill(cBitmap& bitmap, int w, int h, QRgb colour) {
    ASSERT_TRUE(bitmap.CreateAtSize(w, h));
    surfaceOf(bitmap)->fill(colour);
}

// A file gives its size and pixels; one object holds one surface: a new creation or the destructor
// releases the one before.
TEST(cBitmap, CreatesFromAFileAndHoldsOnlyTheLatestSurface) {
    QTemporaryDir dir;
    const QImage printer = SWGradientButton::libraryBitmap(3).convertToFormat(QImage::Format_RGB32);
    const QString path = dir.filePath(QStringLiteral("printer.bmp"));
    ASSERT_TRUE(printer.save(path, "BMP"));
    std::int32_t second = 0;
    {
        cBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateFromFile(path));
        EXPECT_EQ(QSize(bitmap.Width(), bitmap.Height()), QSize(16, 16));
        EXPECT_EQ(surfaceOf(bitmap)->convertToFormat(QImage::Format_RGB32), printer);
        const std::int32_t first = bitmap.hDC();
        ASSERT_TRUE(bitmap.CreateFromPicture(QImage(4, 3, QImage::Format_RGB32)).toBool());
        second = bitmap.hDC();
        EXPECT_EQ(handles::drawableFromHandle(first), nullptr);
        EXPECT_NE(handles::drawableFromHandle(second), nullptr);
        EXPECT_EQ(QSize(bitmap.Width(), bitmap.Height()), QSize(4, 3));
    }
    EXPECT_EQ(handles::drawableFromHandle(second), nullptr);
}

struct FailureCase {
    std::string name;
    QSize size;             // CreateAtSize, when no file is named
    const char* file = "";  // CreateFromFile; "corrupt": a file that is not a bitmap
    bool picture = false;   // CreateFromPicture of a null picture
};

using sw::test::PrintTo;

class cBitmapFailure : public ::testing::TestWithParam<FailureCase> {};

// A failed creation reports false (an empty value from a picture), releases the old surface but
// keeps the old size; drawing from the emptied object draws nothing.
TEST_P(cBitmapFailure, ReportsByResultAndStaysEmpty) {
    const FailureCase& c = GetParam();
    QTemporaryDir dir;
    const QString corrupt = dir.filePath(QStringLiteral("corrupt"));
    ASSERT_TRUE(sw::test::writeFile(corrupt, "BM\x10\x00\x00\x00garbage, not a bitmap"));
    cBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateAtSize(100, 50));
    const std::int32_t old = bitmap.hDC();
    const QVariant result =
        c.picture ? bitmap.CreateFromPicture(QImage())
        : *c.file ? QVariant(bitmap.CreateFromFile(QString(c.file) == "corrupt" ? corrupt : c.file))
                  : QVariant(bitmap.CreateAtSize(c.size.width(), c.size.height()));
    EXPECT_EQ(result, c.picture ? QVariant() : QVariant(false));
    EXPECT_EQ(bitmap.hDC(), 0);
    EXPECT_EQ(handles::drawableFromHandle(old), nullptr);
    EXPECT_EQ(QSize(bitmap.Width(), bitmap.Height()), QSize(100, 50));
    cBitmap target;
    fill(target, 4, 4, 0xFF102030);
    bitmap.RenderBitmap(target.hDC(), 0, 0);
    EXPECT_EQ(surfaceOf(target)->pixel(1, 1), 0xFF102030);
}

INSTANTIATE_TEST_SUITE_P(Creations, cBitmapFailure,
                         ::testing::Values(FailureCase{"ZeroWidth", {0, 10}},
                                           FailureCase{"NegativeHeight", {10, -1}},
                                           FailureCase{"FarTooLarge", {100000, 100000}},
                                           FailureCase{"MissingFile", {}, "/nonexistent/p.bmp"},
                                           FailureCase{"CorruptFile", {}, "corrupt"},
                                           FailureCase{"NullPicture", {}, "", true}),
                         sw::test::byName);

struct OpCase {
    std::string name;
    std::uint32_t op;
    std::function<QRgb(QRgb source, QRgb dest)> expected;  // on the 24 colour bits
};

class RasterOps : public ::testing::TestWithParam<OpCase> {};

TEST_P(RasterOps, CombineSourceAndDestinationBitwise) {
    constexpr QRgb kSource = 0xFF3C5AF0;
    constexpr QRgb kDest = 0xFF96A50F;
    cBitmap source;
    cBitmap target;
    fill(source, 4, 4, kSource);
    fill(target, 8, 8, kDest);
    source.RenderBitmap(target.hDC(), 2, 2, GetParam().op);
    const QImage& out = *surfaceOf(target);
    EXPECT_EQ(out.pixel(3, 3) & RGB_MASK, GetParam().expected(kSource, kDest) & RGB_MASK)
        << std::hex << out.pixel(3, 3);
    EXPECT_EQ(out.pixel(1, 1), kDest) << "outside the copied block";
    EXPECT_EQ(out.pixel(6, 6), kDest) << "outside the copied block";
}

INSTANTIATE_TEST_SUITE_P(
    Ops, RasterOps,
    ::testing::Values(OpCase{"SrcCopy", kSrcCopy, [](QRgb s, QRgb) { return s; }},
                      OpCase{"SrcAnd", kSrcAnd, [](QRgb s, QRgb d) { return s & d; }},
                      OpCase{"SrcPaint", kSrcPaint, [](QRgb s, QRgb d) { return s | d; }},
                      OpCase{"SrcInvert", kSrcInvert, [](QRgb s, QRgb d) { return s ^ d; }},
                      OpCase{"SrcErase", kSrcErase, [](QRgb s, QRgb d) { return s & ~d; }},
                      OpCase{"NotSrcCopy", kNotSrcCopy, [](QRgb s, QRgb) { return ~s; }},
                      OpCase{"NotSrcErase", kNotSrcErase, [](QRgb s, QRgb d) { return ~(s | d); }},
                      OpCase{"MergePaint", kMergePaint, [](QRgb s, QRgb d) { return ~s | d; }},
                      OpCase{"DstInvert", kDstInvert, [](QRgb, QRgb d) { return ~d; }},
                      OpCase{"Blackness", kBlackness, [](QRgb, QRgb) { return 0u; }},
                      OpCase{"Whiteness", kWhiteness, [](QRgb, QRgb) { return 0xFFFFFFu; }}),
    sw::test::byName);

TEST(cBitmap, RenderToBadTargetsDrawsNothing) {
    cBitmap source;
    fill(source, 2, 2, 0xFF123456);
    source.RenderBitmap(0, 0, 0);
    source.RenderBitmap(0x7FFFFFF0, 0, 0);
    source.RenderBitmap(source.hDC(), 0, 0);              // onto itself
    source.RenderBitmap(source.hDC(), 0, 0, 0x12345678);  // no such operation
    EXPECT_EQ(surfaceOf(source)->pixel(0, 0), 0xFF123456);
    cBitmap target;
    fill(target, 4, 4, 0xFFFFFFFF);
    source.RenderBitmap(target.hDC(), -1, 3);  // partly outside: clipped
    EXPECT_EQ(surfaceOf(target)->pixel(0, 3), 0xFF123456);
    EXPECT_EQ(surfaceOf(target)->pixel(1, 3), 0xFFFFFFFF);
}

// The button's keyed draw is checked pixel by pixel in the gallery test; the fallback it takes
// when the direct path fails must give the same picture.
TEST(cBitmap, MaskFallbackGivesTheSameResultAsTheTransparentBlit) {
    cBitmap source;
    ASSERT_TRUE(source.CreateFromPicture(SWGradientButton::libraryBitmap(1)).toBool());
    cBitmap direct;
    cBitmap masked;
    fill(direct, 20, 20, 0xFF2080C0);
    fill(masked, 20, 20, 0xFF2080C0);
    const OleColor red = rgb(255, 0, 0);
    ASSERT_TRUE(transparentBlt(direct.hDC(), 2, 3, 16, 16, source.hDC(), 0, 0, red));
    ASSERT_TRUE(maskedTransparentBlt(masked.hDC(), 2, 3, 16, 16, source.hDC(), 0, 0, red));
    EXPECT_EQ(*surfaceOf(direct), *surfaceOf(masked));
    EXPECT_EQ(surfaceOf(direct)->pixel(2, 3), 0xFF2080C0) << "the arrow's key corner";
    EXPECT_FALSE(transparentBlt(0, 0, 0, 2, 2, source.hDC(), 0, 0, red)) << "dead target";
    EXPECT_FALSE(maskedTransparentBlt(direct.hDC(), 0, 0, 2, 2, 12345, 0, 0, red)) << "dead source";
}

}  // namespace
}  // namespace sw::widgets
