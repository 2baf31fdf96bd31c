// Two revisions laid over each other: colours of each ink class, alignment of known shifts
// (sizes and resolutions differing), the transforms a comparison follows, and `sheetwise compare`.
#include "compare/comparison.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include "compare/alignment.h"
#include "compare/compare_command.h"
#include "imaging/sheet_renderer.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"

namespace sw::compare {
namespace {

using imaging::Sheet;

// A line drawing of w x h pixels drawn by `draw` (painter units: pixels), on white.
template <class Draw>
Sheet drawn(int w, int h, double dpi, Draw draw) {
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    draw(painter);
    painter.end();
    return Sheet(picture.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither), dpi, dpi);
}

// A plan-like drawing inside 1466 x 966 pixels from `at`, the same for the same seed: walls, thin
// lines, blocks of "text".
void planLines(QPainter& p, QPoint at, unsigned seed) {
    p.translate(at);
    p.setPen(QPen(Qt::black, 12));
    p.drawRect(60, 60, 1400, 900);
    quint32 r = seed;
    auto next = [&r](int n) { return static_cast<int>((r = r * 1664525u + 1013904223u) >> 8) % n; };
    for (int i = 0; i < 40; ++i) {
        p.setPen(QPen(Qt::black, 1 + next(6)));
        const QPoint a(100 + next(1000), 100 + next(500));
        p.drawLine(a,
                   next(2) ? QPoint(a.x() + next(300), a.y()) : QPoint(a.x(), a.y() + next(300)));
        p.fillRect(100 + next(1300), 100 + next(800), 3 + next(40), 3 + next(8), Qt::black);
    }
}

struct ShiftCase {
    const char* name;
    QPoint shift;       // where the earlier drawing lies on the new one
    QSize earlierPage;  // pixels at the earlier sheet's resolution
    double earlierDpi;
    int tolerance;
};

using sw::test::PrintTo;

class Alignment : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(Alignment, FindsTheShiftOfTheEarlierDrawing) {
    const ShiftCase& c = GetParam();
    const Sheet newer = drawn(2000, 1400, 200, [](QPainter& p) { planLines(p, {200, 200}, 7); });
    const double f = c.earlierDpi / 200;
    const Sheet earlier =
        drawn(c.earlierPage.width(), c.earlierPage.height(), c.earlierDpi, [&](QPainter& p) {
            p.scale(f, f);
            planLines(p, QPoint(200, 200) - c.shift, 7);
        });
    const auto comparison = Comparison::make(newer, earlier);
    EXPECT_NEAR(comparison->offset().x(), c.shift.x(), c.tolerance);
    EXPECT_NEAR(comparison->offset().y(), c.shift.y(), c.tolerance);
    if (c.tolerance == 0) {
        EXPECT_EQ(comparison->added(), 0);
        EXPECT_EQ(comparison->removed(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    KnownShifts, Alignment,
    ::testing::Values(ShiftCase{"none", {0, 0}, {2000, 1400}, 200, 0},
                      ShiftCase{"a_few_pixels", {3, -2}, {2000, 1400}, 200, 0},
                      ShiftCase{"beyond_a_coarse_cell", {-257, 131}, {2000, 1400}, 200, 0},
                      ShiftCase{"larger_earlier_page", {40, -25}, {2600, 1800}, 200, 0},
                      ShiftCase{"half_the_resolution", {10, -6}, {1000, 700}, 100, 1}),
    sw::test::byName);

// Lines one pixel wide down a 2400 x 1600 sheet: at x 600 only in the new drawing, at 1200 only
// in the earlier one, at 1800 in both; paper elsewhere.
std::shared_ptr<const Comparison> threeLines() {
    const auto lines = [](std::initializer_list<int> xs) {
        return drawn(2400, 1600, 200, [&](QPainter& p) {
            for (const int x : xs) {
                p.fillRect(x, 0, 1, 1600, Qt::black);
            }
        });
    };
    return std::make_shared<Comparison>(lines({600, 1800}), lines({1200, 1800}), QPoint(), QPoint(),
                                        QPointF());
}

TEST(Colours, EachClassHasItsColourOnScreenAndInThePicture) {
    const auto c = threeLines();
    const QPoint at[] = {{1800, 9}, {600, 9}, {1200, 9}, {900, 9}};
    const QRgb overlay[] = {kBothInk, kNewInk, kEarlierInk, kPaper};
    const QRgb earlierOnly[] = {qRgb(0, 0, 0), kPaper, qRgb(0, 0, 0), kPaper};
    QImage view(2400, 1600, QImage::Format_RGB32);
    QImage earlier = view;
    renderComparison(*c, CompareMode::Overlay, view, {}, QRectF(0, 0, 2400, 1600), 0);
    renderComparison(*c, CompareMode::EarlierOnly, earlier, {}, QRectF(0, 0, 2400, 1600), 0);
    const QImage picture = comparisonPicture(*c, CompareMode::Overlay);
    EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(view.pixel(at[i]), overlay[i]) << i;
        EXPECT_EQ(picture.pixel(at[i]), overlay[i]) << i;
        EXPECT_EQ(earlier.pixel(at[i]), earlierOnly[i]) << i;
    }
    EXPECT_EQ(c->added(), 1600);
    EXPECT_EQ(c->removed(), 1600);
}

// A one-pixel line of each class stays visible, in its colour, however far the view is reduced.
class ThinLines : public ::testing::TestWithParam<double> {};

TEST_P(ThinLines, KeepTheirColourInReducedViews) {
    const double reduction = GetParam();
    const QSize size(static_cast<int>(2400 / reduction), static_cast<int>(1600 / reduction));
    QImage view(size, QImage::Format_RGB32);
    renderComparison(*threeLines(), CompareMode::Overlay, view, {}, QRectF(QPointF(), QSizeF(size)),
                     0);
    // The darkest value of a channel in the three view columns around sheet column x.
    const auto darkest = [&](int x, int (*channel)(QRgb)) {
        int best = 255;
        for (int i = -1; i <= 1; ++i) {
            const int column = static_cast<int>(x / reduction) + i;
            best = std::min(best, channel(view.pixel(column, size.height() / 2)));
        }
        return best;
    };
    EXPECT_LT(darkest(600, qRed), 215) << "the added line is blue";
    EXPECT_EQ(darkest(600, qBlue), 255);
    EXPECT_LT(darkest(1200, qGreen), 215) << "the removed line is red";
    EXPECT_EQ(darkest(1200, qRed), 255);
    EXPECT_LT(darkest(1800, qBlue), 215) << "the line in both is grey";
}

INSTANTIATE_TEST_SUITE_P(Reductions, ThinLines, ::testing::Values(1.5, 3.0, 6.0, 12.5));

TEST(Transforms, TurnedComparisonShowsTheTurnedPicture) {
    Sheet newer = drawn(900, 600, 200, [](QPainter& p) { planLines(p, {-100, -80}, 3); });
    Sheet earlier = drawn(800, 640, 200, [](QPainter& p) { planLines(p, {-90, -70}, 4); });
    newer.setOverlay(
        std::make_shared<CompareOverlay>(Comparison::make(newer, earlier), CompareMode::Overlay));
    const auto picture = [](const Sheet& s) {
        return s.overlay()->picture(s).convertToFormat(QImage::Format_RGB32);
    };
    const QImage before = picture(newer);
    const Sheet turned = imaging::rotated(newer, 9000, 0);
    EXPECT_EQ(picture(turned), before.transformed(QTransform().rotate(90)));
    const Sheet back = imaging::rotated(turned, 27000, 0);
    EXPECT_EQ(picture(back), before);
    const auto* overlay = comparisonOverlay(back);
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->comparison().offset(), comparisonOverlay(newer)->comparison().offset());
}

// The print hand-off halves a 400 dpi sheet: an odd shift must not leave half-pixel fringes.
TEST(Transforms, ResamplingKeepsTheDrawingsAligned) {
    Sheet newer = drawn(2000, 1400, 400, [](QPainter& p) { planLines(p, {}, 9); });
    const Sheet earlier = drawn(2000, 1400, 400, [](QPainter& p) { planLines(p, {-3, -5}, 9); });
    newer.setOverlay(
        std::make_shared<CompareOverlay>(Comparison::make(newer, earlier), CompareMode::Overlay));
    const Sheet half = imaging::resampled(newer, 1000, 700, false);
    const Comparison& c = comparisonOverlay(half)->comparison();
    EXPECT_EQ(c.offset(), QPoint(2, 3));
    EXPECT_EQ(c.added(), 0);
    EXPECT_EQ(c.removed(), 0);
}

// `sheetwise compare` on the demo's second revision of a sheet, which lies 0.03 in right and
// 0.02 in up with a wall moved, a door added and a note deleted; then sheets it cannot read and
// bad usage.
TEST(Command, FindsTheSampleRevisionAndWritesTheOverlay) {
    QTemporaryDir dir;
    QProcess tool;
    tool.start(test::binPath("make-sample-sheets"),
               {dir.path(), "--quick", "--second-revision", "A-102"});
    ASSERT_TRUE(tool.waitForFinished(120000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const auto at = [&](const char* name) {
        return dir.filePath("2004/0815/plans/" + QLatin1String(name)).toLocal8Bit();
    };
    ASSERT_TRUE(test::writeFile(at("damaged.tif"), QByteArray("II*\0\x08\0\0\0\x05\0garbage", 17)));
    const auto run = [](QList<QByteArray> args) {
        args.prepend("compare");
        args.prepend("sheetwise");
        std::vector<char*> argv;
        for (QByteArray& a : args) {
            argv.push_back(a.data());
        }
        return runCompareCommand(static_cast<int>(argv.size()), argv.data());
    };
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(run({at("A-102.tif"), at("A-102-R2.tif"), "--out", at("o.png"), "--width", "500"}),
              0);
    const QJsonDocument out = QJsonDocument::fromJson(
        QByteArray::fromStdString(::testing::internal::GetCapturedStdout()));
    EXPECT_EQ(out["offset"], (QJsonArray{3, -2})) << "100 dpi quick sheets";
    EXPECT_GT(out["added"].toInt(), 100);
    EXPECT_GT(out["removed"].toInt(), 100);
    EXPECT_EQ(QImage(QString::fromLocal8Bit(at("o.png"))).size(), QSize(500, 333));  // a 3:2 sheet
    EXPECT_EQ(run({at("damaged.tif"), at("A-102.tif"), "--out", at("d.png")}), 1);
    EXPECT_EQ(run({at("missing.tif"), at("A-102.tif"), "--out", at("m.png")}), 1);
    EXPECT_EQ(run({at("A-102.tif"), "--out", at("u.png")}), 2);
}

}  // namespace
}  // namespace sw::compare
