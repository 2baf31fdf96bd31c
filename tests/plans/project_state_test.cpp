#include "plans/project_state.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "base/ini_store.h"
#include "base/preferences.h"
#include "plans/plan_test_support.h"

namespace sw::plans {
namespace {

using sw::test::PrintTo;
using test::describe;
using test::errorOf;

const QString kInvalid = "Invalid procedure call or argument";

// ---- MakePlanList ----------------------------------------------------------------------------

// The sheet arrays written as "label>file" per index joined by "|"; the spare element at the
// end shows as a trailing "|>".
QString arrays(const ProjectState& state) {
    QStringList rows;
    for (qsizetype i = 0; i < std::max(state.planLabels.size(), state.planFiles.size()); ++i) {
        rows << state.planLabels.value(i, "?") + '>' + state.planFiles.value(i, "?");
    }
    return rows.join('|');
}

// `got`, or only its end when `want` starts with "..." (for lists of thousands of entries).
QString shown(const QString& got, const QString& want) {
    return want.startsWith("...") ? "..." + got.right(want.size() - 3) : got;
}

struct PlanListCase {
    const char* name;
    QString list;
    QString nodes;
    QString arrays;
    const char* error = "";
};

class MakePlanListTable : public ::testing::TestWithParam<PlanListCase> {};

// Guards the sheet tree and the two parallel arrays the viewer opens sheets by: a shifted index,
// a lost last entry or a group started at the wrong place opens the wrong sheet. What was added
// before a malformed entry or a 16-bit overflow of the node numbers stays.
TEST_P(MakePlanListTable, BuildsTreeAndParallelArrays) {
    const PlanListCase& c = GetParam();
    ProjectState state;
    state.planLabels = {"stale", ""};
    std::vector<TreeNode> nodes;
    EXPECT_EQ(errorOf([&] { state.MakePlanList(c.list, nodes); }), c.error);
    EXPECT_EQ(shown(describe(nodes), c.nodes), c.nodes);
    EXPECT_EQ(shown(arrays(state), c.arrays), c.arrays);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MakePlanListTable,
    ::testing::Values(
        PlanListCase{"TwoGroups", "h~A,1,a~A,2,b~B,3,c", "c0:A:|c1:1:c0|c2:2:c0|c3:B:|c4:3:c3",
                     "c1~1>a|c2~2>b|c4~3>c|>"},
        PlanListCase{"BeginSheetsCannotBeOpened", "h~begin,T,t~A,1,a", "c0:T:|c1:A:|c2:1:c1",
                     "c2~1>a|>"},
        PlanListCase{"BeginLaterIsAGroupAndAReturningGroupStartsAgain", "h~A,1,a~begin,2,b~A,3,c",
                     "c0:A:|c1:1:c0|c2:begin:|c3:2:c2|c4:A:|c5:3:c4", "c1~1>a|c3~2>b|c5~3>c|>"},
        PlanListCase{"NoTilde", "A,1,a", "", ">"},
        PlanListCase{"LeadingBlanksAndTripleDashesRemoved", "   ~A---B,S,f", "c0:AB:|c1:S:c0",
                     "c1~S>f|>"},
        PlanListCase{"FieldsNotTrimmedExtraFieldsIgnored", "h~ A , S , f ,g", "c0: A :|c1: S :c0",
                     "c1~ S > f |>"},
        PlanListCase{"BeginNeedsOnlyTwoFields", "h~begin,T", "c0:T:", ">"},
        PlanListCase{"TrailingTilde", "h~A,1,a~", "c0:A:|c1:1:c0", "c1~1>a|>",
                     "Subscript out of range"},
        PlanListCase{"TwoFields", "h~A,1,a~A,2", "c0:A:|c1:1:c0|c2:2:c0", "c1~1>a|c2~2>|>",
                     "Subscript out of range"},
        PlanListCase{"OneField", "h~A,1,a~B", "c0:A:|c1:1:c0|c2:B:", "c1~1>a|>",
                     "Subscript out of range"},
        PlanListCase{"LastNodeNumber", "h" + QString("~A,s,f").repeated(32766), "...|c32766:s:c0",
                     "...|c32766~s>f|>"},
        PlanListCase{"NodeNumberOverflow", "h" + QString("~A,s,f").repeated(32767),
                     "...|c32767:s:c0", "...|c32767~s>f|>", "Overflow"},
        PlanListCase{"EntryCounterOverflow", "h" + QString("~begin,T").repeated(40000),
                     "...|c32766:T:", ">", "Overflow"}),
    sw::test::byName);

// Only a sheet node under a group opens; any other key gives -1 and keeps the current name.
TEST(OpenFromTree, FindsTheSheetByNodeKey) {
    ProjectState state;
    std::vector<TreeNode> nodes;
    state.MakePlanList("h~begin,T,t~A,1,a~A,2,b", nodes);  // c0 begin sheet, c1 group, c2, c3
    QStringList found;
    for (const char* key : {"c2", "c3", "c1", "c0", "c99", "c"}) {
        state.currentPlanName = "-";
        found << QString("%1 %2").arg(state.planIndexForKey(key)).arg(state.currentPlanName);
    }
    EXPECT_EQ(found, (QStringList{"0 1", "1 2", "-1 -", "-1 -", "-1 -", "-1 -"}));
}

// ---- InitVars and ResetRoot ------------------------------------------------------------------

// A project "2004-0815" of site "north", turned 90 degrees, whose settings name a plan folder in a
// temporary directory.
class ProjectFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_state.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", m_dir.path());
        QString url = "http://h/", id = "2004-0815", name = "Main Street School", site = "north";
        std::int32_t turn = 90;
        m_state.InitVars(url, id, name, turn, site);
    }

    // The fields InitVars sets, joined by "|", with the plan folder left out of localRoot.
    QString fields() const {
        const ProjectState& s = m_state;
        const QString root = QString(s.localRoot).remove(s.planDirectory);
        return QString("%1|%2|%3|%4|%5|%6|%7")
            .arg(s.siteName, s.projectId, s.planUrl, s.projectSubPath, root)
            .arg(s.rotation)
            .arg(s.projectName);
    }

    QTemporaryDir m_dir;
    ProjectState m_state;
};

constexpr const char* kBefore =
    "north|2004-0815|http://h/2004/0815/plans/|2004-0815/plans/|/north/|90|Main Street School";

struct InitCase {
    const char* name;
    QString site;
    QString id;
    const char* after = kBefore;  // fields afterwards
    bool refused = true;
};

class InitVarsTable : public ProjectFixture, public ::testing::WithParamInterface<InitCase> {};

// Guards the plan folder: a site or project identifier that could lead outside it is refused
// before anything is stored (also by SetProjectID), so no later save can escape it. Otherwise
// "~" in the caller's identifier becomes "-", and the identifier splits at its first "-" into the
// two levels of the sheets' URL, which is used as given.
TEST_P(InitVarsTable, SetsUpTheProjectOrRefusesBeforeStoring) {
    const InitCase& c = GetParam();
    QString url = "http://x", id = c.id, name = "P", site = c.site;
    std::int32_t turn = 180;
    EXPECT_EQ(errorOf([&] { m_state.InitVars(url, id, name, turn, site); }),
              c.refused ? kInvalid : "");
    EXPECT_EQ(fields(), c.after);
    EXPECT_EQ(id, c.refused ? c.id : m_state.projectId) << "the caller's identifier";
    if (c.refused && c.site == "north") {
        EXPECT_EQ(errorOf([&] { m_state.SetProjectID(id); }), kInvalid);
        EXPECT_EQ(m_state.projectId, "2004-0815");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, InitVarsTable,
    ::testing::Values(
        InitCase{"TildeBecomesDashSplitAtTheFirstDash", "south", "1~2-3",
                 "south|1-2-3|http://x1/2-3/plans/|1-2-3/plans/|/south/|180|P", false},
        InitCase{"InnerLevelsAndDotsInNamesAreFine", "n/e..w", "1-2..v",
                 "n/e..w|1-2..v|http://x1/2..v/plans/|1-2..v/plans/|/n/e..w/|180|P", false},
        InitCase{"WithoutDashOnlyTheSiteIsStored", "south", "20040815",
                 "south|2004-0815|http://h/2004/0815/plans/|2004-0815/plans/|/north/|90|"
                 "Main Street School"},
        InitCase{"AbsoluteSite", "/etc", "1-2"}, InitCase{"BackslashRootSite", "\\etc", "1-2"},
        InitCase{"DriveSite", "C:\\Windows", "1-2"}, InitCase{"ClimbingSite", "..", "1-2"},
        InitCase{"ClimbingInsideSite", "a/../../x", "1-2"},
        InitCase{"ClimbingBackslashSite", "a\\..\\..", "1-2"},
        InitCase{"NulSite", QString("a") + QChar(0) + "b", "1-2"},
        InitCase{"ClimbingId", "north", "../2004-0815"}, InitCase{"DotDotId", "north", ".."},
        InitCase{"SlashId", "north", "2004-08/15"}, InitCase{"BackslashId", "north", "2004-08\\15"},
        InitCase{"AbsoluteId", "north", "/tmp/x-1"},
        InitCase{"NulId", "north", QString("1-2") + QChar(0)}),
    sw::test::byName);

// ResetRoot reads the settings at each call; an empty plan folder falls back to the default,
// which is written back.
TEST_F(ProjectFixture, ResetRootFollowsTheSettingsAtEachCall) {
    base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", "/srv/plans/");
    base::writeProfileString(m_state.iniPath, "Prefs", "Print In Blue", "1");
    m_state.ResetRoot();
    EXPECT_EQ(m_state.localRoot, "/srv/plans//north/");
    EXPECT_TRUE(m_state.printInBlue);
    EXPECT_FALSE(m_state.reversePrint);

    base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", "");
    m_state.ResetRoot();
    EXPECT_EQ(m_state.localRoot, base::defaultPlanDirectory() + "/north/");
    EXPECT_EQ(base::readProfileString(m_state.iniPath, "Prefs", "Plan Directory", "none"),
              base::defaultPlanDirectory());
}

// Once a page has set the sheet list, even the user's own loads (sheet tree, Next, batches) keep
// to http and https, until the addresses made from it are web addresses again.
TEST(SheetAddress, APagesSheetListLoadsOnlyFromTheWebWhoeverAsks) {
    ProjectState state;
    QString url = "file:///", id = "dev-x";
    state.SetPlanUrl(url, id);
    {
        const base::CallerTrustScope page(base::Trust::Untrusted);
        std::vector<TreeNode> nodes;
        state.MakePlanList("h~A,1,../../ptmx", nodes);
    }
    EXPECT_TRUE(errorOf([&] { state.checkSheetList(); }).startsWith("Permission denied: "));
    url = "http://h/";
    state.SetPlanUrl(url, id);
    EXPECT_EQ(errorOf([&] { state.checkSheetList(); }) + state.sheetAddress("../../ptmx"),
              "http://h/dev/x/plans/../../ptmx");
}

}  // namespace
}  // namespace sw::plans
