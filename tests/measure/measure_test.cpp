// Measuring without widgets: values and labels of each kind at several scales and units (with a
// calibration), the typed forms of lengths and scales, the per-sheet measurements file, and the
// `sheetwise measure` engine.
#include <gtest/gtest.h>

#include <stdexcept>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "imaging/sheet.h"
#include "imaging/tiff_writer.h"
#include "measure/drawing_scale.h"
#include "measure/measure_command.h"
#include "measure/measurement.h"
#include "measure/sheet_measurements.h"

namespace sw::measure {
namespace {

using sw::test::PrintTo;

struct ValueCase {
    const char* name;
    Kind kind;
    QList<QPointF> points;
    Resolution dpi;
    const char* scale;         // scale text, or the real length of the calibration below
    QList<QPointF> calibrate;  // two points of a known distance, or none
    Unit unit;
    double real;  // inches or square inches
    const char* label;
};

class Values : public ::testing::TestWithParam<ValueCase> {};

TEST_P(Values, GiveTheRealValueAndItsLabel) {
    const ValueCase& c = GetParam();
    std::optional<DrawingScale> scale;
    if (c.calibrate.isEmpty()) {
        scale = parseScale(QString::fromUtf8(c.scale));
    } else {
        const std::optional<double> real = parseLength(QString::fromUtf8(c.scale), Unit::Feet);
        ASSERT_TRUE(real);
        scale = calibratedScale(paperLength(c.calibrate, c.dpi, false), *real);
    }
    ASSERT_TRUE(scale);
    const Measurement m{c.kind, c.points};
    ASSERT_TRUE(isComplete(m));
    EXPECT_NEAR(valueOf(m, c.dpi, *scale).real, c.real, 1e-6 * std::max(1.0, c.real));
    EXPECT_EQ(labelOf(m, c.dpi, *scale, c.unit), QString::fromUtf8(c.label));
}

const QList<QPointF> kSquareInch = {{0, 0}, {200, 0}, {200, 200}, {0, 200}};

INSTANTIATE_TEST_SUITE_P(Table, Values,
                         ::testing::Values(ValueCase{"QuarterInchScale",
                                                     Kind::Length,
                                                     {{100, 50}, {500, 50}},
                                                     {200, 200},
                                                     "1/4\" = 1'-0\"",
                                                     {},
                                                     Unit::FeetInches,
                                                     96,
                                                     "8'-0\""},
                                           ValueCase{"DiagonalAtTwentyFeetInDecimalFeet",
                                                     Kind::Length,
                                                     {{0, 0}, {600, 800}},
                                                     {200, 200},
                                                     "1\" = 20'",
                                                     {},
                                                     Unit::Feet,
                                                     1200,
                                                     "100.00'"},
                                           ValueCase{"PaperToTheSixteenth",
                                                     Kind::Length,
                                                     {{0, 0}, {29500, 0}},
                                                     {200, 200},
                                                     "paper",
                                                     {},
                                                     Unit::FeetInches,
                                                     147.5,
                                                     "12'-3 1/2\""},
                                           ValueCase{"RoundsToTheNearestSixteenth",
                                                     Kind::Length,
                                                     {{0, 0}, {2006, 0}},
                                                     {200, 200},
                                                     "paper",
                                                     {},
                                                     Unit::FeetInches,
                                                     10.03,
                                                     "0'-10\""},
                                           ValueCase{"PathAtOneToFiftyInMetres",
                                                     Kind::Path,
                                                     {{0, 0}, {400, 0}, {400, 400}},
                                                     {400, 400},
                                                     "1:50",
                                                     {},
                                                     Unit::Metres,
                                                     100,
                                                     "2.540 m"},
                                           ValueCase{"FinerVerticalResolutionInMillimetres",
                                                     Kind::Length,
                                                     {{10, 0}, {10, 100}},
                                                     {200, 100},
                                                     "1:1",
                                                     {},
                                                     Unit::Millimetres,
                                                     1,
                                                     "25 mm"},
                                           ValueCase{"AreaWithPerimeter",
                                                     Kind::Area,
                                                     kSquareInch,
                                                     {200, 200},
                                                     "1/8\" = 1'-0\"",
                                                     {},
                                                     Unit::FeetInches,
                                                     9216,
                                                     "64.00 sq ft, perimeter 32'-0\""},
                                           ValueCase{"AreaAtOneToHundredInSquareMetres",
                                                     Kind::Area,
                                                     {{0, 0}, {400, 0}, {400, 200}, {0, 200}},
                                                     {200, 200},
                                                     "1:100",
                                                     {},
                                                     Unit::Metres,
                                                     20000,
                                                     "12.903 m\u00B2, perimeter 15.240 m"},
                                           ValueCase{"CalibratedOnAKnownDimension",
                                                     Kind::Length,
                                                     {{0, 0}, {200, 0}},
                                                     {200, 200},
                                                     "25'",
                                                     {{0, 0}, {1000, 0}},
                                                     Unit::FeetInches,
                                                     60,
                                                     "5'-0\""},
                                           ValueCase{"CalibratedAreaInInches",
                                                     Kind::Area,
                                                     kSquareInch,
                                                     {200, 200},
                                                     "10'",
                                                     {{0, 0}, {0, 400}},
                                                     Unit::Inches,
                                                     3600,
                                                     "3600.0 sq in, perimeter 240.00\""}),
                         sw::test::byName);

TEST(TypedText, PresetsAndLengthsReadBackAsWritten) {
    for (const DrawingScale& preset : presetScales()) {
        EXPECT_EQ(parseScale(preset.text), preset) << preset.text.toStdString();
    }
    for (double inches = 0; inches < 500; inches += 7.3) {
        const std::optional<double> back =
            parseLength(formatLength(inches, Unit::FeetInches), Unit::Inches);
        ASSERT_TRUE(back) << inches;
        EXPECT_NEAR(*back, inches, 1.0 / 32);
    }
    EXPECT_EQ(parseScale("1/4\"=1'")->ratio, 48);
    EXPECT_EQ(parseScale(" 1\" = 30' ")->text, "1\" = 30'");
    EXPECT_NEAR(parseScale("1 mm = 0.5 m")->ratio, 500, 1e-9);
    EXPECT_NEAR(*parseLength("3.5 m"), 3500 / 25.4, 1e-9);
    EXPECT_EQ(parseLength("12", Unit::Feet), 144);
    for (const char* bad : {"", "abc", "-3'", "1:0", "= 3'", "1/0\" = 1'", "1:2:3", "3 parsecs"}) {
        EXPECT_FALSE(parseScale(bad)) << bad;
    }
    EXPECT_FALSE(parseLength("-3'"));
    EXPECT_FALSE(calibratedScale(0, 10));
}

// ---- The measurements file ---------------------------------------------------------------------

class SidecarFile : public ::testing::Test {
protected:
    QString planFolder() const { return m_dir.filePath("plans"); }
    SidecarPlace place() const {
        return placeForSheetFile(planFolder(), planFolder() + "/north/2004-0815/A-101 Site.tif");
    }
    void write(const QByteArray& text) const {
        QDir().mkpath(QFileInfo(place().path).path());
        QFile file(place().path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    QTemporaryDir m_dir;
    SheetMeasurements m_sheet{"A-101 Site",
                              QSize(7200, 4800),
                              {200, 200},
                              *parseScale("1/4\" = 1'-0\""),
                              {{Kind::Length, {{10.5, 20}, {7200, 4800}}},
                               {Kind::Path, {{0, 0}, {100, 0}, {100, 100.25}}},
                               {Kind::Area, {{0, 0}, {50, 0}, {50, 50}}}}};
};

TEST_F(SidecarFile, RoundTripsBesideTheSheetInsideThePlanFolder) {
    EXPECT_TRUE(place().path.endsWith("/north/2004-0815/measurements/A-101 Site.measure.json"));
    EXPECT_EQ(writeSidecar(place(), m_sheet, Unit::FeetInches), "");
    const SidecarRead read = readSidecar(place().path);
    EXPECT_TRUE(read.found);
    EXPECT_EQ(read.problem, "");
    EXPECT_EQ(read.sheet, m_sheet);
    EXPECT_FALSE(readSidecar(m_dir.filePath("none.json")).found);
    EXPECT_EQ(placeForSheetFile(planFolder(), m_dir.filePath("elsewhere/A.tif")).path, "");
}

TEST_F(SidecarFile, DamagedFileIsReportedWithAnEmptyList) {
    const QByteArray good = sidecarJson(m_sheet, Unit::Feet);
    QByteArray offSheet = good;
    offSheet.replace("\"width\": 7200", "\"width\": 700");
    const QByteArray cases[] = {"{not json", "[]", R"({"sheetwise":"other","version":1})", offSheet,
                                QByteArray(good).replace("\"length\"", "\"circle\"")};
    for (const QByteArray& text : cases) {
        write(text);
        const SidecarRead read = readSidecar(place().path);
        EXPECT_TRUE(read.found);
        EXPECT_TRUE(read.problem.contains("cannot be read")) << read.problem.toStdString();
        EXPECT_TRUE(read.sheet.items.isEmpty());
    }
    setAsideDamaged(place().path);
    EXPECT_TRUE(QFile::exists(place().path + ".damaged"));
    EXPECT_FALSE(readSidecar(place().path).found);
}

// ---- sheetwise measure --------------------------------------------------------------------------

TEST(MeasureCommand, PrintsTheValueFromTheSheetsResolution) {
    QTemporaryDir dir;
    QImage image(800, 600, QImage::Format_Mono);
    image.fill(0);
    const QString path = dir.filePath("s.tif");
    imaging::saveTiffFile(imaging::Sheet(image, 100, 100), path, imaging::kFormatCompressed, 1);
    const QJsonObject out =
        QJsonDocument::fromJson(
            measureJson(path, "1\" = 10'", "0,0,300,0,300,400,0,400", true, "ft").toUtf8())
            .object();
    EXPECT_EQ(out.value("kind").toString(), "area");
    EXPECT_DOUBLE_EQ(out.value("real").toDouble(), 360.0 * 480);
    EXPECT_EQ(out.value("text").toString(), "1200.00 sq ft, perimeter 140.00'");
    EXPECT_THROW(measureJson(path, "paper", "0,0,900,0", false, "ft"), std::out_of_range);
    EXPECT_THROW(measureJson(path, "huge", "0,0,1,0", false, "ft"), std::invalid_argument);
}

}  // namespace
}  // namespace sw::measure
