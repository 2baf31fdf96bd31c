#include "host/preferences.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "host/ini_store.h"

namespace sw::host {
namespace {

struct PrefsCase {
    const char* name;
    const char* file;           // nullptr: no settings file
    const char* planDirectory;  // nullptr: the default folder
    bool printInBlue;
    bool reversePrint;
    bool defaultWritten;
};

void PrintTo(const PrefsCase& c, std::ostream* os) {
    *os << c.name;
}

class ReadPreferencesTable : public ::testing::TestWithParam<PrefsCase> {};

TEST_P(ReadPreferencesTable, ReadsFolderAndOptions) {
    const PrefsCase& c = GetParam();
    QTemporaryDir dir;
    const QString ini = dir.filePath("Sheetwise.ini");
    if (c.file != nullptr) {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.file);
    }
    const Preferences prefs = ReadPreferences(ini);
    const QString folder =
        c.planDirectory == nullptr ? defaultPlanDirectory() : QString::fromUtf8(c.planDirectory);
    EXPECT_EQ(prefs.planDirectory, folder);
    EXPECT_EQ(prefs.printInBlue, c.printInBlue);
    EXPECT_EQ(prefs.reversePrint, c.reversePrint);
    const QString stored = readProfileString(ini, "Prefs", "Plan Directory", "none");
    if (c.defaultWritten) {
        EXPECT_EQ(stored, defaultPlanDirectory());
    } else {
        EXPECT_EQ(stored, folder.left(126));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadPreferencesTable,
    ::testing::Values(
        PrefsCase{"NoFile", nullptr, nullptr, false, false, true},
        PrefsCase{"NoPrefsSection", "[Printing]\nDefault Printer=x\n", nullptr, false, false, true},
        PrefsCase{"NoneInCapitals", "[Prefs]\nPlan Directory=NONE\nPrint In Blue=1\n", nullptr,
                  true, false, true},
        PrefsCase{"FolderKept", "[Prefs]\nPlan Directory=/srv/plans/\nReverse Print=1\n",
                  "/srv/plans/", false, true, false},
        PrefsCase{"EmptyFolderKept", "[Prefs]\nPlan Directory=\n", "", false, false, false},
        PrefsCase{"TenCountsAsOn", "[Prefs]\nPlan Directory=/p\nPrint In Blue=10\n", "/p", true,
                  false, false},
        PrefsCase{"BlankBeforeOne", "[Prefs]\nPlan Directory=/p\nPrint In Blue= 1\n", "/p", true,
                  false, false},
        PrefsCase{"YesCountsAsOff", "[Prefs]\nPlan Directory=/p\nReverse Print=yes\n", "/p", false,
                  false, false},
        PrefsCase{"ZeroIsOff", "[Prefs]\nPlan Directory=/p\nPrint In Blue=0\nReverse Print=0\n",
                  "/p", false, false, false}));

TEST(ReadPreferences, LongFolderIsUsedCutTo126Characters) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Sheetwise.ini");
    const QString folder = "/" + QString(199, QLatin1Char('x'));
    ASSERT_TRUE(writeProfileString(ini, "Prefs", "Plan Directory", folder));
    EXPECT_EQ(ReadPreferences(ini).planDirectory, folder.left(126));
}

TEST(ReadPreferences, UnwritableSettingsStillGiveTheDefaults) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("missing-folder/Sheetwise.ini");
    const Preferences prefs = ReadPreferences(ini);
    EXPECT_EQ(prefs.planDirectory, defaultPlanDirectory());
    EXPECT_FALSE(prefs.printInBlue);
    EXPECT_FALSE(QFile::exists(ini));
}

struct SystemRootCase {
    const char* name;
    const char* systemRoot;
    const char* iniPath;
};

void PrintTo(const SystemRootCase& c, std::ostream* os) {
    *os << c.name;
}

class IniPathTable : public ::testing::TestWithParam<SystemRootCase> {};

TEST_P(IniPathTable, OneSeparatorBeforeTheFileName) {
    EXPECT_EQ(iniPathFromSystemRoot(QString::fromUtf8(GetParam().systemRoot)),
              QString::fromUtf8(GetParam().iniPath));
}

INSTANTIATE_TEST_SUITE_P(Table, IniPathTable,
                         ::testing::Values(SystemRootCase{"Plain", "/opt/windows",
                                                          "/opt/windows/Sheetwise.ini"},
                                           SystemRootCase{"TrailingSeparator", "/opt/windows/",
                                                          "/opt/windows/Sheetwise.ini"},
                                           SystemRootCase{"Root", "/", "/Sheetwise.ini"}));

class EnvironmentGuard {
public:
    explicit EnvironmentGuard(const char* name)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_value(qgetenv(name)) {}
    ~EnvironmentGuard() {
        if (m_had) {
            qputenv(m_name, m_value);
        } else {
            qunsetenv(m_name);
        }
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_value;
};

TEST(SettingsIniPath, SystemRootWinsOverTheConfigFolder) {
    EnvironmentGuard root("SystemRoot");
    EnvironmentGuard config("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/cfg");
    qputenv("SystemRoot", "/win");
    EXPECT_EQ(settingsIniPath(), "/win/Sheetwise.ini");
    qputenv("SystemRoot", "/win/");
    EXPECT_EQ(settingsIniPath(), "/win/Sheetwise.ini");
    qunsetenv("SystemRoot");
    EXPECT_EQ(settingsIniPath(), "/cfg/Sheetwise.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(settingsIniPath(), QDir::homePath() + "/.config/Sheetwise.ini");
}

}  // namespace
}  // namespace sw::host
