#include "base/ini_store.h"

#include "support/test_paths.h"
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <QDir>
#include <QTemporaryDir>

namespace sw::base {
namespace {

using sw::test::PrintTo;

using test::readFile;
using test::writeFile;

class IniFixture : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("Sheetwise.ini"));
};

// ---- Reading ---------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    QByteArray file;  // null: no file
    const char* section;
    const char* key;
    QByteArray expected;
    int buffer = kProfileBufferSize;
};

class IniRead : public IniFixture, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(IniRead, FindsTheEntryOrGivesTheDefault) {
    const ReadCase& c = GetParam();
    if (!c.file.isNull()) {
        ASSERT_TRUE(writeFile(m_path, c.file));
    }
    EXPECT_EQ(readProfileString(m_path, c.section, c.key, "none", c.buffer),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniRead,
    ::testing::Values(
        ReadCase{"NoFile", {}, "Prefs", "Plan Directory", "none"},
        ReadCase{"NoSection", "[Printing]\nPlan Directory=x\n", "Prefs", "Plan Directory", "none"},
        ReadCase{"CaseOfNames", "[pREFS]\nplan directory=/p\n", "Prefs", "PLAN Directory", "/p"},
        ReadCase{"BlanksAndTabsDropped", "  [ Prefs ]  \n \tPrint In Blue =\t 1  \n", "Prefs",
                 "Print In Blue", "1"},
        ReadCase{"CrLf", "[Prefs]\r\nKey=v\r\nNext=w\r\n", "Prefs", "Key", "v"},
        ReadCase{"DoubleQuotes", "[Prefs]\nKey=\" a b \"\n", "Prefs", "Key", " a b "},
        ReadCase{"UnmatchedQuote", "[Prefs]\nKey=\"abc\n", "Prefs", "Key", "\"abc"},
        ReadCase{"EqualsInValue", "[Prefs]\nKey=a=b\n", "Prefs", "Key", "a=b"},
        ReadCase{"KeyInOtherSection", "[A]\nKey=a\n[B]\nKey=b\n", "B", "Key", "b"},
        ReadCase{"FirstSectionWins", "[A]\nK=1\n[A]\nK=2\nL=3\n", "A", "L", "none"},
        ReadCase{"FirstKeyWins", "[A]\nK=1\nK=2\n", "A", "K", "1"},
        ReadCase{"OddAndCommentLinesIgnored", "junk\n[A]\n;K=1\nno equals\nK=2\n", "A", "K", "2"},
        ReadCase{"DefaultBufferKeeps126", "[A]\nK=" + QByteArray(200, 'p'), "A", "K",
                 QByteArray(126, 'p')},
        ReadCase{"BufferCutsValue", "[A]\nK=abcdef\n", "A", "K", "abc", 4},
        ReadCase{"BufferCutsDefault", "[B]\n", "A", "K", "no", 3},
        ReadCase{"Latin1Value", "[A]\nK=Caf\xe9\n", "A", "K", "Caf\xc3\xa9"}),
    sw::test::byName);

// ---- Writing ---------------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    QByteArray before;  // null: no file
    const char* section;
    const char* key;
    QByteArray after;
};

class IniWrite : public IniFixture, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyTheEntry) {
    const WriteCase& c = GetParam();
    if (!c.before.isNull()) {
        ASSERT_TRUE(writeFile(m_path, c.before));
    }
    ASSERT_TRUE(writeProfileString(m_path, c.section, c.key, "v"));
    EXPECT_EQ(readFile(m_path), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniWrite,
    ::testing::Values(
        WriteCase{"CreatesFile", {}, "Prefs", "Plan Directory", "[Prefs]\nPlan Directory=v\n"},
        WriteCase{"AppendsSectionAtEnd", "; settings\n[Printing]\r\nA=1\r\n", "Prefs", "K",
                  "; settings\n[Printing]\r\nA=1\r\n[Prefs]\nK=v\n"},
        WriteCase{"TerminatesLastLineBeforeNewSection", "[A]\r\nX=1", "B", "K",
                  "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
        WriteCase{"ReplacesInPlaceKeepingEnding", "[A]\r\n  k = old \r\nZ=1\n[B]\nK=b\n", "a", "K",
                  "[A]\r\nK=v\r\nZ=1\n[B]\nK=b\n"},
        WriteCase{"AddsAfterLastEntryBeforeBlankLines", "[A]\nX=1\n\n[B]\nY=2\n", "A", "K",
                  "[A]\nX=1\nK=v\n\n[B]\nY=2\n"},
        WriteCase{"AddsToEmptySection", "[A]\n[B]\nY=2\n", "A", "K", "[A]\nK=v\n[B]\nY=2\n"},
        WriteCase{"KeepsOddBytes", "\xff\xfe junk\n[A]\nK=1\n#x\n", "A", "K",
                  "\xff\xfe junk\n[A]\nK=v\n#x\n"}),
    sw::test::byName);

TEST_F(IniFixture, ReadGivesBackWhatWasWritten) {
    ASSERT_TRUE(writeFile(m_path, "[Printing]\nDefault Printer=PDF\n"));
    for (const QString value : {"", "/home/u/Sheetwise Plans/", "C:\\SheetwisePlans\\", "a=b=c",
                                "[x]", "Pl\u00e4ne \u20ac"}) {
        ASSERT_TRUE(writeProfileString(m_path, "Prefs", "Key", value));
        ASSERT_TRUE(writeProfileString(m_path, "Prefs", "Other", "x"));
        EXPECT_EQ(readProfileString(m_path, "prefs", "key", "none", 1000), value);
    }
    EXPECT_EQ(readProfileString(m_path, "Printing", "Default Printer", "none"), "PDF");
}

TEST_F(IniFixture, EntriesThatWouldBreakTheFileAreRefusedAndLeaveItAlone) {
    const QByteArray before("[A]\nK=1\n");
    ASSERT_TRUE(writeFile(m_path, before));
    const QStringList refused[] = {
        {"A", "K", "1\n[B]"}, {"A", "K\r", "1"}, {"A", "K", QString("a") + QChar(0)},
        {"A", "K=", "1"},     {"A]", "K", "1"},  {"A", "[K", "1"},
        {"A", "  ", "1"},     {"", "K", "1"}};
    for (const QStringList& entry : refused) {
        EXPECT_FALSE(writeProfileString(m_path, entry[0], entry[1], entry[2]))
            << entry.join('|').toStdString();
    }
    EXPECT_EQ(readFile(m_path), before);
}

TEST_F(IniFixture, UnusablePathsFailWithoutCreatingAnything) {
    EXPECT_FALSE(writeProfileString(m_dir.filePath("no/such/Sheetwise.ini"), "A", "K", "v"));
    EXPECT_FALSE(QDir(m_dir.filePath("no")).exists());
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Sheetwise.ini"));
    EXPECT_EQ(readProfileString(m_path, "A", "K", "dflt"), "dflt");
    EXPECT_FALSE(writeProfileString(m_path, "A", "K", "v"));
    EXPECT_TRUE(QFileInfo(m_path).isDir());
}

// ---- Crash safety ----------------------------------------------------------------------------
// The file-size limit makes every write past it fail (or, with the default signal action, kill
// the process), which is what a full disk or a crash in the middle of the write does.

bool writeWithFileSizeLimit(const QString& path) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &limit);
    const bool written = writeProfileString(path, "Prefs", "Plan Directory", "/new");
    setrlimit(RLIMIT_FSIZE, &saved);
    return written;
}

// Runs in the death-test child: dies of SIGXFSZ as soon as the write passes the limit.
void writeUntilKilled(const QString& path) {
    rlimit noCore{};
    setrlimit(RLIMIT_CORE, &noCore);
    std::signal(SIGXFSZ, SIG_DFL);
    writeWithFileSizeLimit(path);
    std::exit(0);
}

TEST_F(IniFixture, AFailedOrInterruptedWriteKeepsTheOldFileWhole) {
    QByteArray before("; keep me\n[Prefs]\nPlan Directory=/old\n[Printing]\n");
    for (int i = 0; i < 400; ++i) {
        before += "Entry" + QByteArray::number(i) + "=some printer setting value\r\n";
    }
    ASSERT_TRUE(writeFile(m_path, before));
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_FALSE(writeWithFileSizeLimit(m_path));
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(readFile(m_path), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Sheetwise.ini"});

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(writeUntilKilled(m_path), ::testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_EQ(readFile(m_path), before);
}

}  // namespace
}  // namespace sw::base
