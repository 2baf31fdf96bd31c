#include "plans/ui/prefs_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "base/ini_store.h"
#include "base/paths.h"
#include "base/preferences.h"
#include "plans/plan_test_support.h"

namespace sw::plans {
namespace {

using sw::test::PrintTo;

// A settings file in a temporary folder and a preferences dialog on it whose folder chooser
// answers `m_answer` instead of asking a user.
class PrefsFormTest : public ::testing::Test {
protected:
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
    QStringList prefs() const {
        QStringList values;
        for (const char* key : {"Plan Directory", "Print In Blue", "Reverse Print"}) {
            values << base::readProfileString(m_ini, "Prefs", key, "none");
        }
        return values;
    }

    // Opens the dialog as the "Prefs" command shows it.
    PrefsForm* open(bool fakeChooser = true) {
        m_form = new PrefsForm;
        m_form->SetIni(m_ini);
        if (fakeChooser) {
            m_form->setFolderChooser(
                [this](QWidget*, const QString&, const QString&) { return m_answer; });
        }
        m_form->show();
        return m_form;
    }
    bool closes() {
        return QTest::qWaitFor([&] { return m_form.isNull(); }, 2000);
    }

    QTemporaryDir m_temp;
    QString m_ini = m_temp.filePath("Sheetwise.ini");
    QString m_answer;  // what the folder chooser returns (empty: cancelled)
    QPointer<PrefsForm> m_form;
};

struct RoundTripCase {
    const char* name;
    QString folder;
    bool blue;
    bool reverse;
};

class PrefsRoundTrip : public PrefsFormTest, public ::testing::WithParamInterface<RoundTripCase> {};

// What the dialog saves, a new dialog on the same file shows again; other sections stay.
TEST_P(PrefsRoundTrip, SavedChoicesComeBackInTheNextDialog) {
    const RoundTripCase& c = GetParam();
    writeIni("[Printing]\r\nDefault Paper=1\r\n");
    m_answer = c.folder;
    PrefsForm* form = open();
    form->Command1->click();
    form->Check1->setChecked(c.blue);
    form->ReverseBatch->setChecked(c.reverse);
    form->Command2->click();
    EXPECT_TRUE(closes());

    PrefsForm* again = open();
    EXPECT_EQ(again->PlanFolder->text(), c.folder);
    EXPECT_EQ(again->Check1->isChecked(), c.blue);
    EXPECT_EQ(again->ReverseBatch->isChecked(), c.reverse);
    EXPECT_EQ(prefs(), (QStringList{c.folder, c.blue ? "1" : "0", c.reverse ? "1" : "0"}));
    EXPECT_TRUE(iniBytes().startsWith("[Printing]\r\nDefault Paper=1\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Choices, PrefsRoundTrip,
    ::testing::Values(RoundTripCase{"BothOff", "/data/Plans", false, false},
                      RoundTripCase{"BlueOnly", "/srv/plan room/saved", true, false},
                      RoundTripCase{"ReverseOnly", QStringLiteral("/home/zoë/Pläne"), false, true},
                      RoundTripCase{"BothOnTrailingSeparator", "/mnt/plans/", true, true}),
    sw::test::byName);

TEST_F(PrefsFormTest, AbsentPlanFolderShowsAndWritesTheDefaultOnly) {
    const QString expected = base::withTrailingSeparator(base::defaultPlanDirectory());
    for (const QByteArray& content :
         {QByteArray(), QByteArray("[Prefs]\r\nPlan Directory=NONE\r\n")}) {
        writeIni(content);
        EXPECT_EQ(open()->PlanFolder->text(), expected);
        EXPECT_EQ(prefs(), (QStringList{expected, "none", "none"}));
        delete m_form;
    }
}

// With a configuration folder that cannot be written, a save was lost with only a warning on
// standard error: the dialog says why at opening and on "Save", and keeps the user's choices.
// (The folder is a plain file here: a folder made read-only does not stop the root user.)
TEST_F(PrefsFormTest, ASaveThatFailsIsToldInTheDialogWhichStaysOpen) {
    QFile notAFolder(m_temp.filePath("config"));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    m_ini = m_temp.filePath("config/Sheetwise.ini");
    PrefsForm* form = open();
    EXPECT_TRUE(form->Problem->text().startsWith("Preferences cannot be saved: cannot write"));
    form->Check1->setChecked(true);
    form->Command2->click();
    QTest::qWait(50);
    ASSERT_FALSE(m_form.isNull());
    EXPECT_TRUE(form->Problem->isVisible());
    EXPECT_TRUE(form->Problem->text().startsWith(
        "The preferences were not saved: cannot write the settings file " + m_ini))
        << form->Problem->text().toStdString();
    EXPECT_TRUE(form->Check1->isChecked());
}

TEST_F(PrefsFormTest, CancelAndCloseBoxWriteNothing) {
    writeIni("[Prefs]\r\nPlan Directory=/data/Plans\r\nPrint In Blue=0\r\n");
    const QByteArray before = iniBytes();
    m_answer = "/elsewhere";
    PrefsForm* form = open();
    form->Command1->click();
    form->Check1->setChecked(true);
    form->Command3->click();
    EXPECT_TRUE(closes());
    EXPECT_EQ(iniBytes(), before);

    form = open();
    EXPECT_EQ(form->PlanFolder->text(), "/data/Plans");
    form->ReverseBatch->setChecked(true);
    form->close();
    EXPECT_EQ(iniBytes(), before);
}

}  // namespace
}  // namespace sw::plans
