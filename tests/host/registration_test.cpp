// sheetwise --register / --unregister in a home of the test's own, checked with the desktop's own
// tools where they are installed.
#include "host_test_support.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace sw::host {
namespace {

const char* const kInstalled[] = {
    "applications/sheetwise.desktop",
    "icons/hicolor/scalable/apps/sheetwise.svg",
    "icons/hicolor/128x128/apps/sheetwise.png",
    "metainfo/io.sheetwise.Sheetwise.metainfo.xml",
};

class Registration : public ::testing::Test {
protected:
    void SetUp() override { m_env.insert("XDG_DATA_DIRS", m_root.filePath("data")); }

    test::ProcessRun sheetwise(const char* option) const {
        return test::runSheetwise(m_env, {option});
    }
    QString data(const char* path) const { return m_root.filePath(QString("data/") + path); }

    // The tool's run; nothing when it is not installed.
    std::optional<test::ProcessRun> tool(const char* name, const QStringList& args) const {
        const QString path = QStandardPaths::findExecutable(name);
        return path.isEmpty() ? std::nullopt : std::optional(test::runProgram(m_env, path, args));
    }

    QTemporaryDir m_root;
    QProcessEnvironment m_env = test::isolatedEnvironment(m_root.path());
};

TEST_F(Registration, InstallsTheLinkHandlerAndRemovesItAgainOrSaysWhyNot) {
    const test::ProcessRun registered = sheetwise("--register");
    ASSERT_EQ(registered.exitCode, 0) << registered.err.toStdString();
    for (const char* path : kInstalled) {
        EXPECT_GT(QFileInfo(data(path)).size(), 0) << path;
    }
    const QString entry = data("applications/sheetwise.desktop");
    const QByteArray text = test::readFile(entry);
    EXPECT_TRUE(text.contains("\nExec=" + sw::test::binPath("sheetwise").toUtf8() + " %u\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\nMimeType=x-scheme-handler/sheetwise;\n")) << text.toStdString();

    if (const auto valid = tool("desktop-file-validate", {entry})) {
        EXPECT_EQ(valid->exitCode, 0) << valid->out.toStdString();
    }
    if (const auto handler = tool("xdg-mime", {"query", "default", "x-scheme-handler/sheetwise"})) {
        EXPECT_EQ(handler->out.trimmed(), "sheetwise.desktop");
    }

    const test::ProcessRun unregistered = sheetwise("--unregister");
    EXPECT_EQ(unregistered.exitCode, 0) << unregistered.err.toStdString();
    for (const char* path : kInstalled) {
        EXPECT_FALSE(QFileInfo::exists(data(path))) << path;
    }

    // Without xdg-mime the files are still installed and the user is told; a data folder that
    // cannot be written fails with the reason.
    m_env.insert("PATH", m_root.filePath("empty-bin"));
    const test::ProcessRun withoutXdgMime = sheetwise("--register");
    EXPECT_EQ(withoutXdgMime.exitCode, 0) << withoutXdgMime.err.toStdString();
    EXPECT_TRUE(withoutXdgMime.out.contains("xdg-mime is not installed"))
        << withoutXdgMime.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(data("applications/sheetwise.desktop")));

    ASSERT_TRUE(QDir(m_root.filePath("data")).removeRecursively());
    ASSERT_TRUE(test::writeFile(m_root.filePath("data"), ""));  // a file where the folder would be
    const test::ProcessRun unwritable = sheetwise("--register");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_TRUE(unwritable.err.contains("cannot write")) << unwritable.err.toStdString();
}

}  // namespace
}  // namespace sw::host
