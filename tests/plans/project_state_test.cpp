#include "plans/project_state.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "host/ini_store.h"
#include "host/preferences.h"
#include "host/script_error.h"

namespace sw::plans {
namespace {

using host::ScriptError;

class ProjectFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_state.iniPath = m_dir.filePath("Sheetwise.ini");
        host::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", m_dir.path());
    }

    void initVars(QString url, QString id, QString name, std::int32_t rotation, QString site) {
        m_state.InitVars(url, id, name, rotation, site);
    }

    QTemporaryDir m_dir;
    ProjectState m_state;
};

TEST_F(ProjectFixture, InitVarsSetsUpTheProjectAndRewritesTheCallersIdentifier) {
    QString url = "http://h/";
    QString id = "2004~0815";
    QString name = "Main Street School";
    std::int32_t rotation = 90;
    QString site = "north";
    m_state.InitVars(url, id, name, rotation, site);

    EXPECT_EQ(id, "2004-0815");
    EXPECT_EQ(url, "http://h/");
    EXPECT_EQ(m_state.projectId, "2004-0815");
    EXPECT_EQ(m_state.planUrl, "http://h/2004/0815/plans/");
    EXPECT_EQ(m_state.projectName, "Main Street School");
    EXPECT_EQ(m_state.rotation, 90);
    EXPECT_EQ(m_state.siteName, "north");
    EXPECT_EQ(m_state.projectSubPath, "2004-0815/plans/");
    EXPECT_EQ(m_state.planDirectory, m_dir.path());
    EXPECT_EQ(m_state.localRoot, m_dir.path() + "/north/");
}

TEST_F(ProjectFixture, InitVarsWithoutDashStopsAfterStoringTheSite) {
    initVars("http://h/", "2004-0815", "First", 90, "north");
    EXPECT_THROW(initVars("http://other/", "20040815", "Second", 180, "south"), ScriptError);
    EXPECT_EQ(m_state.siteName, "south");
    EXPECT_EQ(m_state.planUrl, "http://h/2004/0815/plans/");
    EXPECT_EQ(m_state.rotation, 90);
    EXPECT_EQ(m_state.projectName, "First");
    EXPECT_EQ(m_state.projectId, "2004-0815");
}

struct PlanUrlCase {
    const char* name;
    const char* url;
    const char* id;
    const char* planUrl;  // nullptr: refused
};

void PrintTo(const PlanUrlCase& c, std::ostream* os) {
    *os << c.name;
}

class SetPlanUrlTable : public ::testing::TestWithParam<PlanUrlCase> {};

TEST_P(SetPlanUrlTable, SplitsTheIdentifierAtItsFirstDash) {
    const PlanUrlCase& c = GetParam();
    ProjectState state;
    state.planUrl = "unchanged";
    QString url = c.url;
    QString id = c.id;
    if (c.planUrl == nullptr) {
        try {
            state.SetPlanUrl(url, id);
            FAIL() << "accepted";
        } catch (const ScriptError& e) {
            EXPECT_EQ(e.description(), "Invalid procedure call or argument");
        }
        EXPECT_EQ(state.planUrl, "unchanged");
    } else {
        state.SetPlanUrl(url, id);
        EXPECT_EQ(state.planUrl, c.planUrl);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetPlanUrlTable,
    ::testing::Values(PlanUrlCase{"Usual", "http://h/", "2004-0815", "http://h/2004/0815/plans/"},
                      PlanUrlCase{"NoSeparatorAdded", "http://h", "1-2", "http://h1/2/plans/"},
                      PlanUrlCase{"FirstDashOnly", "u/", "a-b-c", "u/a/b-c/plans/"},
                      PlanUrlCase{"LeadingDash", "u/", "-x", "u//x/plans/"},
                      PlanUrlCase{"TrailingDash", "u/", "x-", "u/x//plans/"},
                      PlanUrlCase{"NoDash", "u/", "20040815", nullptr},
                      PlanUrlCase{"Empty", "u/", "", nullptr},
                      PlanUrlCase{"TildeIsNotDash", "u/", "2004~0815", nullptr}));

// ---- Confinement to the plan folder -------------------------------------------------------------

struct HostileCase {
    const char* name;
    QString site;
    QString id;
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.name;
}

class HostileInitVars : public ProjectFixture, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileInitVars, IsRefusedBeforeAnythingIsStored) {
    initVars("http://h/", "2004-0815", "First", 90, "north");
    const ProjectState before = m_state;
    QString url = "http://evil/";
    QString id = GetParam().id;
    const QString idBefore = id;
    QString name = "Evil";
    std::int32_t rotation = 270;
    QString site = GetParam().site;
    try {
        m_state.InitVars(url, id, name, rotation, site);
        FAIL() << "accepted";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.description(), "Invalid procedure call or argument");
    }
    EXPECT_EQ(id, idBefore);
    EXPECT_EQ(m_state.siteName, before.siteName);
    EXPECT_EQ(m_state.planUrl, before.planUrl);
    EXPECT_EQ(m_state.localRoot, before.localRoot);
    EXPECT_EQ(m_state.projectId, before.projectId);
    EXPECT_EQ(m_state.projectSubPath, before.projectSubPath);
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
                      HostileCase{"NulId", "north", QString("1-2") + QChar(0)}));

TEST_F(ProjectFixture, SiteWithInnerLevelsAndDotsInNamesIsAccepted) {
    initVars("http://h/", "2004-0815..v2", "P", 0, "north/east..wing");
    EXPECT_EQ(m_state.localRoot, m_dir.path() + "/north/east..wing/");
    EXPECT_EQ(m_state.projectId, "2004-0815..v2");
}

TEST_F(ProjectFixture, SetProjectIdRefusesSeparators) {
    QString good = "1-2";
    m_state.SetProjectID(good);
    QString bad = "../1-2";
    EXPECT_THROW(m_state.SetProjectID(bad), ScriptError);
    EXPECT_EQ(m_state.projectId, "1-2");
}

// ---- ResetRoot -------------------------------------------------------------------------------

TEST_F(ProjectFixture, ResetRootFollowsTheSettingsAtEachCall) {
    initVars("http://h/", "1-2", "P", 0, "north");
    host::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", "/srv/plans/");
    host::writeProfileString(m_state.iniPath, "Prefs", "Print In Blue", "1");
    m_state.ResetRoot();
    EXPECT_EQ(m_state.planDirectory, "/srv/plans/");
    EXPECT_EQ(m_state.localRoot, "/srv/plans//north/");
    EXPECT_TRUE(m_state.printInBlue);
    EXPECT_FALSE(m_state.reversePrint);
}

TEST_F(ProjectFixture, ResetRootWithEmptyFolderWritesTheDefault) {
    host::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", "");
    m_state.ResetRoot();
    EXPECT_EQ(m_state.planDirectory, host::defaultPlanDirectory());
    EXPECT_EQ(host::readProfileString(m_state.iniPath, "Prefs", "Plan Directory", "none"),
              host::defaultPlanDirectory());
}

}  // namespace
}  // namespace sw::plans
