#include "plans/saved_plans.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "plans/plan_test_support.h"
#include "support/test_paths.h"

namespace sw::plans {
namespace {

using test::describe;

// A plan folder holding files at every level, projects with a description, an empty one and
// none, two projects labelled alike, a label holding "%", and a label that climbs out of the plan
// folder into a sibling folder that holds the same file name.
class SavedPlansFixture : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* file :
             {"/loose.tif", "/A-site/p/readme.txt", "/b-site/loose.tif",
              "/b-site/p2/z.tif", "/b-site/p2/B.tif", "/b-site/p2/a.tif", "/b-site/p2/deeper/x.tif",
              "/north/1-1/A1.tif", "/north/9-9/A1.tif", "/south/2-2/A1.tif", "/west/3-3/A1.tif",
              "/../plans2/A1.tif"}) {
            put(file, "II*");
        }
        put("/A-site/p/desc.txt", "");
        put("/b-site/p1/desc.txt", "Second\n");
        put("/north/1-1/desc.txt", "School\r\n");
        put("/north/9-9/desc.txt", "../../plans2\r\n");
        put("/south/2-2/desc.txt", "School\r\n");
        put("/west/3-3/desc.txt", "50% done\r\n");
    }
    void put(const QString& relative, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(m_root + relative).path());
        ASSERT_TRUE(sw::test::writeFile(m_root + relative, bytes));
    }
    QString folder(const QString& relative) const { return QDir(m_root + relative).absolutePath(); }

    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + "/plans";
};

// Three levels sorted by name whatever the letter case, a project labelled by its description,
// and a sheet found again through its path when that exists inside the plan folder, otherwise
// through the last project labelled alike; a label holding "%" matches none, and a climbing label
// never opens a file outside the plan folder.
TEST_F(SavedPlansFixture, TreeShowsThreeLevelsAndEverySheetOpensInsideThePlanFolder) {
    const SavedPlans saved = FillSavedPlans(m_root);
    EXPECT_EQ(describe(saved.nodes),
              "c1:A-site:|c2:p:c1|c3:readme.txt:c2|c4:b-site:|c5:Second:c4|c6:p2:c4|c7:a.tif:c6|"
              "c8:B.tif:c6|c9:z.tif:c6|c10:north:|c11:School:c10|c12:A1.tif:c11|"
              "c13:../../plans2:c10|c14:A1.tif:c13|c15:south:|c16:School:c15|c17:A1.tif:c16|"
              "c18:west:|c19:50% done:c18|c20:A1.tif:c19");
    ASSERT_EQ(saved.savedFolders.size(), 7);
    EXPECT_EQ(saved.savedFolders.first() + saved.savedFolders.last(), "");
    EXPECT_EQ(saved.savedFolders.at(1), "Second%" + folder("/b-site/p1"));
    const std::pair<QStringList, QString> opens[] = {
        {{"A-site", "p", "readme.txt"}, m_root + "/A-site/p/readme.txt"},
        {{"north", "School", "A1.tif"}, folder("/south/2-2") + "/A1.tif"},
        {{"west", "50% done", "A1.tif"}, "error/A1.tif"},
        {{"north", "../../plans2", "A1.tif"}, folder("/north/9-9") + "/A1.tif"}};
    for (const auto& [texts, file] : opens) {
        EXPECT_EQ(savedSheetPath(m_root + '/', texts, saved.savedFolders), file);
    }
    EXPECT_TRUE(FillSavedPlans(m_root + "/missing").nodes.empty());
}

TEST(SavedSheetName, OnlyLowerCaseTifOpens) {
    QStringList opens;
    for (const char* text : {"A1.tif", "PLAN.TIF", "readme.txt", "x.tiff", "tif", ""}) {
        if (isSavedSheetName(text)) {
            opens << text;
        }
    }
    EXPECT_EQ(opens, (QStringList{"A1.tif", "tif"}));
}

}  // namespace
}  // namespace sw::plans
