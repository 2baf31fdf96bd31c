#include "plans/saved_plans.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "plans/plan_test_support.h"

namespace sw::plans {
namespace {

using test::describe;

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
    QString folder(const QString& relative) const { return QDir(m_root + relative).absolutePath(); }

    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + "/plans";
};

TEST_F(SavedPlansFixture, ProjectWithDescriptionIsLabelledAndOpensThroughSavedFolders) {
    put("/north/2004-0815/desc.txt", "Main Street School\r\n");
    put("/north/2004-0815/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(describe(saved.nodes), "c1:north:|c2:Main Street School:c1|c3:A1.tif:c2");
    const QString project = folder("/north/2004-0815");
    EXPECT_EQ(saved.savedFolders, QStringList({"", "Main Street School%" + project, ""}));
    EXPECT_EQ(savedSheetPath(m_root, {"north", "Main Street School", "A1.tif"}, saved.savedFolders),
              project + "/A1.tif");
}

// Without a description, or with an empty one, the folder's name shows and the sheet opens
// through its path.
TEST_F(SavedPlansFixture, ProjectWithoutDescriptionOpensThroughItsPath) {
    put("/north/1-1/A1.tif");
    put("/north/2-2/desc.txt", "");
    put("/north/2-2/B1.tif");
    const SavedPlans saved = FillSavedPlans(m_root + "/");
    EXPECT_EQ(describe(saved.nodes), "c1:north:|c2:1-1:c1|c3:A1.tif:c2|c4:2-2:c1|c5:B1.tif:c4");
    EXPECT_EQ(saved.savedFolders, QStringList({"", ""}));
    EXPECT_EQ(savedSheetPath(m_root + "/", {"north", "1-1", "A1.tif"}, saved.savedFolders),
              m_root + "/north/1-1/A1.tif");
    EXPECT_EQ(FillSavedPlans(m_root + "/missing").savedFolders, QStringList({"", ""}));
    EXPECT_TRUE(FillSavedPlans(m_root + "/missing").nodes.empty());
}

TEST_F(SavedPlansFixture, OrderIsByNameAndOnlyThreeLevelsShow) {
    for (const char* file :
         {"/b-site/p2/z.tif", "/b-site/p2/B.tif", "/b-site/p2/a.tif", "/b-site/p2/deeper/x.tif",
          "/A-site/p/readme.txt", "/loose.tif", "/b-site/loose.tif"}) {
        put(file);
    }
    put("/b-site/p1/desc.txt", "Second\n");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(describe(saved.nodes),
              "c1:A-site:|c2:p:c1|c3:readme.txt:c2|c4:b-site:|c5:Second:c4|c6:p2:c4|c7:a.tif:c6|"
              "c8:B.tif:c6|c9:z.tif:c6");
    EXPECT_EQ(saved.savedFolders.size(), 3);
}

// Through savedFolders the last folder with the project's label wins, and a label holding "%"
// never matches.
TEST_F(SavedPlansFixture, LookUpThroughSavedFolders) {
    put("/north/1-1/desc.txt", "School\r\n");
    put("/north/1-1/A1.tif");
    put("/south/2-2/desc.txt", "School\r\n");
    put("/south/2-2/A1.tif");
    put("/west/3-3/desc.txt", "50% done\r\n");
    put("/west/3-3/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    ASSERT_EQ(saved.savedFolders.size(), 5);
    const QString south = folder("/south/2-2") + "/A1.tif";
    EXPECT_EQ(savedSheetPath(m_root, {"north", "School", "A1.tif"}, saved.savedFolders), south);
    EXPECT_EQ(SelectedSavedPlanPath(saved.savedFolders, "School", "A1.tif"), south);
    EXPECT_EQ(savedSheetPath(m_root, {"west", "50% done", "A1.tif"}, saved.savedFolders),
              "error/A1.tif");
}

// A hostile project name stored in desc.txt cannot make the tree open a file outside the plan
// folder: the path built from the node texts is only used when it stays inside.
TEST_F(SavedPlansFixture, ClimbingLabelDoesNotLeaveThePlanFolder) {
    put("/north/1-1/desc.txt", "../../outside\r\n");
    put("/north/1-1/A1.tif");
    put("/../outside/A1.tif");
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(savedSheetPath(m_root, {"north", "../../outside", "A1.tif"}, saved.savedFolders),
              folder("/north/1-1") + "/A1.tif");
}

TEST(SavedSheetName, OnlyLowerCaseTifOpens) {
    QStringList opens;
    for (const char* text :
         {"A1.tif", "PLAN.TIF", "readme.txt", "x.tiff", "tif", "", "Main Street School"}) {
        if (isSavedSheetName(text)) {
            opens << text;
        }
    }
    EXPECT_EQ(opens, (QStringList{"A1.tif", "tif"}));
}

}  // namespace
}  // namespace sw::plans
