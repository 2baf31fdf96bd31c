#include "plans/local_cache.h"

#include "support/qt_print.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "host/script_error.h"
#include "plans/path_rules.h"

namespace sw::plans {
namespace {

using host::ScriptError;

struct CleanCase {
    const char* name;
    QString in;
    QString out;
};

void PrintTo(const CleanCase& c, std::ostream* os) {
    *os << c.name;
}

class CleanFileNameTable : public ::testing::TestWithParam<CleanCase> {};

TEST_P(CleanFileNameTable, ReplacesForbiddenCharactersByBlanks) {
    const QString clean = CleanFileName(GetParam().in);
    EXPECT_EQ(clean, GetParam().out);
    EXPECT_EQ(clean.size(), GetParam().in.size());
}

// Whatever the name, the sheet file lands directly in its folder.
TEST_P(CleanFileNameTable, SheetFileStaysInItsFolder) {
    const QString folder = "/plans/north/1-2/";
    const QString file = sheetFilePath(folder, GetParam().in);
    EXPECT_TRUE(isInsideFolder(folder, file));
    EXPECT_TRUE(file.startsWith(folder));
    EXPECT_FALSE(file.mid(folder.size()).contains('/'));
    EXPECT_NE(file.mid(folder.size()), ".");
    EXPECT_NE(file.mid(folder.size()), "..");
}

INSTANTIATE_TEST_SUITE_P(
    Table, CleanFileNameTable,
    ::testing::Values(CleanCase{"Plain", "A-101 Site Plan", "A-101 Site Plan"},
                      CleanCase{"DetailsQuestion", "A/B: Details?", "A B  Details "},
                      CleanCase{"AllForbidden", "/\\|<>:*?", "        "},
                      CleanCase{"QuoteKept", "6\" Slab", "6\" Slab"},
                      CleanCase{"DotsKept", "..", ".."},
                      CleanCase{"ClimbingName", "../../etc/passwd", ".. .. etc passwd"},
                      CleanCase{"Nul", QString("a") + QChar(0) + "b", "a b"},
                      CleanCase{"Unicode", "Plan \u00e9t\u00e9 \u2116 3",
                                "Plan \u00e9t\u00e9 \u2116 3"},
                      CleanCase{"Empty", "", ""}));

class CacheFixture : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + '/';
};

TEST_F(CacheFixture, CreateFolderPathCreatesEveryLevel) {
    const QString project = m_root + "SheetwisePlans/north/2004-0815/";
    EXPECT_FALSE(FolderExists(project));
    CreateFolderPath(project);
    EXPECT_TRUE(QFileInfo(project).isDir());
    EXPECT_TRUE(FolderExists(project));
    CreateFolderPath(project);  // existing levels are fine
    EXPECT_TRUE(QFileInfo(project).isDir());
}

TEST_F(CacheFixture, CreateFolderPathAcceptsDoubledSeparatorAndNoTrailingOne) {
    CreateFolderPath(m_root + "plans//north/1-2");
    EXPECT_TRUE(QFileInfo(m_root + "plans/north/1-2").isDir());
}

TEST_F(CacheFixture, CreateFolderPathWithColonInName) {
    CreateFolderPath(m_root + "a:b/c");
    EXPECT_TRUE(QFileInfo(m_root + "a:b/c").isDir());
}

TEST_F(CacheFixture, CreateFolderPathIgnoresFailuresAndTheWriteAfterFails) {
    QFile blocker(m_root + "file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_NO_THROW(CreateFolderPath(m_root + "file/sub/"));
    EXPECT_FALSE(FolderExists(m_root + "file/sub/"));
    EXPECT_THROW(writeDescriptionOnce(m_root + "file/sub/", "P"), ScriptError);
}

TEST(CreateFolderPath, BareDriveRootIsOutOfRange) {
    try {
        CreateFolderPath("C:/");
        FAIL() << "accepted";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.description(), "Subscript out of range");
    }
}

TEST_F(CacheFixture, FolderExistsForFilesAndFolders) {
    QFile file(m_root + "s1.tif");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_TRUE(FolderExists(m_root));
    EXPECT_TRUE(FolderExists(m_dir.path()));
    EXPECT_TRUE(FolderExists(m_root + "s1.tif"));
    EXPECT_FALSE(FolderExists(m_root + "s1.tif/"));
    EXPECT_FALSE(FolderExists(m_root + "missing"));
    EXPECT_FALSE(FolderExists(""));
    EXPECT_FALSE(FolderExists(m_root + QChar(0)));
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST_F(CacheFixture, DescriptionIsWrittenOnceWithCrLf) {
    EXPECT_TRUE(writeDescriptionOnce(m_root, "Main Street School"));
    EXPECT_EQ(bytesOf(m_root + "desc.txt"), "Main Street School\r\n");
    EXPECT_FALSE(writeDescriptionOnce(m_root, "Renamed Project"));
    EXPECT_EQ(bytesOf(m_root + "desc.txt"), "Main Street School\r\n");
    EXPECT_EQ(readFirstLine(m_root + "desc.txt"), "Main Street School");
}

TEST_F(CacheFixture, DescriptionInMissingFolderIsPathNotFound) {
    try {
        writeDescriptionOnce(m_root + "missing/", "P");
        FAIL() << "accepted";
    } catch (const ScriptError& e) {
        EXPECT_EQ(e.description(), "Path not found");
    }
}

struct FirstLineCase {
    const char* name;
    QByteArray bytes;
    std::optional<QString> line;
};

void PrintTo(const FirstLineCase& c, std::ostream* os) {
    *os << c.name;
}

class FirstLineTable : public CacheFixture, public ::testing::WithParamInterface<FirstLineCase> {};

TEST_P(FirstLineTable, ReadsUpToTheLineEnd) {
    QFile file(m_root + "desc.txt");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(GetParam().bytes);
    file.close();
    EXPECT_EQ(readFirstLine(m_root + "desc.txt"), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Table, FirstLineTable,
                         ::testing::Values(FirstLineCase{"CrLf", "Main\r\nsecond\r\n", "Main"},
                                           FirstLineCase{"LfOnly", "Main\nsecond", "Main"},
                                           FirstLineCase{"NoEnding", "Main", "Main"},
                                           FirstLineCase{"EmptyFirstLine", "\r\nx", ""},
                                           FirstLineCase{"EmptyFile", "", std::nullopt},
                                           FirstLineCase{"Utf8", "Caf\xc3\xa9\r\n", "Caf\u00e9"},
                                           FirstLineCase{"Latin1", "Caf\xe9\r\n", "Caf\u00e9"}));

struct FolderCase {
    const char* name;
    const char* localRoot;
    const char* subPath;
    const char* folder;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.name;
}

class ProjectFolderTable : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProjectFolderTable, CutsAtTheFirstPlans) {
    EXPECT_EQ(projectFolder(GetParam().localRoot, GetParam().subPath), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProjectFolderTable,
    ::testing::Values(FolderCase{"Usual", "/p/north/", "2004-0815/plans/", "/p/north/2004-0815/"},
                      FolderCase{"DoubledSeparator", "/p//north/", "1-2/plans/", "/p//north/1-2/"},
                      FolderCase{"NoPlans", "/p/north/", "1-2/", "/p/north/1-2/"},
                      FolderCase{"PlansInIdentifier", "/p/north/", "1-plans/plans/", "/p/north/1-"},
                      FolderCase{"CaseMatters", "/p/north/", "1-PLANS/plans/",
                                 "/p/north/1-PLANS/"}));

}  // namespace
}  // namespace sw::plans
