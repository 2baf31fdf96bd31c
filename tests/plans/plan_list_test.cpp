#include "support/qt_print.h"
#include <gtest/gtest.h>

#include "host/script_error.h"
#include "plans/project_state.h"

namespace sw::plans {
namespace {

using host::ScriptError;

// Nodes written as "key:text:parent" joined by "|".
QString describe(const std::vector<TreeNode>& nodes) {
    QStringList parts;
    for (const TreeNode& node : nodes) {
        parts << node.key + ':' + node.text + ':' + node.parentKey;
    }
    return parts.join('|');
}

struct PlanListCase {
    const char* name;
    const char* list;
    const char* nodes;
    QStringList labels;
    QStringList files;
    const char* error = nullptr;  // description of the error raised, if any
};

void PrintTo(const PlanListCase& c, std::ostream* os) {
    *os << c.name;
}

class MakePlanListTable : public ::testing::TestWithParam<PlanListCase> {};

TEST_P(MakePlanListTable, BuildsTreeAndParallelArrays) {
    const PlanListCase& c = GetParam();
    ProjectState state;
    state.planLabels = {"stale", ""};
    std::vector<TreeNode> nodes;
    QString error;
    try {
        state.MakePlanList(QString::fromUtf8(c.list), nodes);
    } catch (const ScriptError& e) {
        error = e.description();
    }
    EXPECT_EQ(error, c.error == nullptr ? QString() : QString::fromUtf8(c.error));
    EXPECT_EQ(describe(nodes), QString::fromUtf8(c.nodes));
    EXPECT_EQ(state.planLabels, c.labels);
    EXPECT_EQ(state.planFiles, c.files);
    EXPECT_EQ(state.planLabels.size(), state.planFiles.size());
}

INSTANTIATE_TEST_SUITE_P(
    Table, MakePlanListTable,
    ::testing::Values(
        PlanListCase{"TwoGroups",
                     "hdr~A,Sheet 1,s1.tif~A,Sheet 2,s2.tif~B,Sheet 3,s3.tif",
                     "c0:A:|c1:Sheet 1:c0|c2:Sheet 2:c0|c3:B:|c4:Sheet 3:c3",
                     {"c1~Sheet 1", "c2~Sheet 2", "c4~Sheet 3", ""},
                     {"s1.tif", "s2.tif", "s3.tif", ""}},
        PlanListCase{"BeginSheetsCannotBeOpened",
                     "x~begin,Title,t.tif~A,Sheet 1,s1.tif",
                     "c0:Title:|c1:A:|c2:Sheet 1:c1",
                     {"c2~Sheet 1", ""},
                     {"s1.tif", ""}},
        PlanListCase{"BeginLaterIsAGroup",
                     "x~A,1,a~begin,2,b",
                     "c0:A:|c1:1:c0|c2:begin:|c3:2:c2",
                     {"c1~1", "c3~2", ""},
                     {"a", "b", ""}},
        PlanListCase{"NoTilde", "A,Sheet 1,s1.tif", "", {""}, {""}},
        PlanListCase{"EmptyList", "", "", {""}, {""}},
        PlanListCase{"DashesRemoved", "x~A---B,S,f", "c0:AB:|c1:S:c0", {"c1~S", ""}, {"f", ""}},
        PlanListCase{"LeadingBlanksRemoved", "   ~A,S,f", "c0:A:|c1:S:c0", {"c1~S", ""}, {"f", ""}},
        PlanListCase{
            "FieldsNotTrimmed", "x~ A , S , f ", "c0: A :|c1: S :c0", {"c1~ S ", ""}, {" f ", ""}},
        PlanListCase{"ReturningGroupStartsAgain",
                     "h~A,1,a~B,2,b~A,3,c",
                     "c0:A:|c1:1:c0|c2:B:|c3:2:c2|c4:A:|c5:3:c4",
                     {"c1~1", "c3~2", "c5~3", ""},
                     {"a", "b", "c", ""}},
        PlanListCase{"ExtraFieldsIgnored", "h~A,S,f,g,h", "c0:A:|c1:S:c0", {"c1~S", ""}, {"f", ""}},
        PlanListCase{"EmptyGroupName", "h~,S,f", "c0::|c1:S:c0", {"c1~S", ""}, {"f", ""}},
        PlanListCase{"BeginNeedsOnlyTwoFields", "h~begin,T", "c0:T:", {""}, {""}},
        PlanListCase{"TrailingTilde",
                     "h~A,1,a~",
                     "c0:A:|c1:1:c0",
                     {"c1~1", ""},
                     {"a", ""},
                     "Subscript out of range"},
        PlanListCase{"TwoFields",
                     "h~A,1,a~A,2",
                     "c0:A:|c1:1:c0|c2:2:c0",
                     {"c1~1", "c2~2", ""},
                     {"a", "", ""},
                     "Subscript out of range"},
        PlanListCase{"OneField",
                     "h~A,1,a~B",
                     "c0:A:|c1:1:c0|c2:B:",
                     {"c1~1", ""},
                     {"a", ""},
                     "Subscript out of range"},
        PlanListCase{"EmptyEntryInMiddle", "h~~A,1,a", "", {""}, {""}, "Subscript out of range"}));

QString repeatedList(const QString& entry, int count) {
    QString list = "hdr";
    list.reserve(list.size() + count * (entry.size() + 1));
    for (int i = 0; i < count; ++i) {
        list += '~' + entry;
    }
    return list;
}

TEST(MakePlanListLimits, ThirtyTwoThousandSevenHundredSixtySevenNodesFit) {
    ProjectState state;
    std::vector<TreeNode> nodes;
    state.MakePlanList(repeatedList("A,s,f", 32766), nodes);
    ASSERT_EQ(nodes.size(), 32767u);
    EXPECT_EQ(nodes.back().key, "c32766");
    EXPECT_EQ(state.planLabels.size(), 32767);
}

TEST(MakePlanListLimits, OneNodeMoreOverflowsAndKeepsWhatWasAdded) {
    ProjectState state;
    std::vector<TreeNode> nodes;
    try {
        state.MakePlanList(repeatedList("A,s,f", 32767), nodes);
        FAIL() << "no overflow";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.description(), "Overflow");
    }
    ASSERT_EQ(nodes.size(), 32768u);
    EXPECT_EQ(nodes.back().key, "c32767");
    EXPECT_EQ(state.planLabels.at(32766), "c32767~s");
    EXPECT_EQ(state.planLabels.size(), state.planFiles.size());
}

// The entry counter is 16-bit as well: its step past entry 32767 overflows.
TEST(MakePlanListLimits, EntryCounterOverflows) {
    ProjectState state;
    std::vector<TreeNode> nodes;
    EXPECT_THROW(state.MakePlanList(repeatedList("begin,T", 40000), nodes), ScriptError);
    EXPECT_EQ(nodes.size(), 32767u);
    EXPECT_EQ(state.planLabels, QStringList{""});
}

struct OpenCase {
    const char* name;
    const char* key;
    int index;
    const char* currentPlanName;
};

void PrintTo(const OpenCase& c, std::ostream* os) {
    *os << c.name;
}

class OpenFromTree : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenFromTree, FindsTheSheetByNodeKey) {
    ProjectState state;
    std::vector<TreeNode> nodes;
    state.MakePlanList("x~begin,Title,t.tif~A,Sheet 1,s1.tif~A,Sheet 2,s2.tif", nodes);
    state.currentPlanName = "before";
    EXPECT_EQ(state.planIndexForKey(GetParam().key), GetParam().index);
    EXPECT_EQ(state.currentPlanName, GetParam().currentPlanName);
}

INSTANTIATE_TEST_SUITE_P(Table, OpenFromTree,
                         ::testing::Values(OpenCase{"FirstSheet", "c2", 0, "Sheet 1"},
                                           OpenCase{"SecondSheet", "c3", 1, "Sheet 2"},
                                           OpenCase{"GroupNode", "c1", -1, "before"},
                                           OpenCase{"BeginSheet", "c0", -1, "before"},
                                           OpenCase{"UnknownKey", "c99", -1, "before"},
                                           OpenCase{"KeyPrefixOnly", "c", -1, "before"}));

TEST(OpenFromTree, LastMatchWins) {
    ProjectState state;
    state.planLabels = {"c1~First", "", "c1~Second", ""};
    EXPECT_EQ(state.planIndexForKey("c1"), 2);
    EXPECT_EQ(state.currentPlanName, "Second");
}

}  // namespace
}  // namespace sw::plans
