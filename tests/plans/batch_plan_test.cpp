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

// Row i of the batch list must stand for label i: a row added for the spare element, or one lost
// for an odd name, downloads the wrong sheet.
TEST_P(BatchListRowsTable, ListsOneRowPerSheet) {
    EXPECT_EQ(batchListRows(GetParam().labels), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Labels, BatchListRowsTable,
    ::testing::Values(
        RowsCase{"SpareElementAddsNoRow", {"c1~A-101 Site", "c2~", ""}, {"A-101 Site", ""}},
        RowsCase{"CaretShownAsApostrophe", {"c4~O^Brien Hall ^2^", ""}, {"O'Brien Hall '2'"}},
        RowsCase{"FurtherTildeBecomesDash", {"c1~a~b", ""}, {"a-b"}},
        RowsCase{"LabelWithoutDashSkipped", {"plain", "c3~x"}, {"x"}}),
    sw::test::byName);

// The rotation in hundredths of a degree must fit 16 bits.
TEST(BatchRotation, FitsSixteenBitsOrOverflows) {
    QStringList results;
    for (const int degrees : {90, -90, 327, -327, 328, -328}) {
        const QString error =
            test::errorOf([&] { results << QString::number(batchRotationFor(degrees)); });
        results << error;
    }
    EXPECT_EQ(results.join(' ').simplified(), "9000 -9000 32700 -32700 Overflow Overflow");
}

}  // namespace
}  // namespace sw::plans
