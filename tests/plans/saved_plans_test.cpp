#include "plans/saved_plans.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace sw::plans {
namespace {

QString describe(const std::vector<TreeNode>& nodes) {
    QStringList parts;
    for (const TreeNode& node : nodes) {
        parts << node.key + ':' + node.text + ':' + node.parentKey;
    }
    return parts.join('|');
}

class SavedPlansFixture : public ::testing::Test {
protected:
    // Creates a file (and its folders) under the plan folder.
    void put(const QString& relative, const QByteArray& bytes = "II*\0") {
        const QString path = m_root + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + "/plans";
};

TEST_F(SavedPlansFixture, ProjectWithDescriptionIsLabelledAndListed) {
    put("/north/2004-0815/desc.txt", "Main Street School\r\n");
    put("/north/2004-0815/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(describe(saved.nodes), "c1:north:|c2:Main Street School:c1|c3:A1.tif:c2");
    const QString folder = QDir(m_root + "/north/2004-0815").absolutePath();
    EXPECT_EQ(saved.savedFolders, QStringList({"", "Main Street School%" + folder, ""}));
    EXPECT_EQ(savedSheetPath(m_root, {"north", "Main Street School", "A1.tif"}, saved.savedFolders),
              folder + "/A1.tif");
}

TEST_F(SavedPlansFixture, ProjectWithoutDescriptionOpensThroughItsPath) {
    put("/north/2004-0815/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root + "/");
    EXPECT_EQ(describe(saved.nodes), "c1:north:|c2:2004-0815:c1|c3:A1.tif:c2");
    EXPECT_EQ(saved.savedFolders, QStringList({"", ""}));
    EXPECT_EQ(savedSheetPath(m_root + "/", {"north", "2004-0815", "A1.tif"}, saved.savedFolders),
              m_root + "/north/2004-0815/A1.tif");
}

TEST_F(SavedPlansFixture, OrderIsByNameAndOnlyThreeLevelsShow) {
    put("/b-site/p2/z.tif");
    put("/b-site/p2/B.tif");
    put("/b-site/p2/a.tif");
    put("/b-site/p2/deeper/x.tif");
    put("/b-site/p1/desc.txt", "Second\n");
    put("/A-site/p/readme.txt");
    put("/loose.tif");
    put("/b-site/loose.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(describe(saved.nodes),
              "c1:A-site:|c2:p:c1|c3:readme.txt:c2|c4:b-site:|c5:Second:c4|c6:p2:c4|c7:a.tif:c6|"
              "c8:B.tif:c6|c9:z.tif:c6");
    EXPECT_EQ(saved.savedFolders.size(), 3);
}

TEST_F(SavedPlansFixture, SameLabelTwiceOpensFromTheFolderListedLast) {
    put("/north/1-1/desc.txt", "School\r\n");
    put("/north/1-1/A1.tif");
    put("/south/2-2/desc.txt", "School\r\n");
    put("/south/2-2/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    ASSERT_EQ(saved.savedFolders.size(), 4);
    const QString expected = QDir(m_root + "/south/2-2").absolutePath() + "/A1.tif";
    EXPECT_EQ(savedSheetPath(m_root, {"north", "School", "A1.tif"}, saved.savedFolders), expected);
    EXPECT_EQ(SelectedSavedPlanPath(saved.savedFolders, "School", "A1.tif"), expected);
}

TEST_F(SavedPlansFixture, LabelWithPercentNeverMatches) {
    put("/north/1-1/desc.txt", "50% done\r\n");
    put("/north/1-1/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(savedSheetPath(m_root, {"north", "50% done", "A1.tif"}, saved.savedFolders),
              "error/A1.tif");
}

TEST_F(SavedPlansFixture, EmptyDescriptionKeepsTheFolderName) {
    put("/north/1-1/desc.txt", "");
    put("/north/1-1/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(describe(saved.nodes), "c1:north:|c2:1-1:c1|c3:A1.tif:c2");
    EXPECT_EQ(saved.savedFolders, QStringList({"", ""}));
}

TEST_F(SavedPlansFixture, MissingPlanFolderGivesAnEmptyTree) {
    const SavedPlans saved = FillSavedPlans(m_root + "/missing");
    EXPECT_TRUE(saved.nodes.empty());
    EXPECT_EQ(saved.savedFolders, QStringList({"", ""}));
}

// A hostile project name stored in desc.txt cannot make the tree open a file outside the plan
// folder: the path built from the node texts is only used when it stays inside.
TEST_F(SavedPlansFixture, ClimbingLabelDoesNotLeaveThePlanFolder) {
    put("/north/1-1/desc.txt", "../../outside\r\n");
    put("/north/1-1/A1.tif");
    QFile outside(m_dir.path() + "/outside/A1.tif");
    QDir().mkpath(m_dir.path() + "/outside");
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.close();
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(savedSheetPath(m_root, {"north", "../../outside", "A1.tif"}, saved.savedFolders),
              QDir(m_root + "/north/1-1").absolutePath() + "/A1.tif");
}

struct SheetNameCase {
    const char* text;
    bool opens;
};

class SheetNameTable : public ::testing::TestWithParam<SheetNameCase> {};

TEST_P(SheetNameTable, OnlyLowerCaseTifOpens) {
    EXPECT_EQ(isSavedSheetName(GetParam().text), GetParam().opens) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Table, SheetNameTable,
                         ::testing::Values(SheetNameCase{"A1.tif", true},
                                           SheetNameCase{"PLAN.TIF", false},
                                           SheetNameCase{"readme.txt", false},
                                           SheetNameCase{"x.tiff", false},
                                           SheetNameCase{"tif", true}, SheetNameCase{"", false},
                                           SheetNameCase{"Main Street School", false}));

}  // namespace
}  // namespace sw::plans
