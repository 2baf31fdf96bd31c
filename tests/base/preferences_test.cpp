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
    QByteArray file;           // null: no settings file
    QByteArray planDirectory;  // null: the default folder
    bool printInBlue;
    bool reversePrint;
};

class ReadPreferencesTable : public ::testing::TestWithParam<PrefsCase> {};

// The folder read is also the one stored afterwards: the default is written when none is set.
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
    EXPECT_EQ(readProfileString(ini, "Prefs", "Plan Directory", "none"), prefs.planDirectory);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadPreferencesTable,
    ::testing::Values(
        PrefsCase{"NoFile", {}, {}, false, false},
        PrefsCase{"NoPrefsSection", "[Printing]\nDefault Printer=x\n", {}, false, false},
        PrefsCase{
            "NoneInCapitals", "[Prefs]\nPlan Directory=NONE\nPrint In Blue=1\n", {}, true, false},
        PrefsCase{"FolderKept", "[Prefs]\nPlan Directory=/srv/plans/\nReverse Print=1\n",
                  "/srv/plans/", false, true},
        PrefsCase{"EmptyFolderKept", "[Prefs]\nPlan Directory=\n", "", false, false},
        PrefsCase{"LongFolderCutTo126", "[Prefs]\nPlan Directory=/" + QByteArray(199, 'x'),
                  "/" + QByteArray(125, 'x'), false, false},
        PrefsCase{"TenAndBlankOneCountAsOn",
                  "[Prefs]\nPlan Directory=/p\nPrint In Blue=10\nReverse Print= 1\n", "/p", true,
                  true},
        PrefsCase{"YesAndZeroCountAsOff",
                  "[Prefs]\nPlan Directory=/p\nPrint In Blue=0\nReverse Print=yes\n", "/p", false,
                  false}),
    sw::test::byName);

TEST(ReadPreferences, UnwritableSettingsStillGiveTheDefaults) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("missing-folder/Sheetwise.ini");
    const Preferences prefs = ReadPreferences(ini);
    EXPECT_EQ(prefs.planDirectory, defaultPlanDirectory());
    EXPECT_FALSE(prefs.printInBlue);
    EXPECT_FALSE(QFile::exists(ini));
}

// A 100 MB settings file took seconds and hundreds of MB at every focus change: a file far
// beyond any real one is neither read nor replaced, and the reason is given.
TEST(ReadPreferences, ASettingsFileFarBeyondAnyRealOneIsRefused) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Sheetwise.ini");
    const QByteArray big = "[Prefs]\nPrint In Blue=1\n" + QByteArray(kMaxSettingsFileBytes, ';');
    ASSERT_TRUE(test::writeFile(ini, big));
    const Preferences prefs = ReadPreferences(ini);
    EXPECT_TRUE(prefs.problem.contains("larger than 1 MB")) << prefs.problem.toStdString();
    EXPECT_EQ(prefs.planDirectory, defaultPlanDirectory());
    EXPECT_FALSE(prefs.printInBlue);
    EXPECT_FALSE(writeProfileString(ini, "Prefs", "Plan Directory", "/p"));
    EXPECT_EQ(QFileInfo(ini).size(), big.size());
}

TEST(SettingsIniPath, SystemRootWinsOverTheConfigFolder) {
    const bool hadRoot = qEnvironmentVariableIsSet("SystemRoot");
    const QByteArray root = qgetenv("SystemRoot");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        hadRoot ? qputenv("SystemRoot", root) : qunsetenv("SystemRoot");
        qputenv("XDG_CONFIG_HOME", config);
    });
    qputenv("XDG_CONFIG_HOME", "/cfg");
    for (const char* folder : {"/win", "/win/"}) {
        qputenv("SystemRoot", folder);
        EXPECT_EQ(settingsIniPath(), "/win/Sheetwise.ini") << folder;
    }
    qputenv("SystemRoot", "/");
    EXPECT_EQ(settingsIniPath(), "/Sheetwise.ini");
    qunsetenv("SystemRoot");
    EXPECT_EQ(settingsIniPath(), "/cfg/Sheetwise.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsIniPath(), QDir::homePath() + "/.config/Sheetwise.ini");
}

}  // namespace
}  // namespace sw::base
