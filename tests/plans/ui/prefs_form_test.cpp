#include "plans/ui/prefs_form.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "host/ini_store.h"
#include "host/paths.h"
#include "host/preferences.h"
#include "plans/project_state.h"
#include "plans/ui/plan_dialogs.h"

namespace sw::plans {
namespace {

// A settings file in a temporary folder and a preferences dialog on it whose folder chooser
// answers what the test says instead of asking a user.
class PrefsFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_temp.isValid());
        m_ini = m_temp.filePath(QStringLiteral("Sheetwise.ini"));
    }
    void TearDown() override { delete m_form; }

    void writeIni(const QByteArray& content) {
        QFile file(m_ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QByteArray iniBytes() const {
        QFile file(m_ini);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString pref(const char* key) const {
        return host::readProfileString(m_ini, QStringLiteral("Prefs"), QLatin1String(key),
                                       QStringLiteral("none"));
    }

    // Opens the dialog as the "Prefs" command shows it.
    PrefsForm* open() {
        m_form = new PrefsForm;
        m_form->SetIni(m_ini);
        m_form->setFolderChooser([this](QWidget*, const QString& title, const QString&) {
            m_titles << title;
            return m_answer;
        });
        m_form->show();
        return m_form;
    }

    QTemporaryDir m_temp;
    QString m_ini;
    QString m_answer;      // what the folder chooser returns (empty: cancelled)
    QStringList m_titles;  // titles the chooser was shown with
    QPointer<PrefsForm> m_form;
};

// Whatever the dialog shows and saves, a new dialog on the same file shows again.
struct RoundTripCase {
    const char* name;
    QString folder;
    bool blue;
    bool reverse;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class PrefsRoundTrip : public PrefsFormTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(PrefsRoundTrip, SavedChoicesComeBackInTheNextDialog) {
    const RoundTripCase& c = GetParam();
    writeIni("[Printing]\r\nDefault Paper=1\r\n");
    m_answer = c.folder;
    PrefsForm* form = open();
    form->Command1->click();
    form->Check1->setChecked(c.blue);
    form->ReverseBatch->setChecked(c.reverse);
    form->Command2->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_form.isNull(); }, 2000));

    PrefsForm* again = open();
    EXPECT_EQ(again->PlanFolder->text(), c.folder);
    EXPECT_EQ(again->Check1->isChecked(), c.blue);
    EXPECT_EQ(again->ReverseBatch->isChecked(), c.reverse);
    EXPECT_EQ(pref("Plan Directory"), c.folder);
    EXPECT_EQ(pref("Print In Blue"), c.blue ? "1" : "0");
    EXPECT_EQ(pref("Reverse Print"), c.reverse ? "1" : "0");
    EXPECT_TRUE(iniBytes().startsWith("[Printing]\r\nDefault Paper=1\r\n"));

    const host::Preferences read = host::ReadPreferences(m_ini);
    EXPECT_EQ(read.printInBlue, c.blue);
    EXPECT_EQ(read.reversePrint, c.reverse);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PrefsRoundTrip,
    ::testing::Values(RoundTripCase{"BothOff", "/data/Plans", false, false},
                      RoundTripCase{"BlueOnly", "/srv/plan room/saved", true, false},
                      RoundTripCase{"ReverseOnly", QStringLiteral("/home/zoë/Pläne"), false, true},
                      RoundTripCase{"BothOnTrailingSeparator", "/mnt/plans/", true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrefsFormTest, BlueStoredAndReverseAbsentThenSaveStoresReverseAsZero) {
    writeIni("[Prefs]\r\nPlan Directory=/data/Plans\r\nPrint In Blue=1\r\n");
    PrefsForm* form = open();
    EXPECT_TRUE(form->Check1->isChecked());
    EXPECT_FALSE(form->ReverseBatch->isChecked());
    EXPECT_EQ(form->PlanFolder->text(), "/data/Plans");
    form->Command2->click();
    EXPECT_EQ(pref("Reverse Print"), "0");
    EXPECT_EQ(pref("Print In Blue"), "1");
    EXPECT_EQ(pref("Plan Directory"), "/data/Plans");
}

TEST_F(PrefsFormTest, AbsentPlanFolderShowsAndWritesTheDefaultOnly) {
    for (const QByteArray& content :
         {QByteArray(), QByteArray("[Prefs]\r\nPlan Directory=NONE\r\n")}) {
        writeIni(content);
        PrefsForm* form = open();
        const QString expected = host::withTrailingSeparator(host::defaultPlanDirectory());
        EXPECT_EQ(form->PlanFolder->text(), expected);
        EXPECT_EQ(pref("Plan Directory"), expected);
        EXPECT_EQ(pref("Print In Blue"), "none");
        EXPECT_EQ(pref("Reverse Print"), "none");
        delete form;
    }
}

TEST_F(PrefsFormTest, CancelledChooserThenSaveStoresEmptyAndResetRootFallsBackToDefault) {
    writeIni("[Prefs]\r\nPlan Directory=/data/Plans\r\n");
    PrefsForm* form = open();
    m_answer.clear();
    form->Command1->click();
    EXPECT_EQ(m_titles, QStringList{"Choose a folder:"});
    EXPECT_TRUE(form->PlanFolder->text().isEmpty());
    form->Command2->click();
    EXPECT_EQ(pref("Plan Directory"), "");

    ProjectState state;
    state.iniPath = m_ini;
    state.ResetRoot();
    EXPECT_EQ(state.planDirectory, host::defaultPlanDirectory());
    EXPECT_EQ(pref("Plan Directory"), host::defaultPlanDirectory());
}

TEST_F(PrefsFormTest, CancelAndCloseBoxWriteNothing) {
    writeIni("[Prefs]\r\nPlan Directory=/data/Plans\r\nPrint In Blue=0\r\n");
    const QByteArray before = iniBytes();
    m_answer = QStringLiteral("/elsewhere");
    PrefsForm* form = open();
    form->Command1->click();
    form->Check1->setChecked(true);
    form->Command3->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_form.isNull(); }, 2000));
    EXPECT_EQ(iniBytes(), before);

    form = open();
    EXPECT_EQ(form->PlanFolder->text(), "/data/Plans");
    form->ReverseBatch->setChecked(true);
    form->close();
    EXPECT_EQ(iniBytes(), before);
}

// With no display nobody can answer a folder dialog: the default chooser must not wait.
TEST_F(PrefsFormTest, DefaultChooserDoesNotBlockWithoutADisplay) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        GTEST_SKIP() << "a screen is attached: the chooser would wait for a user";
    }
    writeIni("[Prefs]\r\nPlan Directory=/data/Plans\r\n");
    m_form = new PrefsForm;
    m_form->SetIni(m_ini);
    m_form->show();
    m_form->Command1->click();
    EXPECT_TRUE(m_form->PlanFolder->text().isEmpty());
}

TEST_F(PrefsFormTest, CommandUsesTheViewersSettingsAndKeepsOneDialog) {
    writeIni("[Prefs]\r\nPlan Directory=/data/Plans\r\nReverse Print=1\r\n");
    ProjectState state;
    state.iniPath = m_ini;
    PrefsForm* first = openPrefsForm(state, nullptr);
    m_form = first;
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->iniPath(), m_ini);
    EXPECT_TRUE(first->ReverseBatch->isChecked());
    EXPECT_EQ(state.planDirectory, "/data/Plans");
    EXPECT_TRUE(state.reversePrint);

    first->Check1->setChecked(true);
    EXPECT_EQ(openPrefsForm(state, nullptr), first);
    EXPECT_TRUE(first->Check1->isChecked()) << "a second Prefs must not undo the user's edits";
}

}  // namespace
}  // namespace sw::plans
