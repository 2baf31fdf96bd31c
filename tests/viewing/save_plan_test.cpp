#include "viewing/save_plan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/ini_store.h"
#include "plans/project_state.h"

namespace sw::viewing {
namespace {

using sw::test::PrintTo;
using Outcome = SaveResult::Outcome;

struct SaveCase {
    const char* name;
    const char* sheet;     // the name "Save" stores the sheet under
    const char* loadedAs;  // the name the sheet on screen was asked for; null when none was
    bool finished;         // its load finished
    enum Fault { None, ImageSaveThrows, PlanFolderIsAFile } fault;
    Outcome outcome;
    const char* messages;  // joined by "|"; "<file>" stands for the sheet file
    const char* stored;  // the project folder's files, joined by "|"; "" for no plan folder at all
};

class Save : public ::testing::TestWithParam<SaveCase> {};

// Project "2004-0815" of site "north" in a plan folder (named with a trailing separator) in a
// temporary directory. Only a sheet whose load finished under the name it is saved as is stored,
// under its clean name inside the project folder; desc.txt comes with the first sheet. The
// imaging control keeps the previous picture while the next sheet loads, so an image being held
// says nothing. Whatever is not saved leaves no folder behind.
TEST_P(Save, StoresOnlyAFinishedSheetUnderItsCleanNameAndLeavesNothingElse) {
    const SaveCase& c = GetParam();
    QTemporaryDir temp;
    const QString plans = temp.filePath("plans");
    plans::ProjectState state;
    state.iniPath = temp.filePath("Sheetwise.ini");
    base::writeProfileString(state.iniPath, "Prefs", "Plan Directory", plans + '/');
    QString url = "http://127.0.0.1:1/", id = "2004~0815", project = "P", site = "north";
    std::int32_t rotation = 0;
    state.InitVars(url, id, project, rotation, site);
    state.currentPlanName = c.sheet;
    QFile blocker(plans);
    ASSERT_TRUE(c.fault != SaveCase::PlanFolderIsAFile || blocker.open(QIODevice::WriteOnly));
    SheetLoad shown;
    if (c.loadedAs != nullptr) {
        shown.request(c.loadedAs, {});
    }
    if (c.finished) {
        shown.finish();
    }
    const SaveResult result = SavePlan(state, shown, c.loadedAs != nullptr, [&](const QString& f) {
        if (c.fault == SaveCase::ImageSaveThrows || !QFile(f).open(QIODevice::WriteOnly)) {
            throw std::runtime_error("Cannot write TIFF");
        }
    });
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.messages().join('|'), QString(c.messages).replace("<file>", result.file));
    EXPECT_EQ(result.descriptionWritten, c.outcome == Outcome::Saved);
    const QDir folder(plans + "/north/2004-0815");
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden, QDir::Name).join('|'), c.stored);
    EXPECT_EQ(QFileInfo(plans).isDir(), *c.stored != '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Table, Save,
    ::testing::Values(
        SaveCase{"UnderItsCleanName", "A/B: Details?", "A/B: Details?", true, SaveCase::None,
                 Outcome::Saved, "", "A B  Details .tif|desc.txt"},
        SaveCase{"HostileNameStaysInTheProjectFolder", "../../escape", "../../escape", true,
                 SaveCase::None, Outcome::Saved, "", ".. .. escape.tif|desc.txt"},
        SaveCase{"NothingLoaded", "A1", nullptr, false, SaveCase::None, Outcome::NothingLoaded, "",
                 ""},
        SaveCase{"StillLoading", "A1", "A1", false, SaveCase::None, Outcome::Refused,
                 "\"A1\" has not finished loading. Nothing was saved.", ""},
        SaveCase{"LoadedUnderAnotherName", "A1", "A2", true, SaveCase::None, Outcome::Refused,
                 "The sheet on screen was loaded as \"A2\", not as \"A1\". Nothing was saved.", ""},
        SaveCase{"ImageSaveFails", "A1", "A1", true, SaveCase::ImageSaveThrows, Outcome::Failed,
                 "Cannot write TIFF|ErrPath: <file>", ""},
        SaveCase{"PlanFolderIsAFile", "A1", "A1", true, SaveCase::PlanFolderIsAFile,
                 Outcome::Failed, "Cannot write TIFF|ErrPath: <file>", ""}),
    sw::test::byName);

}  // namespace
}  // namespace sw::viewing
