#include "plans/local_cache.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "plans/path_rules.h"
#include "plans/plan_test_support.h"

namespace sw::plans {
namespace {

using test::errorOf;

// Forbidden characters become blanks, and whatever the name, the sheet file lands directly in its
// folder.
TEST(CleanFileName, ReplacesForbiddenCharactersAndStaysInTheFolder) {
    const std::pair<QString, QString> cases[] = {
        {"A-101 Site Plan", "A-101 Site Plan"},
        {"A/B: Details?", "A B  Details "},
        {"/\\|<>:*?", "        "},
        {"6\" Slab", "6\" Slab"},
        {"..", ".."},
        {"../../etc/passwd", ".. .. etc passwd"},
        {QString("a") + QChar(0) + "b", "a b"},
        {"Plan \u00e9t\u00e9 \u2116 3", "Plan \u00e9t\u00e9 \u2116 3"},
        {"", ""}};
    const QString folder = "/plans/north/1-2/";
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(CleanFileName(in), out);
        const QString file = sheetFilePath(folder, in);
        EXPECT_TRUE(isInsideFolder(folder, file)) << file.toStdString();
        EXPECT_EQ(file, folder + out + ".tif");
    }
}

class CacheFixture : public ::testing::Test {
protected:
    void put(const QString& name, const QByteArray& bytes = {}) {
        QFile file(m_root + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + '/';
};

TEST_F(CacheFixture, CreateFolderPathCreatesEveryLevel) {
    for (const char* path : {"plans/north/2004-0815/", "plans//north/1-2", "a:b/c"}) {
        EXPECT_FALSE(FolderExists(m_root + path));
        CreateFolderPath(m_root + path);
        CreateFolderPath(m_root + path);  // existing levels are fine
        EXPECT_TRUE(QFileInfo(m_root + path).isDir()) << path;
    }
    EXPECT_EQ(errorOf([] { CreateFolderPath("C:/"); }), "Subscript out of range");
}

// A level that cannot be created is skipped; the write that follows fails.
TEST_F(CacheFixture, CreateFolderPathIgnoresFailuresAndTheWriteAfterFails) {
    put("file");
    EXPECT_NO_THROW(CreateFolderPath(m_root + "file/sub/"));
    EXPECT_FALSE(FolderExists(m_root + "file/sub/"));
    EXPECT_FALSE(errorOf([&] { writeDescriptionOnce(m_root + "file/sub/", "P"); }).isEmpty());
    EXPECT_EQ(errorOf([&] { writeDescriptionOnce(m_root + "missing/", "P"); }), "Path not found");
}

TEST_F(CacheFixture, FolderExistsForFilesAndFolders) {
    put("s1.tif");
    for (const QString& path : {m_root, m_dir.path(), m_root + "s1.tif"}) {
        EXPECT_TRUE(FolderExists(path)) << path.toStdString();
    }
    for (const QString& path :
         {m_root + "s1.tif/", m_root + "missing", QString(), m_root + QChar(0)}) {
        EXPECT_FALSE(FolderExists(path)) << path.toStdString();
    }
}

TEST_F(CacheFixture, DescriptionIsWrittenOnceWithCrLf) {
    EXPECT_TRUE(writeDescriptionOnce(m_root, "Main Street School"));
    EXPECT_FALSE(writeDescriptionOnce(m_root, "Renamed Project"));
    QFile file(m_root + "desc.txt");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Main Street School\r\n");
    EXPECT_EQ(readFirstLine(m_root + "desc.txt"), "Main Street School");
}

TEST_F(CacheFixture, FirstLineReadsUpToTheLineEnd) {
    struct Case {
        QByteArray bytes;
        std::optional<QString> line;
    };
    for (const Case& c : {Case{"Main\r\nsecond\r\n", "Main"}, Case{"Main\nsecond", "Main"},
                          Case{"Main", "Main"}, Case{"\r\nx", ""}, Case{"", std::nullopt},
                          Case{"Caf\xc3\xa9\r\n", "Caf\u00e9"}, Case{"Caf\xe9\r\n", "Caf\u00e9"}}) {
        put("desc.txt", c.bytes);
        EXPECT_EQ(readFirstLine(m_root + "desc.txt"), c.line) << c.bytes.toStdString();
    }
    EXPECT_EQ(readFirstLine(m_root + "missing.txt"), std::nullopt);
}

TEST(ProjectFolder, CutsAtTheFirstPlans) {
    EXPECT_EQ(projectFolder("/p/north/", "2004-0815/plans/"), "/p/north/2004-0815/");
    EXPECT_EQ(projectFolder("/p//north/", "1-2/plans/"), "/p//north/1-2/");
    EXPECT_EQ(projectFolder("/p/north/", "1-2/"), "/p/north/1-2/");
    EXPECT_EQ(projectFolder("/p/north/", "1-plans/plans/"), "/p/north/1-");
    EXPECT_EQ(projectFolder("/p/north/", "1-PLANS/plans/"), "/p/north/1-PLANS/");
}

}  // namespace
}  // namespace sw::plans
