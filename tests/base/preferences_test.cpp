#include "base/preferences.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>

#include "base/ini_store.h"

namespace sw::base {
namespace {

using sw::test::PrintTo;

struct PrefsCase {
    const char* name;
    QByteArray file;
    QByteArray planDirectory;
    bool printInBlue;
    bool reversePrint;
    const char* problem = nullptr;  // part of the reason the file is not used; nullptr: none
};

const QByteArray kNoFile;   // no settings file
const QByteArray kDefault;  // the default plan folder
const QByteArray kHugeFile = "[Prefs]\nPrint In Blue=1\n" + QByteArray(kMaxSettingsFileBytes, ';');

class ReadPreferencesTable : public ::testing::TestWithParam<PrefsCase> {};

// The folder read is also the one stored afterwards: the default is written when none is set.
// A file far beyond any real one (a 100 MB one took seconds and hundreds of MB at every focus
// change) is neither read nor replaced, and the reason is given.
TEST_P(ReadPreferencesTable, ReadsFolderAndOptions) {
    const PrefsCase& c = GetParam();
    QTemporaryDir dir;
    const QString ini = dir.filePath("Sheetwise.ini");
    if (!c.file.isNull()) {
        ASSERT_TRUE(test::writeFile(ini, c.file));
    }
    const Preferences prefs = ReadPreferences(ini);
    EXPECT_EQ(prefs.planDirectory, c.planDirectory.isNull() ? defaultPlanDirectory()
                                                            : QString::fromUtf8(c.planDirectory));
    EXPECT_EQ(prefs.printInBlue, c.printInBlue);
    EXPECT_EQ(prefs.reversePrint, c.reversePrint);
    if (c.problem == nullptr) {
        EXPECT_EQ(prefs.problem, "");
        EXPECT_EQ(readProfileString(ini, "Prefs", "Plan Directory", "none"), prefs.planDirectory);
    } else {
        EXPECT_TRUE(prefs.problem.contains(c.problem)) << prefs.problem.toStdString();
        EXPECT_FALSE(writeProfileString(ini, "Prefs", "Plan Directory", "/p"));
        EXPECT_EQ(QFileInfo(ini).size(), c.file.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadPreferencesTable,
    ::testing::Values(
        PrefsCase{"NoFile", kNoFile, kDefault, false, false},
        PrefsCase{"NoPrefsSection", "[Printing]\nDefault Printer=x\n", kDefault, false, false},
        PrefsCase{"NoneInCapitals", "[Prefs]\nPlan Directory=NONE\nPrint In Blue=1\n", kDefault,
                  true, false},
        PrefsCase{"FolderKept", "[Prefs]\nPlan Directory=/srv/plans/\nReverse Print=1\n",
                  "/srv/plans/", false, true},
        PrefsCase{"EmptyFolderKept", "[Prefs]\nPlan Directory=\n", "", false, false},
        PrefsCase{"LongFolderCutTo126", "[Prefs]\nPlan Directory=/" + QByteArray(199, 'x'),
                  "/" + QByteArray(125, 'x'), false, false},
        PrefsCase{"TenAndBlankOneCountAsOn", "[Prefs]\nPrint In Blue=10\nReverse Print= 1",
                  kDefault, true, true},
        PrefsCase{"YesAndZeroCountAsOff", "[Prefs]\nPrint In Blue=0\nReverse Print=yes", kDefault,
                  false, false},
        PrefsCase{"FileFarBeyondAnyRealOne", kHugeFile, kDefault, false, false,
                  "larger than 1 MB"}),
    sw::test::byName);

// A settings file in a missing folder, or a folder where the file should be: the defaults, and
// nothing made or replaced.
TEST(ReadPreferences, UnusableSettingsPathsGiveTheDefaultsAndAreLeftAlone) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    for (const QString& ini : {dir.filePath("missing/Sheetwise.ini"), dir.filePath("folder.ini")}) {
        EXPECT_EQ(ReadPreferences(ini).planDirectory, defaultPlanDirectory());
        EXPECT_FALSE(writeProfileString(ini, "Prefs", "Plan Directory", "/p"));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.ini")).isDir());
}

TEST(SettingsIniPath, SystemRootWinsOverTheConfigFolder) {
    const bool hadRoot = qEnvironmentVariableIsSet("SystemRoot");
    const QByteArray root = qgetenv("SystemRoot");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        hadRoot ? qputenv("SystemRoot", root) : qunsetenv("SystemRoot");
        qputenv("XDG_CONFIG_HOME", config);
    });
    const struct {
        const char* systemRoot;  // nullptr: unset
        const char* configHome;
        QString path;
    } cases[] = {{"/win", "/cfg", "/win/Sheetwise.ini"},
                 {"/win/", "/cfg", "/win/Sheetwise.ini"},
                 {"/", "/cfg", "/Sheetwise.ini"},
                 {nullptr, "/cfg", "/cfg/Sheetwise.ini"},
                 {nullptr, nullptr, QDir::homePath() + "/.config/Sheetwise.ini"}};
    for (const auto& c : cases) {
        c.systemRoot ? qputenv("SystemRoot", c.systemRoot) : qunsetenv("SystemRoot");
        c.configHome ? qputenv("XDG_CONFIG_HOME", c.configHome) : qunsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(settingsIniPath(), c.path) << c.path.toStdString();
    }
}

}  // namespace
}  // namespace sw::base
