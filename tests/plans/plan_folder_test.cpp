// The local plan folder: file names, folders, descriptions and the saved-plans tree.
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "plans/local_cache.h"
#include "plans/path_rules.h"
#include "plans/plan_test_support.h"
#include "plans/saved_plans.h"

namespace sw::plans {
namespace {

using test::describe;
using test::errorOf;

// Forbidden characters become blanks, and whatever the name, the sheet file lands directly in its
// folder, never beside it.
TEST(CleanFileName, ReplacesForbiddenCharactersAndStaysInTheFolder) {
    const std::pair<QString, QString> cases[] = {
        {"A/B: Details?", "A B  Details "},
        {"/\\|<>:*?", "        "},
        {"..", ".."},
        {"../../etc/passwd", ".. .. etc passwd"},
        {QString("a") + QChar(0) + "b", "a b"},
        {"Plan \u00e9t\u00e9 \u2116 3", "Plan \u00e9t\u00e9 \u2116 3"},
        {"", ""}};
    const QString folder = "/plans/north/1-2/";
    for (const auto& [in, out] : cases) {
        const QString file = sheetFilePath(folder, in);
        EXPECT_EQ(file, folder + out + ".tif");
        EXPECT_TRUE(isInsideFolder(folder, file)) << file.toStdString();
    }
    EXPECT_FALSE(isInsideFolder("/plans/north", "/plans/north-east/A1.tif")) << "a sibling";
}

// A plan folder in a temporary directory.
class PlanFolder : public ::testing::Test {
protected:
    // Writes a file (and its folders) under the plan folder.
    void put(const QString& relative, const QByteArray& bytes = {}) {
        QDir().mkpath(QFileInfo(m_root + relative).path());
        ASSERT_TRUE(sw::test::writeFile(m_root + relative, bytes));
    }
    QString folder(const QString& relative) const { return QDir(m_root + relative).absolutePath(); }
    void SetUp() override { QDir().mkpath(m_root); }

    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + "/plans/";
};

// Every missing level is made, existing ones are fine, and the folders made are taken away again
// innermost first. A level that cannot be made is skipped, and the write that follows fails with
// a clear error.
TEST_F(PlanFolder, CreateFolderPathMakesWhatItCanAndTheWriteAfterSaysWhy) {
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

TEST_F(PlanFolder, FolderExistsForFilesAndFoldersOnly) {
    put("s1.tif");
    const std::pair<QString, bool> cases[] = {
        {m_root, true},           {m_root + "s1.tif", true}, {m_root + "s1.tif/", false},
        {m_root + "gone", false}, {QString(), false},        {m_root + QChar(0), false}};
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(FolderExists(path), exists) << path.toStdString();
    }
}

// desc.txt is written once, in UTF-8 with CR LF; its first line reads back up to the line end,
// as UTF-8 when valid and Latin-1 otherwise.
TEST_F(PlanFolder, DescriptionIsWrittenOnceAndReadBackByItsFirstLine) {
    EXPECT_TRUE(writeDescriptionOnce(m_root, "Caf\u00e9"));
    EXPECT_FALSE(writeDescriptionOnce(m_root, "Renamed Project"));
    EXPECT_EQ(sw::test::readFile(m_root + "desc.txt"), "Caf\xc3\xa9\r\n");
    EXPECT_EQ(readFirstLine(m_root + "desc.txt"), "Caf\u00e9");
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"Main\nsecond", "Main"}, {"Main", "Main"}, {"\r\nx", ""}, {"Caf\xe9\r\n", "Caf\u00e9"}};
    for (const auto& [bytes, line] : cases) {
        put("desc.txt", bytes);
        EXPECT_EQ(readFirstLine(m_root + "desc.txt"), line) << bytes.toStdString();
    }
    put("empty.txt");
    EXPECT_EQ(readFirstLine(m_root + "empty.txt"), std::nullopt);
    EXPECT_EQ(readFirstLine(m_root + "missing.txt"), std::nullopt);
}

TEST(ProjectFolder, CutsAtTheFirstPlans) {
    EXPECT_EQ(projectFolder("/p/north/", "2004-0815/plans/"), "/p/north/2004-0815/");
    EXPECT_EQ(projectFolder("/p/north/", "1-2/"), "/p/north/1-2/");
    EXPECT_EQ(projectFolder("/p/north/", "1-plans/plans/"), "/p/north/1-");
    EXPECT_EQ(projectFolder("/p/north/", "1-PLANS/plans/"), "/p/north/1-PLANS/");
}

// ---- Saved plans -----------------------------------------------------------------------------

// A plan folder holding files at every level, projects with a description, an empty one and none,
// two projects labelled alike, a label holding "%", and a label that climbs out of the plan
// folder into a sibling folder holding the same file name. The tree shows three levels sorted by
// name whatever the letter case, a project labelled by its description, and only lower-case "tif"
// files open. A sheet is found again through its path when that exists inside the plan folder,
// otherwise through the last project labelled alike; a label holding "%" matches none, and a
// climbing label never opens a file outside the plan folder.
TEST_F(PlanFolder, SavedTreeShowsThreeLevelsAndEverySheetOpensInsideThePlanFolder) {
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
