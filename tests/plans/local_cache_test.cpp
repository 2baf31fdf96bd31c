#include "plans/local_cache.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "plans/path_rules.h"
#include "plans/plan_test_support.h"
#include "support/test_paths.h"

namespace sw::plans {
namespace {

using test::errorOf;

// Forbidden characters become blanks, and whatever the name, the sheet file lands directly in its
// folder, never beside it.
TEST(CleanFileName, ReplacesForbiddenCharactersAndStaysInTheFolder) {
    const std::pair<QString, QString> cases[] = {
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
        const QString file = sheetFilePath(folder, in);
        EXPECT_EQ(file, folder + out + ".tif");
        EXPECT_TRUE(isInsideFolder(folder, file)) << file.toStdString();
    }
    EXPECT_FALSE(isInsideFolder("/plans/north", "/plans/north-east/A1.tif")) << "a sibling";
}

class CacheFixture : public ::testing::Test {
protected:
    void put(const QString& name, const QByteArray& bytes = {}) {
        ASSERT_TRUE(sw::test::writeFile(m_root + name, bytes));
    }

    QTemporaryDir m_dir;
    QString m_root = m_dir.path() + '/';
};

// Every missing level is made, existing ones are fine, and the folders made are taken away again
// innermost first. A level that cannot be made is skipped, and the write that follows fails with
// a clear error.
TEST_F(CacheFixture, CreateFolderPathMakesWhatItCanAndTheWriteAfterSaysWhy) {
    for (const char* path : {"plans/north/2004-0815/", "plans//north/1-2", "a:b/c"}) {
        CreateFolderPath(m_root + path);
        CreateFolderPath(m_root + path);
        EXPECT_TRUE(QFileInfo(m_root + path).isDir()) << path;
    }
    RemoveEmptyFolders(CreateFolderPath(m_root + "x/y/z/"));
    EXPECT_FALSE(FolderExists(m_root + "x"));
    EXPECT_EQ(errorOf([] { CreateFolderPath("C:/"); }), "Subscript out of range");
    put("file");
    EXPECT_NO_THROW(CreateFolderPath(m_root + "file/sub/"));
    EXPECT_EQ(errorOf([&] { writeDescriptionOnce(m_root + "file/sub/", "P"); }), "Path not found");
}

TEST_F(CacheFixture, FolderExistsForFilesAndFoldersOnly) {
    put("s1.tif");
    const std::pair<QString, bool> cases[] = {
        {m_root, true},           {m_root + "s1.tif", true}, {m_root + "s1.tif/", false},
        {m_root + "gone", false}, {QString(), false},        {m_root + QChar(0), false}};
    for (const auto& [path, exists] : cases) {
        EXPECT_EQ(FolderExists(path), exists) << path.toStdString();
    }
}

// desc.txt is written once, in UTF-8 with CR LF; its first line reads back up to the line end,
// as UTF-8 when valid and Latin-1 otherwise.
TEST_F(CacheFixture, DescriptionIsWrittenOnceAndReadBackByItsFirstLine) {
    EXPECT_TRUE(writeDescriptionOnce(m_root, "Caf\u00e9"));
    EXPECT_FALSE(writeDescriptionOnce(m_root, "Renamed Project"));
    EXPECT_EQ(sw::test::readFile(m_root + "desc.txt"), "Caf\xc3\xa9\r\n");
    EXPECT_EQ(readFirstLine(m_root + "desc.txt"), "Caf\u00e9");
    const std::pair<QByteArray, std::optional<QString>> cases[] = {
        {"Main\nsecond", "Main"}, {"Main", "Main"}, {"\r\nx", ""}, {"Caf\xe9\r\n", "Caf\u00e9"}};
    for (const auto& [bytes, line] : cases) {
        put("desc.txt", bytes);
        EXPECT_EQ(readFirstLine(m_root + "desc.txt"), line) << bytes.toStdString();
    }
    put("empty.txt");
    EXPECT_EQ(readFirstLine(m_root + "empty.txt"), std::nullopt);
    EXPECT_EQ(readFirstLine(m_root + "missing.txt"), std::nullopt);
}

TEST(ProjectFolder, CutsAtTheFirstPlans) {
    EXPECT_EQ(projectFolder("/p/north/", "2004-0815/plans/"), "/p/north/2004-0815/");
    EXPECT_EQ(projectFolder("/p/north/", "1-2/"), "/p/north/1-2/");
    EXPECT_EQ(projectFolder("/p/north/", "1-plans/plans/"), "/p/north/1-");
    EXPECT_EQ(projectFolder("/p/north/", "1-PLANS/plans/"), "/p/north/1-PLANS/");
}

}  // namespace
}  // namespace sw::plans
