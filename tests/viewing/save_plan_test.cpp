#include "viewing/save_plan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "host/script_error.h"
#include "plans/project_state.h"
#include "viewing/qt_printers.h"

namespace sw::viewing {
namespace {

using test::PrintTo;

// A project "2004-0815" of site "north" whose settings name a plan folder in a temporary
// directory. The fake save writes a few bytes where the imaging control would write the TIFF.
class SavePlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        m_plans = m_temp.filePath(QStringLiteral("plans"));
        usePlanFolder(m_plans);
        m_state.iniPath = m_temp.filePath(QStringLiteral("Sheetwise.ini"));
        QString url = QStringLiteral("http://127.0.0.1:1/");
        QString id = QStringLiteral("2004~0815");
        QString name = QStringLiteral("Main Street School");
        QString site = QStringLiteral("north");
        std::int32_t rotation = 0;
        writeIni();
        m_state.InitVars(url, id, name, rotation, site);
    }

    void usePlanFolder(const QString& folder) {
        m_plans = folder;
        writeIni();
    }

    void writeIni() {
        QFile ini(m_temp.filePath(QStringLiteral("Sheetwise.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[Prefs]\r\nPlan Directory=" + m_plans.toUtf8() + "\r\n");
    }

    SaveResult save(const QString& sheetName) {
        m_state.currentPlanName = sheetName;
        return SavePlan(m_state, true, [this](const QString& file) {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly)) {
                throw host::ScriptError(host::ScriptError::Code::PathNotFound);
            }
            out.write("II*\0", 4);
            m_saved << file;
        });
    }

    QString projectFolder() const { return m_plans + QStringLiteral("/north/2004-0815/"); }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_temp;
    QString m_plans;
    plans::ProjectState m_state;
    QStringList m_saved;
};

struct NameCase {
    const char* name;
    const char* sheetName;
    const char* fileName;
};

class SavedFileName : public SavePlanTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(SavedFileName, LandsInTheProjectFolderUnderItsCleanName) {
    const SaveResult result = save(QString::fromUtf8(GetParam().sheetName));
    ASSERT_EQ(result.outcome, SaveResult::Outcome::Saved) << result.errorDescription.toStdString();
    const QString expected = projectFolder() + QString::fromUtf8(GetParam().fileName);
    EXPECT_EQ(QDir::cleanPath(result.file), QDir::cleanPath(expected));
    EXPECT_TRUE(QFile::exists(expected));
    EXPECT_TRUE(result.messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SavedFileName,
    ::testing::Values(NameCase{"PlainName", "A-101 Site Plan", "A-101 Site Plan.tif"},
                      NameCase{"SeparatorsAndColonBecomeBlanks", "A/B: Details?",
                               "A B  Details .tif"},
                      NameCase{"EveryForbiddenCharacter", "a\\b|c<d>e*f", "a b c d e f.tif"},
                      NameCase{"QuotesStay", "Say \"hi\"", "Say \"hi\".tif"},
                      NameCase{"DotsCannotClimbOut", "../../escape", ".. .. escape.tif"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SavePlanTest, WritesDescriptionOnceWithTheFirstProjectName) {
    const SaveResult first = save(QStringLiteral("A1"));
    EXPECT_TRUE(first.descriptionWritten);
    QString renamed = QStringLiteral("Renamed Project");
    m_state.SetProjectName(renamed);
    const SaveResult second = save(QStringLiteral("A2"));
    EXPECT_EQ(second.outcome, SaveResult::Outcome::Saved);
    EXPECT_FALSE(second.descriptionWritten);
    EXPECT_EQ(contents(projectFolder() + QStringLiteral("desc.txt")),
              QByteArray("Main Street School\r\n"));
}

TEST_F(SavePlanTest, APlanFolderEndingInASeparatorStillSaves) {
    usePlanFolder(m_plans + QLatin1Char('/'));
    const SaveResult result = save(QStringLiteral("A1"));
    ASSERT_EQ(result.outcome, SaveResult::Outcome::Saved);
    EXPECT_TRUE(result.file.contains(QStringLiteral("plans//north")));
    EXPECT_TRUE(QFile::exists(projectFolder() + QStringLiteral("A1.tif")));
}

TEST_F(SavePlanTest, NothingLoadedCreatesNoFolderAndNoFile) {
    m_state.currentPlanName = QStringLiteral("A1");
    bool called = false;
    const SaveResult result = SavePlan(m_state, false, [&](const QString&) { called = true; });
    EXPECT_EQ(result.outcome, SaveResult::Outcome::NothingLoaded);
    EXPECT_FALSE(called);
    EXPECT_FALSE(QFile::exists(m_plans));
    EXPECT_TRUE(result.messages().isEmpty());
}

TEST_F(SavePlanTest, AFailingImageSaveReportsItsErrorAndThePath) {
    m_state.currentPlanName = QStringLiteral("A1");
    const SaveResult result = SavePlan(m_state, true, [](const QString&) {
        throw std::runtime_error("Cannot write TIFF: disk full");
    });
    ASSERT_EQ(result.outcome, SaveResult::Outcome::Failed);
    EXPECT_EQ(result.messages(), (QStringList{QStringLiteral("Cannot write TIFF: disk full"),
                                              QStringLiteral("ErrPath: ") + result.file}));
    EXPECT_TRUE(result.file.endsWith(QStringLiteral("2004-0815/A1.tif")));
    EXPECT_FALSE(QFile::exists(projectFolder() + QStringLiteral("desc.txt")));
}

TEST_F(SavePlanTest, APlanFolderThatIsAFileFailsWithAClearMessage) {
    const QString blocker = m_temp.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    usePlanFolder(blocker);
    const SaveResult result = save(QStringLiteral("A1"));
    ASSERT_EQ(result.outcome, SaveResult::Outcome::Failed);
    ASSERT_EQ(result.messages().size(), 2);
    EXPECT_FALSE(result.errorDescription.isEmpty());
    EXPECT_EQ(result.messages().at(1), QStringLiteral("ErrPath: ") + result.file);
    EXPECT_TRUE(m_saved.isEmpty());
}

}  // namespace
}  // namespace sw::viewing
