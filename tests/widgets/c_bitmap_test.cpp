#include "widgets/c_bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include <QFile>
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

TEST(cBitmap, FailedCreationReleasesTheSurfaceButKeepsTheSize) {
    cBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateAtSize(100, 50));
    EXPECT_EQ(bitmap.Width(), 100);
    EXPECT_EQ(bitmap.Height(), 50);
    const std::int32_t first = bitmap.hDC();
    EXPECT_FALSE(bitmap.CreateFromFile(QStringLiteral("/nonexistent/plan.bmp")));
    EXPECT_EQ(bitmap.hDC(), 0);
    EXPECT_EQ(handles::drawableFromHandle(first), nullptr);
    EXPECT_EQ(bitmap.Width(), 100);
    EXPECT_EQ(bitmap.Height(), 50);
}

TEST(cBitmap, SecondCreationLeavesOnlyTheSecondSurface) {
    cBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateAtSize(10, 10));
    const std::int32_t first = bitmap.hDC();
    ASSERT_TRUE(bitmap.CreateFromPicture(QImage(4, 3, QImage::Format_RGB32)).toBool());
    EXPECT_EQ(handles::drawableFromHandle(first), nullptr);
    EXPECT_NE(handles::drawableFromHandle(bitmap.hDC()), nullptr);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Height(), 3);
}

TEST(cBitmap, DestructionReleasesTheSurface) {
    std::int32_t handle = 0;
    {
        cBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateAtSize(8, 8));
        handle = bitmap.hDC();
    }
    EXPECT_EQ(handles::drawableFromHandle(handle), nullptr);
}

TEST(cBitmap, FileRoundTripKeepsSizeAndPixels) {
    QTemporaryDir dir;
    const QImage printer = SWGradientButton::libraryBitmap(3);
    ASSERT_FALSE(printer.isNull());
    const QString path = dir.filePath(QStringLiteral("printer.bmp"));
    ASSERT_TRUE(printer.save(path, "BMP"));
    cBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateFromFile(path));
    EXPECT_EQ(bitmap.Width(), 16);
    EXPECT_EQ(bitmap.Height(), 16);
    EXPECT_EQ(surfaceOf(bitmap)->convertToFormat(QImage::Format_RGB32),
              printer.convertToFormat(QImage::Format_RGB32));
}

struct FailureCase {
    std::string name;
    std::function<bool(cBitmap&, const QString& dir)> create;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class cBitmapFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(cBitmapFailure, ReportsByResultAndStaysEmpty) {
    QTemporaryDir dir;
    cBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateAtSize(7, 9));
    EXPECT_FALSE(GetParam().create(bitmap, dir.path()));
    EXPECT_EQ(bitmap.hDC(), 0);
    EXPECT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(bitmap.Height(), 9);
    // Drawing from an empty object draws nothing and does not fail.
    cBitmap target;
    ASSERT_TRUE(target.CreateAtSize(4, 4));
    const QImage before = *surfaceOf(target);
    bitmap.RenderBitmap(target.hDC(), 0, 0);
    EXPECT_EQ(*surfaceOf(target), before);
}

INSTANTIATE_TEST_SUITE_P(
    Creations, cBitmapFailure,
    ::testing::Values(
        FailureCase{"ZeroWidth", [](cBitmap& b, const QString&) { return b.CreateAtSize(0, 10); }},
        FailureCase{"NegativeHeight",
                    [](cBitmap& b, const QString&) { return b.CreateAtSize(10, -1); }},
        FailureCase{"FarTooLarge",
                    [](cBitmap& b, const QString&) { return b.CreateAtSize(100000, 100000); }},
        FailureCase{"EmptyPath", [](cBitmap& b, const QString&) { return b.CreateFromFile({}); }},
        FailureCase{"CorruptFile",
                    [](cBitmap& b, const QString& dir) {
                        const QString path = dir + QStringLiteral("/broken.bmp");
                        QFile file(path);
                        file.open(QIODevice::WriteOnly);
                        file.write("BM\x10\x00\x00\x00garbage, not a bitmap");
                        file.close();
                        return b.CreateFromFile(path);
                    }},
        FailureCase{"NullPicture",
                    [](cBitmap& b, const QString&) {
                        const QVariant result = b.CreateFromPicture(QImage());
                        EXPECT_FALSE(result.isValid()) << "an empty value, not false";
                        return result.isValid();
                    }}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

struct OpCase {
    std::string name;
    std::uint32_t op;
    std::function<QRgb(QRgb source, QRgb dest)> expected;  // on the 24 colour bits
};

void PrintTo(const OpCase& c, std::ostream* os) {
    *os << c.name;
}

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
    [](const ::testing::TestParamInfo<OpCase>& info) { return info.param.name; });

TEST(cBitmap, RenderWithoutOpCodeCopies) {
    cBitmap source;
    cBitmap target;
    fill(source, 2, 2, 0xFF123456);
    fill(target, 4, 4, 0xFFFFFFFF);
    source.RenderBitmap(target.hDC(), 1, 1);
    EXPECT_EQ(surfaceOf(target)->pixel(2, 2), 0xFF123456);
}

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

TEST(cBitmap, MaskFallbackGivesTheSameResultAsTheTransparentBlit) {
    const QImage arrow = SWGradientButton::libraryBitmap(1);
    cBitmap source;
    ASSERT_TRUE(source.CreateFromPicture(arrow).toBool());
    cBitmap direct;
    cBitmap masked;
    fill(direct, 20, 20, 0xFF2080C0);
    fill(masked, 20, 20, 0xFF2080C0);
    const OleColor red = rgb(255, 0, 0);
    ASSERT_TRUE(transparentBlt(direct.hDC(), 2, 3, 16, 16, source.hDC(), 0, 0, red));
    ASSERT_TRUE(maskedTransparentBlt(masked.hDC(), 2, 3, 16, 16, source.hDC(), 0, 0, red));
    EXPECT_EQ(*surfaceOf(direct), *surfaceOf(masked));
    // Key pixels left the destination alone; the others are the bitmap's.
    int keyed = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb in = arrow.pixel(x, y) & RGB_MASK;
            const QRgb out = surfaceOf(direct)->pixel(x + 2, y + 3) & RGB_MASK;
            if (in == 0xFF0000) {
                ++keyed;
                EXPECT_EQ(out, 0x2080C0U);
            } else {
                EXPECT_EQ(out, in);
            }
        }
    }
    EXPECT_GT(keyed, 100);
}

TEST(cBitmap, TransparentBlitRefusesDeadHandles) {
    cBitmap source;
    fill(source, 2, 2, 0xFF000000);
    EXPECT_FALSE(transparentBlt(0, 0, 0, 2, 2, source.hDC(), 0, 0, rgb(255, 0, 0)));
    EXPECT_FALSE(maskedTransparentBlt(source.hDC(), 0, 0, 2, 2, 12345, 0, 0, rgb(255, 0, 0)));
}

}  // namespace
}  // namespace sw::widgets
