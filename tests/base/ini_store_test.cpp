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

class IniFixture : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("Sheetwise.ini"));
};

// ---- One entry: reads find it in any case of its names, without blanks or quotes, the first
// occurrence winning, cut to the buffer; a write changes that entry and keeps every other byte.

struct EntryCase {
    const char* name;
    QByteArray file;  // null: no file
    const char* section;
    const char* key;
    QByteArray read;          // the value read before the write; "none": the default
    QByteArray written = {};  // the file after writing "v" to the entry; null: not written
    int buffer = kProfileBufferSize;
};

class IniEntry : public IniFixture, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(IniEntry, IsReadOrDefaultedAndWrittenInPlace) {
    const EntryCase& c = GetParam();
    if (!c.file.isNull()) {
        ASSERT_TRUE(test::writeFile(m_path, c.file));
    }
    EXPECT_EQ(readProfileString(m_path, c.section, c.key, "none", c.buffer),
              QString::fromUtf8(c.read));
    if (!c.written.isNull()) {
        ASSERT_TRUE(writeProfileString(m_path, c.section, c.key, "v"));
        EXPECT_EQ(test::readFile(m_path), c.written);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniEntry,
    ::testing::Values(
        EntryCase{"NoFile", {}, "Prefs", "Plan Directory", "none", "[Prefs]\nPlan Directory=v\n"},
        EntryCase{"NoSectionAppendsItAtTheEnd", "; settings\n[Printing]\r\nK=x\r\n", "Prefs", "K",
                  "none", "; settings\n[Printing]\r\nK=x\r\n[Prefs]\nK=v\n"},
        EntryCase{"LastLineTerminatedBeforeNewSection", "[A]\r\nX=1", "B", "K", "none",
                  "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
        EntryCase{"CaseAndBlanksReplacedInPlaceKeepingEnding",
                  "[A]\r\n  k = old \r\nZ=1\n[B]\nK=b\n", "a", "K", "old",
                  "[A]\r\nK=v\r\nZ=1\n[B]\nK=b\n"},
        EntryCase{"AddedAfterLastEntryBeforeBlankLines", "[A]\nX=1\n\n[B]\nK=2\n", "A", "K", "none",
                  "[A]\nX=1\nK=v\n\n[B]\nK=2\n"},
        EntryCase{"AddedToEmptySection", "[A]\n[B]\nK=2\n", "A", "K", "none",
                  "[A]\nK=v\n[B]\nK=2\n"},
        EntryCase{"OddLinesIgnoredAndKept", "\xff\xfe junk\n[A]\n;K=1\nno equals\nK=2\n#x\n", "A",
                  "K", "2", "\xff\xfe junk\n[A]\n;K=1\nno equals\nK=v\n#x\n"},
        EntryCase{"BlanksAndQuotes", "  [ Prefs ]  \n \tKey =\t \" a b \"  \n", "Prefs", "Key",
                  " a b "},
        EntryCase{"UnmatchedQuote", "[Prefs]\nKey=\"abc\n", "Prefs", "Key", "\"abc"},
        EntryCase{"FirstSectionWins", "[A]\nK=1\n[A]\nK=2\nL=3\n", "A", "L", "none"},
        EntryCase{"FirstKeyWins", "[A]\nK=1\nK=2\n", "A", "K", "1"},
        EntryCase{"BufferCutsValue", "[A]\nK=abcdef\n", "A", "K", "abc", {}, 4},
        EntryCase{"BufferCutsDefault", "[B]\n", "A", "K", "no", {}, 3},
        EntryCase{"Latin1Value", "[A]\nK=Caf\xe9\n", "A", "K", "Caf\xc3\xa9"}),
    sw::test::byName);

TEST_F(IniFixture, ReadGivesBackWhatWasWritten) {
    for (const QString value : {"", "/home/u/Sheetwise Plans/", "C:\\SheetwisePlans\\", "a=b=c",
                                "[x]", "Pl\u00e4ne \u20ac"}) {
        ASSERT_TRUE(writeProfileString(m_path, "Prefs", "Key", value));
        EXPECT_EQ(readProfileString(m_path, "prefs", "key", "none", 1000), value);
    }
}

// Entries that would break the file fail and leave it as it was.
TEST_F(IniFixture, UnstorableEntriesAreRefusedAndLeaveTheFileAlone) {
    const QByteArray before("[A]\nK=1\n");
    ASSERT_TRUE(test::writeFile(m_path, before));
    const QStringList refused[] = {
        {"A", "K", "1\n[B]"}, {"A", "K\r", "1"}, {"A", "K", QString("a") + QChar(0)},
        {"A", "K=", "1"},     {"A]", "K", "1"},  {"A", "[K", "1"},
        {"A", "  ", "1"},     {"", "K", "1"}};
    for (const QStringList& entry : refused) {
        EXPECT_FALSE(writeProfileString(m_path, entry[0], entry[1], entry[2]))
            << entry.join('|').toStdString();
    }
    EXPECT_EQ(test::readFile(m_path), before);
}

// ---- Crash safety ----------------------------------------------------------------------------
// The file-size limit makes every write past it fail (or, with the default signal action, kill
// the process), which is what a full disk or a crash in the middle of the write does.

// `die`: the default action for SIGXFSZ, so that the process dies in the middle of the write.
bool writeWithFileSizeLimit(const QString& path, bool die) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const rlimit limit{4096, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    const auto previous = std::signal(SIGXFSZ, die ? SIG_DFL : SIG_IGN);
    const bool written = writeProfileString(path, "Prefs", "Plan Directory", "/new");
    std::signal(SIGXFSZ, previous);
    setrlimit(RLIMIT_FSIZE, &saved);
    return written;
}

TEST_F(IniFixture, AFailedOrInterruptedWriteKeepsTheOldFileWhole) {
    QByteArray before("; keep me\n[Prefs]\nPlan Directory=/old\n[Printing]\n");
    for (int i = 0; i < 400; ++i) {
        before += "Entry" + QByteArray::number(i) + "=some printer setting value\r\n";
    }
    ASSERT_TRUE(test::writeFile(m_path, before));
    EXPECT_FALSE(writeWithFileSizeLimit(m_path, false));
    EXPECT_EQ(test::readFile(m_path), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Sheetwise.ini"});

    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto killedMidWrite = [this] {
        const rlimit noCore{};
        setrlimit(RLIMIT_CORE, &noCore);
        writeWithFileSizeLimit(m_path, true);
        std::exit(0);
    };
    EXPECT_EXIT(killedMidWrite(), ::testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_EQ(test::readFile(m_path), before);
}

}  // namespace
}  // namespace sw::base
