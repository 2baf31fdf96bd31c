#include "plans/ui/batch_plan.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <optional>

#include "host/script_error.h"

namespace sw::plans {
namespace {

using host::ScriptError;

struct RowsCase {
    const char* name;
    QStringList labels;
    QStringList rows;
};

void PrintTo(const RowsCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchListRowsTable : public ::testing::TestWithParam<RowsCase> {};

TEST_P(BatchListRowsTable, ListsOneRowPerSheet) {
    EXPECT_EQ(batchListRows(GetParam().labels), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, BatchListRowsTable,
    ::testing::Values(
        RowsCase{"SpareElementAddsNoRow", {"c1~Sheet 1", "c2~Sheet 2", ""}, {"Sheet 1", "Sheet 2"}},
        RowsCase{"DashInNameKept", {"c1~A-101 Site Plan", ""}, {"A-101 Site Plan"}},
        RowsCase{"CaretShownAsApostrophe", {"c4~O^Brien Hall ^2^", ""}, {"O'Brien Hall '2'"}},
        RowsCase{"FurtherTildeBecomesDash", {"c1~a~b", ""}, {"a-b"}},
        RowsCase{"LabelWithoutDashSkipped", {"plain", "c3~x"}, {"x"}},
        RowsCase{"EmptyName", {"c7~", ""}, {""}}, RowsCase{"NoSheets", {""}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

struct RotationCase {
    const char* name;
    std::int32_t degrees;
    std::optional<std::int16_t> hundredths;  // empty: Overflow
};

void PrintTo(const RotationCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchRotationTable : public ::testing::TestWithParam<RotationCase> {};

TEST_P(BatchRotationTable, FitsSixteenBitsOrOverflows) {
    const RotationCase& c = GetParam();
    if (c.hundredths) {
        EXPECT_EQ(batchRotationFor(c.degrees), *c.hundredths);
        return;
    }
    try {
        batchRotationFor(c.degrees);
        FAIL() << "no error";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.description(), "Overflow");
    }
}

INSTANTIATE_TEST_SUITE_P(Degrees, BatchRotationTable,
                         ::testing::Values(RotationCase{"None", 0, 0},
                                           RotationCase{"QuarterTurn", 90, 9000},
                                           RotationCase{"BackQuarterTurn", -90, -9000},
                                           RotationCase{"Largest", 327, 32700},
                                           RotationCase{"Smallest", -327, -32700},
                                           RotationCase{"JustTooLarge", 328, std::nullopt},
                                           RotationCase{"JustTooSmall", -328, std::nullopt},
                                           RotationCase{"FullTurn", 360, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sw::plans
