// sheetwise --register / --unregister in a home of the test's own, checked with the desktop's own
// tools where they are installed.
#include "support/qt_print.h"
#include "support/test_paths.h"
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int kWaitMs = 60000;

const char* const kInstalled[] = {
    "applications/sheetwise.desktop",
    "icons/hicolor/scalable/apps/sheetwise.svg",
    "icons/hicolor/128x128/apps/sheetwise.png",
    "metainfo/io.sheetwise.Sheetwise.metainfo.xml",
};

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        QDir(m_root.path()).mkpath("home");
        QDir(m_root.path()).mkpath("empty-bin");
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert("HOME", m_root.filePath("home"));
        m_env.insert("XDG_DATA_HOME", m_root.filePath("data"));
        m_env.insert("XDG_CONFIG_HOME", m_root.filePath("config"));
        m_env.insert("XDG_DATA_DIRS", m_root.filePath("data"));
        m_env.insert("QT_QPA_PLATFORM", "offscreen");
    }

    ToolRun run(const QString& program, const QStringList& args) const {
        QProcess process;
        process.setProcessEnvironment(m_env);
        process.start(program, args);
        EXPECT_TRUE(process.waitForFinished(kWaitMs)) << program.toStdString();
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    ToolRun sheetwise(const QString& option) const {
        return run(sw::test::binPath("sheetwise"), {option});
    }
    QString data(const char* path) const { return m_root.filePath(QString("data/") + path); }

    // The tool's exit code and output; nothing when it is not installed.
    std::optional<ToolRun> tool(const char* name, const QStringList& args) const {
        const QString path = QStandardPaths::findExecutable(name);
        return path.isEmpty() ? std::nullopt : std::optional<ToolRun>(run(path, args));
    }

    QTemporaryDir m_root;
    QProcessEnvironment m_env;
};

TEST_F(Registration, InstallsTheLinkHandlerAndRemovesItAgain) {
    const ToolRun registered = sheetwise("--register");
    ASSERT_EQ(registered.exitCode, 0) << registered.err.toStdString();
    for (const char* path : kInstalled) {
        EXPECT_GT(QFileInfo(data(path)).size(), 0) << path;
    }
    QFile entry(data("applications/sheetwise.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains("\nExec=" + sw::test::binPath("sheetwise") + " %u\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("\nMimeType=x-scheme-handler/sheetwise;\n")) << text.toStdString();
    EXPECT_EQ(QImage(data("icons/hicolor/128x128/apps/sheetwise.png")).size(), QSize(128, 128));

    if (const auto valid = tool("desktop-file-validate", {entry.fileName()})) {
        EXPECT_EQ(valid->exitCode, 0) << valid->out.toStdString();
    }
    if (const auto valid =
            tool("appstreamcli",
                 {"validate", "--no-net", data("metainfo/io.sheetwise.Sheetwise.metainfo.xml")})) {
        EXPECT_EQ(valid->exitCode, 0) << valid->out.toStdString();
    }
    const QStringList query{"query", "default", "x-scheme-handler/sheetwise"};
    if (const auto handler = tool("xdg-mime", query)) {
        EXPECT_EQ(handler->out.trimmed(), "sheetwise.desktop");
    }

    const ToolRun unregistered = sheetwise("--unregister");
    EXPECT_EQ(unregistered.exitCode, 0) << unregistered.err.toStdString();
    for (const char* path : kInstalled) {
        EXPECT_FALSE(QFileInfo::exists(data(path))) << path;
    }
    if (const auto handler = tool("xdg-mime", query)) {
        EXPECT_EQ(handler->out.trimmed(), "");
    }
}

TEST_F(Registration, WithoutXdgMimeTheFilesAreStillInstalledAndTheUserIsTold) {
    m_env.insert("PATH", m_root.filePath("empty-bin"));
    const ToolRun registered = sheetwise("--register");
    EXPECT_EQ(registered.exitCode, 0) << registered.err.toStdString();
    EXPECT_TRUE(registered.out.contains("xdg-mime is not installed"))
        << registered.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(data("applications/sheetwise.desktop")));
}

TEST_F(Registration, UnwritableDataFolderFailsWithTheReason) {
    QFile blocker(m_root.filePath("data"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder would be
    blocker.close();
    const ToolRun registered = sheetwise("--register");
    EXPECT_EQ(registered.exitCode, 1);
    EXPECT_TRUE(registered.err.contains("cannot write")) << registered.err.toStdString();
}

}  // namespace
