#include "plans/project_state.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "base/ini_store.h"
#include "base/preferences.h"
#include "plans/plan_test_support.h"

namespace sw::plans {
namespace {

using sw::test::byName;
using sw::test::PrintTo;
using test::describe;
using test::errorOf;

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

struct PlanListCase {
    const char* name;
    const char* list;
    const char* nodes;
    const char* arrays;
    const char* error = "";
};

class MakePlanListTable : public ::testing::TestWithParam<PlanListCase> {};

TEST_P(MakePlanListTable, BuildsTreeAndParallelArrays) {
    const PlanListCase& c = GetParam();
    ProjectState state;
    state.planLabels = {"stale", ""};
    std::vector<TreeNode> nodes;
    EXPECT_EQ(errorOf([&] { state.MakePlanList(QString::fromUtf8(c.list), nodes); }), c.error);
    EXPECT_EQ(describe(nodes), c.nodes);
    EXPECT_EQ(arrays(state), c.arrays);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MakePlanListTable,
    ::testing::Values(
        PlanListCase{"TwoGroups", "h~A,1,a~A,2,b~B,3,c", "c0:A:|c1:1:c0|c2:2:c0|c3:B:|c4:3:c3",
                     "c1~1>a|c2~2>b|c4~3>c|>"},
        PlanListCase{"BeginSheetsCannotBeOpened", "h~begin,T,t~A,1,a", "c0:T:|c1:A:|c2:1:c1",
                     "c2~1>a|>"},
        PlanListCase{"BeginLaterIsAGroup", "h~A,1,a~begin,2,b", "c0:A:|c1:1:c0|c2:begin:|c3:2:c2",
                     "c1~1>a|c3~2>b|>"},
        PlanListCase{"NoTilde", "A,1,a", "", ">"},
        PlanListCase{"DashesRemoved", "h~A---B,S,f", "c0:AB:|c1:S:c0", "c1~S>f|>"},
        PlanListCase{"LeadingBlanksRemoved", "   ~A,S,f", "c0:A:|c1:S:c0", "c1~S>f|>"},
        PlanListCase{"FieldsNotTrimmed", "h~ A , S , f ", "c0: A :|c1: S :c0", "c1~ S > f |>"},
        PlanListCase{"ReturningGroupStartsAgain", "h~A,1,a~B,2,b~A,3,c",
                     "c0:A:|c1:1:c0|c2:B:|c3:2:c2|c4:A:|c5:3:c4", "c1~1>a|c3~2>b|c5~3>c|>"},
        PlanListCase{"ExtraFieldsIgnored", "h~A,S,f,g,h", "c0:A:|c1:S:c0", "c1~S>f|>"},
        PlanListCase{"EmptyGroupName", "h~,S,f", "c0::|c1:S:c0", "c1~S>f|>"},
        PlanListCase{"BeginNeedsOnlyTwoFields", "h~begin,T", "c0:T:", ">"},
        PlanListCase{"TrailingTilde", "h~A,1,a~", "c0:A:|c1:1:c0", "c1~1>a|>",
                     "Subscript out of range"},
        PlanListCase{"TwoFields", "h~A,1,a~A,2", "c0:A:|c1:1:c0|c2:2:c0", "c1~1>a|c2~2>|>",
                     "Subscript out of range"},
        PlanListCase{"OneField", "h~A,1,a~B", "c0:A:|c1:1:c0|c2:B:", "c1~1>a|>",
                     "Subscript out of range"},
        PlanListCase{"EmptyEntryInMiddle", "h~~A,1,a", "", ">", "Subscript out of range"}),
    sw::test::byName);

// Node numbers and the entry counter are 16-bit: the nodes and sheets added before an overflow
// stay, and the two arrays stay parallel.
TEST(MakePlanListLimits, SixteenBitCountersOverflowKeepingWhatWasAdded) {
    struct Case {
        const char* entry;
        int count;
        const char* lastKey;
        qsizetype labels;
        const char* error;
    };
    for (const Case& c : {Case{"A,s,f", 32766, "c32766", 32767, ""},
                          Case{"A,s,f", 32767, "c32767", 32768, "Overflow"},
                          Case{"begin,T", 40000, "c32766", 1, "Overflow"}}) {
        SCOPED_TRACE(c.count);
        const QString list = "hdr" + QString("~%1").arg(c.entry).repeated(c.count);
        ProjectState state;
        std::vector<TreeNode> nodes;
        EXPECT_EQ(errorOf([&] { state.MakePlanList(list, nodes); }), c.error);
        ASSERT_FALSE(nodes.empty());
        EXPECT_EQ(nodes.back().key, c.lastKey);
        EXPECT_EQ(state.planLabels.size(), c.labels);
        EXPECT_EQ(state.planFiles.size(), c.labels);
    }
}

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

// ---- InitVars, SetPlanUrl and ResetRoot ------------------------------------------------------

class ProjectFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_state.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", m_dir.path());
    }

    // Calls InitVars; returns the caller's project identifier afterwards.
    QString initVars(QString id, QString site, QString url = "http://h/", std::int32_t turn = 90) {
        QString name = "Main Street School";
        m_state.InitVars(url, id, name, turn, site);
        return id;
    }

    // The addressing fields InitVars sets.
    QStringList addressing() const {
        return {m_state.siteName, m_state.projectId, m_state.planUrl, m_state.projectSubPath,
                m_state.localRoot};
    }

    QTemporaryDir m_dir;
    ProjectState m_state;
};

TEST_F(ProjectFixture, InitVarsSetsUpTheProjectAndRewritesTheCallersIdentifier) {
    EXPECT_EQ(initVars("2004~0815", "north"), "2004-0815");
    EXPECT_EQ(addressing(), (QStringList{"north", "2004-0815", "http://h/2004/0815/plans/",
                                         "2004-0815/plans/", m_dir.path() + "/north/"}));
    EXPECT_EQ(m_state.projectName, "Main Street School");
    EXPECT_EQ(m_state.rotation, 90);
    EXPECT_EQ(m_state.planDirectory, m_dir.path());

    initVars("2004-0815..v2", "north/east..wing");  // inner levels and dots in names are fine
    EXPECT_EQ(m_state.localRoot, m_dir.path() + "/north/east..wing/");
}

TEST_F(ProjectFixture, InitVarsWithoutDashStopsAfterStoringTheSite) {
    initVars("2004-0815", "north");
    EXPECT_EQ(errorOf([&] { initVars("20040815", "south", "http://other/", 180); }),
              "Invalid procedure call or argument");
    EXPECT_EQ(addressing(), (QStringList{"south", "2004-0815", "http://h/2004/0815/plans/",
                                         "2004-0815/plans/", m_dir.path() + "/north/"}));
    EXPECT_EQ(m_state.rotation, 90);
}

// planUrl after SetPlanUrl, or the error's description (planUrl then stays empty).
QString planUrlFor(QString url, QString id) {
    ProjectState state;
    const QString error = errorOf([&] { state.SetPlanUrl(url, id); });
    return error.isEmpty() ? state.planUrl : error + (state.planUrl.isEmpty() ? "" : " but set");
}

TEST(SetPlanUrl, SplitsTheIdentifierAtItsFirstDash) {
    EXPECT_EQ(planUrlFor("http://h/", "2004-0815"), "http://h/2004/0815/plans/");
    EXPECT_EQ(planUrlFor("http://h", "1-2"), "http://h1/2/plans/") << "no separator added";
    EXPECT_EQ(planUrlFor("u/", "a-b-c"), "u/a/b-c/plans/");
    EXPECT_EQ(planUrlFor("u/", "-x"), "u//x/plans/");
    EXPECT_EQ(planUrlFor("u/", "x-"), "u/x//plans/");
    for (const char* id : {"20040815", "", "2004~0815"}) {
        EXPECT_EQ(planUrlFor("u/", id), "Invalid procedure call or argument") << id;
    }
}

// Once a page has set the sheet list, even the user's own loads (sheet tree, Next, batches) keep
// to http and https, until the addresses made from it are web addresses again.
TEST(SheetAddress, APagesSheetListLoadsOnlyFromTheWebWhoeverAsks) {
    ProjectState state;
    QString url = "file:///";
    QString id = "dev-x";
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

// A site or project identifier that could lead outside the plan folder is refused before
// anything is stored.
struct HostileCase {
    const char* name;
    QString site;
    QString id;
};

class HostileInitVars : public ProjectFixture, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileInitVars, IsRefusedBeforeAnythingIsStored) {
    initVars("2004-0815", "north");
    const QStringList before = addressing();
    QString url = "http://evil/";
    QString id = GetParam().id;
    QString name = "Evil";
    QString site = GetParam().site;
    std::int32_t turn = 270;
    EXPECT_EQ(errorOf([&] { m_state.InitVars(url, id, name, turn, site); }),
              "Invalid procedure call or argument");
    EXPECT_EQ(id, GetParam().id);
    EXPECT_EQ(addressing(), before);
    if (site == "north") {
        EXPECT_THROW(m_state.SetProjectID(id), base::ScriptError);
        EXPECT_EQ(m_state.projectId, "2004-0815");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileInitVars,
    ::testing::Values(HostileCase{"AbsoluteSite", "/etc", "2004-0815"},
                      HostileCase{"BackslashRootSite", "\\etc", "2004-0815"},
                      HostileCase{"DriveSite", "C:\\Windows", "2004-0815"},
                      HostileCase{"ClimbingSite", "..", "2004-0815"},
                      HostileCase{"ClimbingInsideSite", "a/../../x", "2004-0815"},
                      HostileCase{"ClimbingBackslashSite", "a\\..\\..", "2004-0815"},
                      HostileCase{"NulSite", QString("a") + QChar(0) + "b", "2004-0815"},
                      HostileCase{"ClimbingId", "north", "../2004-0815"},
                      HostileCase{"DotDotId", "north", ".."},
                      HostileCase{"SlashId", "north", "2004-08/15"},
                      HostileCase{"BackslashId", "north", "2004-08\\15"},
                      HostileCase{"AbsoluteId", "north", "/tmp/x-1"},
                      HostileCase{"NulId", "north", QString("1-2") + QChar(0)}),
    sw::test::byName);

// ResetRoot reads the settings at each call; an empty plan folder falls back to the default,
// which is written back.
TEST_F(ProjectFixture, ResetRootFollowsTheSettingsAtEachCall) {
    initVars("1-2", "north");
    base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", "/srv/plans/");
    base::writeProfileString(m_state.iniPath, "Prefs", "Print In Blue", "1");
    m_state.ResetRoot();
    EXPECT_EQ(m_state.localRoot, "/srv/plans//north/");
    EXPECT_TRUE(m_state.printInBlue);
    EXPECT_FALSE(m_state.reversePrint);

    base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", "");
    m_state.ResetRoot();
    EXPECT_EQ(m_state.planDirectory, base::defaultPlanDirectory());
    EXPECT_EQ(m_state.localRoot, base::defaultPlanDirectory() + "/north/");
    EXPECT_EQ(base::readProfileString(m_state.iniPath, "Prefs", "Plan Directory", "none"),
              base::defaultPlanDirectory());
}

}  // namespace
}  // namespace sw::plans
