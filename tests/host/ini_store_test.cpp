#include "host/ini_store.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace sw::host {
namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class IniFixture : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString m_path = m_dir.filePath(QStringLiteral("Sheetwise.ini"));
};

// ---- Reading ---------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    const char* file;  // nullptr: no file
    const char* section;
    const char* key;
    const char* expected;
    int buffer = kProfileBufferSize;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class IniRead : public IniFixture, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(IniRead, FindsTheEntryOrGivesTheDefault) {
    const ReadCase& c = GetParam();
    if (c.file != nullptr) {
        writeBytes(m_path, QByteArray(c.file));
    }
    EXPECT_EQ(readProfileString(m_path, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                QStringLiteral("none"), c.buffer),
              QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniRead,
    ::testing::Values(
        ReadCase{"NoFile", nullptr, "Prefs", "Plan Directory", "none"},
        ReadCase{"NoSection", "[Printing]\nPlan Directory=x\n", "Prefs", "Plan Directory", "none"},
        ReadCase{"NoKey", "[Prefs]\nOther=x\n", "Prefs", "Plan Directory", "none"},
        ReadCase{"Plain", "[Prefs]\nPlan Directory=/p\n", "Prefs", "Plan Directory", "/p"},
        ReadCase{"CaseOfNames", "[pREFS]\nplan directory=/p\n", "Prefs", "PLAN Directory", "/p"},
        ReadCase{"BlanksDropped", "  [ Prefs ]  \n  Print In Blue =  1  \n", "Prefs",
                 "Print In Blue", "1"},
        ReadCase{"TabsDropped", "[Prefs]\n\tKey\t=\tv\t\n", "Prefs", "Key", "v"},
        ReadCase{"CrLf", "[Prefs]\r\nKey=v\r\nNext=w\r\n", "Prefs", "Key", "v"},
        ReadCase{"NoFinalNewline", "[Prefs]\nKey=v", "Prefs", "Key", "v"},
        ReadCase{"DoubleQuotes", "[Prefs]\nKey=\" a b \"\n", "Prefs", "Key", " a b "},
        ReadCase{"UnmatchedQuote", "[Prefs]\nKey=\"abc\n", "Prefs", "Key", "\"abc"},
        ReadCase{"EmptyValue", "[Prefs]\nKey=\n", "Prefs", "Key", ""},
        ReadCase{"EqualsInValue", "[Prefs]\nKey=a=b\n", "Prefs", "Key", "a=b"},
        ReadCase{"KeyInOtherSection", "[A]\nKey=a\n[B]\nKey=b\n", "B", "Key", "b"},
        ReadCase{"FirstSectionWins", "[A]\nK=1\n[A]\nK=2\nL=3\n", "A", "L", "none"},
        ReadCase{"FirstKeyWins", "[A]\nK=1\nK=2\n", "A", "K", "1"},
        ReadCase{"CommentLineIgnored", "[A]\n;K=1\nK=2\n", "A", "K", "2"},
        ReadCase{"OddLinesIgnored", "garbage\n[A]\nno equals here\nK=2\n", "A", "K", "2"},
        ReadCase{"BufferCutsValue", "[A]\nK=abcdef\n", "A", "K", "abc", 4},
        ReadCase{"BufferCutsDefault", "", "A", "K", "no", 3},
        ReadCase{"Utf8Value", "[A]\nK=Caf\xc3\xa9\n", "A", "K", "Caf\xc3\xa9"},
        ReadCase{"Latin1Value", "[A]\nK=Caf\xe9\n", "A", "K", "Caf\xc3\xa9"}));

TEST_F(IniFixture, LongValueIsSeenCutTo126Characters) {
    const QByteArray folder(200, 'p');
    writeBytes(m_path, "[Prefs]\nPlan Directory=" + folder + "\n");
    EXPECT_EQ(readProfileString(m_path, "Prefs", "Plan Directory", "none"),
              QString::fromLatin1(folder.left(126)));
    EXPECT_EQ(readProfileString(m_path, "Prefs", "Plan Directory", "none", 128).size(), 127);
}

// ---- Writing ---------------------------------------------------------------------------------

struct WriteCase {
    const char* name;
    const char* before;  // nullptr: no file
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class IniWrite : public IniFixture, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(IniWrite, ChangesOnlyTheEntry) {
    const WriteCase& c = GetParam();
    if (c.before != nullptr) {
        writeBytes(m_path, QByteArray(c.before));
    }
    ASSERT_TRUE(writeProfileString(m_path, QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                   QString::fromUtf8(c.value)));
    EXPECT_EQ(readBytes(m_path), QByteArray(c.after));
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniWrite,
    ::testing::Values(
        WriteCase{"CreatesFile", nullptr, "Prefs", "Plan Directory", "/p",
                  "[Prefs]\nPlan Directory=/p\n"},
        WriteCase{"AppendsSectionAtEnd", "; settings\n[Printing]\r\nA=1\r\n", "Prefs", "K", "v",
                  "; settings\n[Printing]\r\nA=1\r\n[Prefs]\nK=v\n"},
        WriteCase{"TerminatesLastLineBeforeNewSection", "[A]\r\nX=1", "B", "K", "v",
                  "[A]\r\nX=1\r\n[B]\r\nK=v\r\n"},
        WriteCase{"ReplacesInPlaceKeepingEnding", "[A]\r\n  k = old \r\nZ=1\n[B]\nK=b\n", "a", "K",
                  "new", "[A]\r\nK=new\r\nZ=1\n[B]\nK=b\n"},
        WriteCase{"AddsAfterLastEntryBeforeBlankLines", "[A]\nX=1\n\n[B]\nY=2\n", "A", "K", "v",
                  "[A]\nX=1\nK=v\n\n[B]\nY=2\n"},
        WriteCase{"AddsToEmptySection", "[A]\n[B]\nY=2\n", "A", "K", "v", "[A]\nK=v\n[B]\nY=2\n"},
        WriteCase{"AddsToLastSectionWithoutNewline", "[A]\nX=1", "A", "K", "v", "[A]\nX=1\nK=v\n"},
        WriteCase{"KeepsOddBytes", "\xff\xfe junk\n[A]\nK=1\n#x\n", "A", "K", "2",
                  "\xff\xfe junk\n[A]\nK=2\n#x\n"},
        WriteCase{"WritesUtf8", "[A]\n", "A", "K", "Caf\xc3\xa9", "[A]\nK=Caf\xc3\xa9\n"}));

struct RoundTripCase {
    const char* name;
    const char* value;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class IniRoundTrip : public IniFixture, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(IniRoundTrip, ReadGivesBackWhatWasWritten) {
    writeBytes(m_path, "[Printing]\nDefault Printer=PDF\n");
    const QString value = QString::fromUtf8(GetParam().value);
    ASSERT_TRUE(writeProfileString(m_path, "Prefs", "Key", value));
    ASSERT_TRUE(writeProfileString(m_path, "Prefs", "Other", "x"));
    EXPECT_EQ(readProfileString(m_path, "prefs", "key", "none", 1000), value);
    EXPECT_EQ(readProfileString(m_path, "Printing", "Default Printer", "none"), "PDF");
}

INSTANTIATE_TEST_SUITE_P(Table, IniRoundTrip,
                         ::testing::Values(RoundTripCase{"Empty", ""},
                                           RoundTripCase{"Path", "/home/u/Sheetwise Plans/"},
                                           RoundTripCase{"WindowsPath", "C:\\SheetwisePlans\\"},
                                           RoundTripCase{"Equals", "a=b=c"},
                                           RoundTripCase{"Brackets", "[x]"},
                                           RoundTripCase{"Accents", "Pl\xc3\xa4ne \xe2\x82\xac"}));

struct InvalidCase {
    const char* name;
    QString section;
    QString key;
    QString value;
};

void PrintTo(const InvalidCase& c, std::ostream* os) {
    *os << c.name;
}

class IniRefusedWrite : public IniFixture, public ::testing::WithParamInterface<InvalidCase> {};

TEST_P(IniRefusedWrite, LeavesTheFileAlone) {
    const QByteArray before("[A]\nK=1\n");
    writeBytes(m_path, before);
    EXPECT_FALSE(writeProfileString(m_path, GetParam().section, GetParam().key, GetParam().value));
    EXPECT_EQ(readBytes(m_path), before);
}

INSTANTIATE_TEST_SUITE_P(Table, IniRefusedWrite,
                         ::testing::Values(InvalidCase{"NewlineInValue", "A", "K", "1\n[B]"},
                                           InvalidCase{"CarriageReturnInKey", "A", "K\r", "1"},
                                           InvalidCase{"NulInValue", "A", "K",
                                                       QString("a") + QChar(0)},
                                           InvalidCase{"EqualsInKey", "A", "K=", "1"},
                                           InvalidCase{"BracketInSection", "A]", "K", "1"},
                                           InvalidCase{"KeyLooksLikeSection", "A", "[K", "1"},
                                           InvalidCase{"EmptyKey", "A", "  ", "1"},
                                           InvalidCase{"EmptySection", "", "K", "1"}));

TEST_F(IniFixture, WriteIntoMissingFolderFails) {
    EXPECT_FALSE(writeProfileString(m_dir.filePath("no/such/Sheetwise.ini"), "A", "K", "v"));
    EXPECT_FALSE(QDir(m_dir.filePath("no")).exists());
}

TEST_F(IniFixture, PathThatIsAFolderIsNeitherReadNorReplaced) {
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("Sheetwise.ini"));
    EXPECT_EQ(readProfileString(m_path, "A", "K", "dflt"), "dflt");
    EXPECT_FALSE(writeProfileString(m_path, "A", "K", "v"));
    EXPECT_TRUE(QFileInfo(m_path).isDir());
}

// ---- Crash safety ----------------------------------------------------------------------------
// The file-size limit makes every write past it fail (or, with the default signal action, kill
// the process), which is what a full disk or a crash in the middle of the write does.

QByteArray bigSettingsFile() {
    QByteArray bytes("; keep me\n[Prefs]\nPlan Directory=/old\n[Printing]\n");
    for (int i = 0; i < 400; ++i) {
        bytes += "Entry" + QByteArray::number(i) + "=some printer setting value\r\n";
    }
    return bytes;
}

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
};

TEST_F(IniFixture, FailedWriteKeepsTheOldFileWhole) {
    const QByteArray before = bigSettingsFile();
    writeBytes(m_path, before);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    bool written = true;
    {
        FileSizeLimit limit(4096);
        written = writeProfileString(m_path, "Prefs", "Plan Directory", "/new");
    }
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(readBytes(m_path), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Sheetwise.ini"});
    EXPECT_EQ(readProfileString(m_path, "Prefs", "Plan Directory", "none"), "/old");
}

// Runs in the death-test child: dies of SIGXFSZ as soon as the write passes the limit.
void writeUntilKilled(const QString& path) {
    rlimit noCore{};
    setrlimit(RLIMIT_CORE, &noCore);
    std::signal(SIGXFSZ, SIG_DFL);
    FileSizeLimit limit(4096);
    writeProfileString(path, "Prefs", "Plan Directory", "/new");
    std::exit(0);
}

TEST_F(IniFixture, ProcessDyingMidWriteKeepsTheOldFileWhole) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const QByteArray before = bigSettingsFile();
    writeBytes(m_path, before);
    EXPECT_EXIT(writeUntilKilled(m_path), ::testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_EQ(readBytes(m_path), before);
}

}  // namespace
}  // namespace sw::host
