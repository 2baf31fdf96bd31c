// Measuring without widgets: values and labels of each kind at several scales and units (with a
// calibration), the typed forms of lengths and scales, the per-sheet measurements file, and the
// `sheetwise measure` engine.
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <stdexcept>

#include <QDir>
#include <QJsonDocument>
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
    const char* scale;  // scale text, or the real length of the calibration below
    Unit unit;
    double real;  // inches or square inches
    const char* label;
    Resolution dpi = {200, 200};
    QList<QPointF> calibrate = {};  // two points of a known distance, or none
};

// Guards the value of each kind (area halved, perimeter), the scale forms (architectural,
// engineering, ratio, paper, calibrated), unequal resolutions and each unit's label.
class Values : public ::testing::TestWithParam<ValueCase> {};

TEST_P(Values, GiveTheRealValueAndItsLabel) {
    const ValueCase& c = GetParam();
    const QString text = QString::fromUtf8(c.scale);
    const std::optional<DrawingScale> scale =
        c.calibrate.isEmpty() ? parseScale(text)
                              : calibratedScale(paperLength(c.calibrate, c.dpi, false),
                                                parseLength(text, Unit::Feet).value_or(0));
    ASSERT_TRUE(scale);
    const Measurement m{c.kind, c.points};
    EXPECT_NEAR(valueOf(m, c.dpi, *scale).real, c.real, 1e-6 * std::max(1.0, c.real));
    EXPECT_EQ(labelOf(m, c.dpi, *scale, c.unit), QString::fromUtf8(c.label));
}

const QList<QPointF> kSquareInch = {{0, 0}, {200, 0}, {200, 200}, {0, 200}};

const ValueCase kValues[] = {
    ValueCase("QuarterInchScale", Kind::Length, {{100, 50}, {500, 50}}, "1/4\" = 1'-0\"",
              Unit::FeetInches, 96, "8'-0\""),
    ValueCase("DiagonalAtTwentyFeetInDecimalFeet", Kind::Length, {{0, 0}, {600, 800}}, "1\" = 20'",
              Unit::Feet, 1200, "100.00'"),
    ValueCase("PaperToTheSixteenth", Kind::Length, {{0, 0}, {29500, 0}}, "paper", Unit::FeetInches,
              147.5, "12'-3 1/2\""),
    ValueCase("PathAtOneToFiftyInMetres", Kind::Path, {{0, 0}, {400, 0}, {400, 400}}, "1:50",
              Unit::Metres, 100, "2.540 m", {400, 400}),
    ValueCase("FinerVerticalResolutionInMillimetres", Kind::Length, {{10, 0}, {10, 100}}, "1:1",
              Unit::Millimetres, 1, "25 mm", {200, 100}),
    ValueCase("AreaWithPerimeter", Kind::Area, kSquareInch, "1/8\" = 1'-0\"", Unit::FeetInches,
              9216, "64.00 sq ft, perimeter 32'-0\""),
    ValueCase("AreaAtOneToHundredInSquareMetres", Kind::Area,
              {{0, 0}, {400, 0}, {400, 200}, {0, 200}}, "1:100", Unit::Metres, 20000,
              "12.903 m\u00B2, perimeter 15.240 m"),
    ValueCase("CalibratedAreaInInches", Kind::Area, kSquareInch, "10'", Unit::Inches, 3600,
              "3600.0 sq in, perimeter 240.00\"", {200, 200}, {{0, 0}, {0, 400}}),
};

INSTANTIATE_TEST_SUITE_P(Table, Values, ::testing::ValuesIn(kValues), sw::test::byName);

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
    EXPECT_NEAR(*parseLength("2.54 cm"), 1, 1e-9);
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
    const auto with = [&](const char* from, const char* to) {
        return QByteArray(good).replace(from, to);
    };
    // Not JSON, not an object, another program's file, a point off the sheet, an unknown kind, too
    // few points for the kind.
    const QByteArray cases[] = {"{not json",
                                "[]",
                                R"({"sheetwise":"other","version":1})",
                                with("\"width\": 7200", "\"width\": 700"),
                                with("\"length\"", "\"circle\""),
                                with("\"path\"", "\"length\"")};
    QDir().mkpath(QFileInfo(place().path).path());
    for (const QByteArray& text : cases) {
        ASSERT_TRUE(test::writeFile(place().path, text));
        const SidecarRead read = readSidecar(place().path);
        EXPECT_TRUE(read.found);
        EXPECT_TRUE(read.problem.contains("cannot be read")) << read.problem.toStdString();
        EXPECT_TRUE(read.sheet.items.isEmpty());
    }
}

// ---- sheetwise measure --------------------------------------------------------------------------

TEST(MeasureCommand, PrintsTheValueFromTheSheetsResolution) {
    QTemporaryDir dir;
    QImage image(800, 600, QImage::Format_Mono);
    image.fill(0);
    const QString path = dir.filePath("s.tif");
    imaging::saveTiffFile(imaging::Sheet(image, 100, 100), path, imaging::kFormatCompressed, 1);
    const QJsonDocument out = QJsonDocument::fromJson(
        measureJson(path, "1\" = 10'", "0,0,300,0,300,400,0,400", true, "ft").toUtf8());
    EXPECT_EQ(out["kind"], "area");
    EXPECT_EQ(out["real"], 360.0 * 480);
    EXPECT_EQ(out["text"], "1200.00 sq ft, perimeter 140.00'");
    EXPECT_THROW(measureJson(path, "paper", "0,0,900,0", false, "ft"), std::out_of_range);
    EXPECT_THROW(measureJson(path, "huge", "0,0,1,0", false, "ft"), std::invalid_argument);
}

}  // namespace
}  // namespace sw::measure
