// GoogleTest entry point shared by every test executable. A QApplication exists for the whole run
// so that widget tests and QObject event loops work; without a display set, the offscreen
// platform is used.
//
// Each test process also gets a home of its own (HOME and the XDG folders point into a temporary
// folder removed at exit), so tests never read or write the developer's settings file, plan
// folder or runtime sockets, and parallel test processes never see each other's files. Set
// SW_TEST_REAL_HOME=1 to keep the caller's environment.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void isolateHome(const QTemporaryDir& home) {
    const QDir root(home.path());
    const struct {
        const char* variable;
        const char* folder;
    } folders[] = {
        {"HOME", "home"},
        {"XDG_CONFIG_HOME", "home/.config"},
        {"XDG_DATA_HOME", "home/.local/share"},
        {"XDG_CACHE_HOME", "home/.cache"},
        {"XDG_RUNTIME_DIR", "runtime"},
    };
    for (const auto& f : folders) {
        const QString path = root.filePath(QString::fromLatin1(f.folder));
        QDir().mkpath(path);
        qputenv(f.variable, QFile::encodeName(path));
    }
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/sheetwise-test-XXXXXX"));
    if (qEnvironmentVariableIsEmpty("SW_TEST_REAL_HOME") && home.isValid()) {
        isolateHome(home);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
