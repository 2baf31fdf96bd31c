// The plan area's core: the project a page hands over, its sheet list, and the local plan folder
// (file names, folders, descriptions and the saved-plans tree).
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <functional>

#include <QDir>
#include <QTemporaryDir>

#include "base/ini_store.h"
#include "base/preferences.h"
#include "base/script_error.h"
#include "plans/local_cache.h"
#include "plans/path_rules.h"
#include "plans/project_state.h"
#include "plans/saved_plans.h"

namespace sw::plans {
namespace {

using sw::test::PrintTo;

const QString kInvalid = "Invalid procedure call or argument";

// The description of the ScriptError that `run` throws; empty when it throws none.
QString errorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const base::ScriptError& e) {
        return e.description();
    }
    return {};
}

// Tree nodes written as "key:text:parent" joined by "|".
QString describe(const std::vector<TreeNode>& nodes) {
    QStringList parts;
    for (const TreeNode& node : nodes) {
        parts << node.key + ':' + node.text + ':' + node.parentKey;
    }
    return parts.join('|');
}

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
using L = PlanListCase;  // the rows below

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
        L{"TwoGroups", "h~A,1,a~A,2,b~B,3,c", "c0:A:|c1:1:c0|c2:2:c0|c3:B:|c4:3:c3",
          "c1~1>a|c2~2>b|c4~3>c|>"},
        L{"BeginSheetsCannotBeOpened", "h~begin,T,t~A,1,a", "c0:T:|c1:A:|c2:1:c1", "c2~1>a|>"},
        L{"BeginLaterIsAGroupAndAReturningGroupStartsAgain", "h~A,1,a~begin,2,b~A,3,c",
          "c0:A:|c1:1:c0|c2:begin:|c3:2:c2|c4:A:|c5:3:c4", "c1~1>a|c3~2>b|c5~3>c|>"},
        L{"LeadingBlanksAndTripleDashesRemoved", "   ~A---B,S,f", "c0:AB:|c1:S:c0", "c1~S>f|>"},
        L{"TrailingTilde", "h~A,1,a~", "c0:A:|c1:1:c0", "c1~1>a|>", "Subscript out of range"},
        L{"TwoFields", "h~A,1,a~A,2", "c0:A:|c1:1:c0|c2:2:c0", "c1~1>a|c2~2>|>",
          "Subscript out of range"},
        L{"LastNodeNumber", "h" + QString("~A,s,f").repeated(32766), "...|c32766:s:c0",
          "...|c32766~s>f|>"},
        L{"NodeNumberOverflow", "h" + QString("~A,s,f").repeated(32767), "...|c32767:s:c0",
          "...|c32767~s>f|>", "Overflow"},
        L{"EntryCounterOverflow", "h" + QString("~begin,T").repeated(40000), "...|c32766:T:", ">",
          "Overflow"}),
    sw::test::byName);

// ---- InitVars and ResetRoot ------------------------------------------------------------------

// A project "2004-0815" of site "north", turned 90 degrees, whose settings name the plan folder
// `m_root` in a temporary directory.
class ProjectFixture : public ::testing::Test {
protected:
    void SetUp() override {
        QDir().mkpath(m_root);
        m_state.iniPath = m_dir.filePath("Sheetwise.ini");
        base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", m_root);
        QString url = "http://h/", id = "2004-0815", name = "Main Street School", site = "north";
        std::int32_t turn = 90;
        m_state.InitVars(url, id, name, turn, site);
    }

    // The fields InitVars sets, joined by "|", with the plan folder left out of localRoot.
    QString fields() const {
        const ProjectState& s = m_state;
        const QString root = QString(s.localRoot).remove(s.planDirectory);
        return QString("%1|%2|%3|%4|%5|%6|%7")
            .arg(s.siteName, s.projectId, s.planUrl, s.projectSubPath, root,
                 QString::number(s.rotation), s.projectName);
    }

    // Writes a file (and its folders) under the plan folder.
    void put(const QString& relative, const QByteArray& bytes = {}) {
        QDir().mkpath(QFileInfo(m_root + relative).path());
        ASSERT_TRUE(sw::test::writeFile(m_root + relative, bytes));
    }
    QString folder(const QString& relative) const { return QDir(m_root + relative).absolutePath(); }

    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + "/plans/";
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

// ---- The plan folder --------------------------------------------------------------------------

// Forbidden characters become blanks, and whatever the name, the sheet file lands directly in its
// folder, never beside it.
TEST(CleanFileName, ReplacesForbiddenCharactersAndStaysInTheFolder) {
    const std::pair<QString, QString> cases[] = {{"A/B: Details?", "A B  Details "},
                                                 {"/\\|<>:*?", "        "},
                                                 {"..", ".."},
                                                 {"../../etc/passwd", ".. .. etc passwd"},
                                                 {QString("a") + QChar(0) + "b", "a b"},
                                                 {"\u00e9t\u00e9 \u2116", "\u00e9t\u00e9 \u2116"}};

    const QString folder = "/plans/north/1-2/";
    for (const auto& [in, out] : cases) {
        const QString file = sheetFilePath(folder, in);
        EXPECT_EQ(file, folder + out + ".tif");
        EXPECT_TRUE(isInsideFolder(folder, file)) << file.toStdString();
    }
    EXPECT_FALSE(isInsideFolder("/plans/north", "/plans/north-east/A1.tif")) << "a sibling";
}

// Every missing level is made, existing ones are fine, and the folders made are taken away again
// innermost first. A level that cannot be made is skipped, and the write that follows fails with
// a clear error.
TEST_F(ProjectFixture, CreateFolderPathMakesWhatItCanAndTheWriteAfterSaysWhy) {
    for (const char* path : {"plans/north/2004-0815/", "plans//north/1-2", "a:b/c"}) {
        CreateFolderPath(m_root + path);
        CreateFolderPath(m_root + path);
        EXPECT_TRUE(QFileInfo(m_root + path).isDir()) << path;
    }
    RemoveEmptyFolders(CreateFolderPath(m_root + "x/y/z/"));
    EXPECT_FALSE(FolderExists(m_root + "x"));
    EXPECT_EQ(errorOf([] { CreateFolderPath("C:/"); }), "Subscript out of range");
    put("file");
    EXPECT_NO_THROW(CreateFolderPath(m_root + "file/sub/"));
    EXPECT_EQ(errorOf([&] { writeDescriptionOnce(m_root + "file/sub/", "P"); }), "Path not found");
}

// desc.txt is written in UTF-8 with CR LF; its first line reads back up to the line end,
// as UTF-8 when valid and Latin-1 otherwise.
TEST_F(ProjectFixture, DescriptionIsWrittenInUtf8AndReadBackByItsFirstLine) {
    EXPECT_TRUE(writeDescriptionOnce(m_root, "Caf\u00e9"));
    EXPECT_EQ(sw::test::readFile(m_root + "desc.txt"), "Caf\xc3\xa9\r\n");
    EXPECT_EQ(readFirstLine(m_root + "desc.txt"), "Caf\u00e9");
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"Main\nsecond", "Main"}, {"Caf\xe9\r\n", "Caf\u00e9"}, {"", std::nullopt}};
    for (const auto& [bytes, line] : cases) {
        put("desc.txt", bytes);
        EXPECT_EQ(readFirstLine(m_root + "desc.txt"), line) << bytes.toStdString();
    }
}

// A plan folder holding files at every level, projects with a description, an empty one and none,
// two projects labelled alike, a label holding "%", and a label that climbs out of the plan
// folder into a sibling folder holding the same file name. The tree shows three levels sorted by
// name whatever the letter case, a project labelled by its description, and only lower-case "tif"
// files open. A sheet is found again through its path when that exists inside the plan folder,
// otherwise through the last project labelled alike; a label holding "%" matches none, and a
// climbing label never opens a file outside the plan folder.
TEST_F(ProjectFixture, SavedTreeShowsThreeLevelsAndEverySheetOpensInsideThePlanFolder) {
    for (const char* file :
         {"loose.tif", "A-site/p/readme.txt", "b-site/loose.tif", "b-site/p2/z.tif",
          "b-site/p2/B.tif", "b-site/p2/a.tif", "b-site/p2/C.TIF", "b-site/p2/d.tiff",
          "b-site/p2/deeper/x.tif", "north/1-1/A1.tif", "north/9-9/A1.tif", "south/2-2/A1.tif",
          "west/3-3/A1.tif", "../plans2/A1.tif", "A-site/p/desc.txt"}) {
        put(file);
    }
    put("b-site/p1/desc.txt", "Second\n");
    put("north/1-1/desc.txt", "School\r\n");
    put("north/9-9/desc.txt", "../../plans2\r\n");
    put("south/2-2/desc.txt", "School\r\n");
    put("west/3-3/desc.txt", "50% done\r\n");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(describe(saved.nodes),
              "c1:A-site:|c2:p:c1|c3:readme.txt:c2|c4:b-site:|c5:Second:c4|c6:p2:c4|c7:a.tif:c6|"
              "c8:B.tif:c6|c9:C.TIF:c6|c10:d.tiff:c6|c11:z.tif:c6|c12:north:|c13:School:c12|"
              "c14:A1.tif:c13|c15:../../plans2:c12|c16:A1.tif:c15|c17:south:|c18:School:c17|"
              "c19:A1.tif:c18|c20:west:|c21:50% done:c20|c22:A1.tif:c21");
    QStringList sheets;
    for (const TreeNode& node : saved.nodes) {
        sheets << (isSavedSheetName(node.text) ? node.text : "");
    }
    EXPECT_EQ(sheets.join(' ').simplified(), "a.tif B.tif z.tif A1.tif A1.tif A1.tif A1.tif");
    ASSERT_EQ(saved.savedFolders.size(), 7);
    EXPECT_EQ(saved.savedFolders.first() + saved.savedFolders.last(), "");
    EXPECT_EQ(saved.savedFolders.at(1), "Second%" + folder("b-site/p1"));
    const std::pair<QStringList, QString> opens[] = {
        {{"A-site", "p", "readme.txt"}, m_root + "A-site/p/readme.txt"},
        {{"north", "School", "A1.tif"}, folder("south/2-2") + "/A1.tif"},
        {{"west", "50% done", "A1.tif"}, "error/A1.tif"},
        {{"north", "../../plans2", "A1.tif"}, folder("north/9-9") + "/A1.tif"}};
    for (const auto& [texts, file] : opens) {
        EXPECT_EQ(savedSheetPath(m_root, texts, saved.savedFolders), file);
    }
    EXPECT_TRUE(FillSavedPlans(m_root + "missing").nodes.empty());
}

}  // namespace
}  // namespace sw::plans
