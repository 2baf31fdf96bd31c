#include "viewing/save_plan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/ini_store.h"
#include "base/script_error.h"
#include "plans/project_state.h"

namespace sw::viewing {
namespace {

// A project "2004-0815" of site "north" whose settings name a plan folder in a temporary
// directory. The fake save writes a few bytes where the imaging control would write the TIFF.
class SavePlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_state.iniPath = m_temp.filePath("Sheetwise.ini");
        usePlanFolder(m_plans);
        QString url = "http://127.0.0.1:1/";
        QString id = "2004~0815";
        QString name = "Main Street School";
        QString site = "north";
        std::int32_t rotation = 0;
        m_state.InitVars(url, id, name, rotation, site);
    }

    void usePlanFolder(const QString& folder) {
        base::writeProfileString(m_state.iniPath, "Prefs", "Plan Directory", folder);
    }

    // The sheet on screen, loaded under `name`.
    static SheetLoad loadedAs(const QString& name) {
        SheetLoad load;
        load.request(name, {});
        load.finish();
        return load;
    }

    SaveResult save(const QString& sheetName) {
        m_state.currentPlanName = sheetName;
        return SavePlan(m_state, loadedAs(sheetName), true, [this](const QString& file) {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly)) {
                throw base::ScriptError(base::ScriptError::Code::PathNotFound);
            }
            out.write("II*\0", 4);
            m_saved << file;
        });
    }

    QTemporaryDir m_temp;
    QString m_plans = m_temp.filePath("plans");
    QString m_project = m_plans + "/north/2004-0815/";
    plans::ProjectState m_state;
    QStringList m_saved;
};

// The sheet lands in the project folder under its clean name, also from a plan folder that ends
// in a separator; desc.txt is written once, with the first project name.
TEST_F(SavePlanTest, SavesUnderTheCleanNameAndWritesTheDescriptionOnce) {
    usePlanFolder(m_plans + '/');
    const SaveResult first = save("A/B: Details?");
    ASSERT_EQ(first.outcome, SaveResult::Outcome::Saved) << first.errorDescription.toStdString();
    EXPECT_TRUE(first.descriptionWritten);
    EXPECT_TRUE(first.messages().isEmpty());
    QString renamed = "Renamed Project";
    m_state.SetProjectName(renamed);
    const SaveResult second = save("../../escape");
    EXPECT_EQ(second.outcome, SaveResult::Outcome::Saved);
    EXPECT_FALSE(second.descriptionWritten);
    EXPECT_EQ(QDir(m_project).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{".. .. escape.tif", "A B  Details .tif", "desc.txt"}));
    EXPECT_EQ(QDir::cleanPath(m_saved.first()), QDir::cleanPath(m_project + "A B  Details .tif"));
    QFile desc(m_project + "desc.txt");
    ASSERT_TRUE(desc.open(QIODevice::ReadOnly));
    EXPECT_EQ(desc.readAll(), "Main Street School\r\n");
}

TEST_F(SavePlanTest, NothingLoadedCreatesNoFolderAndNoFile) {
    m_state.currentPlanName = "A1";
    bool called = false;
    const SaveResult result =
        SavePlan(m_state, SheetLoad{}, false, [&](const QString&) { called = true; });
    EXPECT_EQ(result.outcome, SaveResult::Outcome::NothingLoaded);
    EXPECT_FALSE(called);
    EXPECT_FALSE(QFile::exists(m_plans));
    EXPECT_TRUE(result.messages().isEmpty());
}

// The folders the failed save made are taken away again.
TEST_F(SavePlanTest, AFailingImageSaveReportsItsErrorAndThePath) {
    m_state.currentPlanName = "A1";
    const SaveResult result = SavePlan(m_state, loadedAs("A1"), true, [](const QString&) {
        throw std::runtime_error("Cannot write TIFF: disk full");
    });
    ASSERT_EQ(result.outcome, SaveResult::Outcome::Failed);
    EXPECT_EQ(result.messages(),
              (QStringList{"Cannot write TIFF: disk full", "ErrPath: " + result.file}));
    EXPECT_TRUE(result.file.endsWith("2004-0815/A1.tif"));
    EXPECT_FALSE(QFile::exists(m_plans));
}

TEST_F(SavePlanTest, APlanFolderThatIsAFileFailsWithAClearMessage) {
    QFile blocker(m_plans);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const SaveResult result = save("A1");
    ASSERT_EQ(result.outcome, SaveResult::Outcome::Failed);
    ASSERT_EQ(result.messages().size(), 2);
    EXPECT_FALSE(result.errorDescription.isEmpty());
    EXPECT_EQ(result.messages().at(1), "ErrPath: " + result.file);
    EXPECT_TRUE(m_saved.isEmpty());
}

}  // namespace
}  // namespace sw::viewing
