#include "plans/batch_plan.h"

#include <gtest/gtest.h>

#include "plans/plan_test_support.h"

namespace sw::plans {
namespace {

using sw::test::PrintTo;

struct RowsCase {
    const char* name;
    QStringList labels;
    QStringList rows;
};

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
    sw::test::byName);

// The rotation in hundredths of a degree must fit 16 bits.
TEST(BatchRotation, FitsSixteenBitsOrOverflows) {
    QStringList results;
    for (const int degrees : {0, 90, -90, 327, -327, 328, -328, 360}) {
        const QString error =
            test::errorOf([&] { results << QString::number(batchRotationFor(degrees)); });
        if (!error.isEmpty()) {
            results << error;
        }
    }
    EXPECT_EQ(results, (QStringList{"0", "9000", "-9000", "32700", "-32700", "Overflow", "Overflow",
                                    "Overflow"}));
}

}  // namespace
}  // namespace sw::plans
