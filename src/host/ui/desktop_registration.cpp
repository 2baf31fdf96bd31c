#include "host/ui/desktop_registration.h"

#include <cstdio>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "base/whole_file.h"
#include "host/desktop_entry.h"

namespace sw::host {

namespace {

constexpr int kToolTimeoutMs = 30000;
constexpr char kExecPlaceholder[] = "@SHEETWISE_EXEC@";

struct InstalledFile {
    const char* resource;  // in the library's resources
    const char* path;      // under the XDG data folder
};

constexpr InstalledFile kFiles[] = {
    {":/sheetwise/sheetwise.desktop.in", "applications/sheetwise.desktop"},
    {":/sheetwise/icons/hicolor/scalable/apps/sheetwise.svg",
     "icons/hicolor/scalable/apps/sheetwise.svg"},
    {":/sheetwise/icons/hicolor/128x128/apps/sheetwise.png",
     "icons/hicolor/128x128/apps/sheetwise.png"},
    {":/sheetwise/sheetwise.metainfo.xml", "metainfo/io.sheetwise.Sheetwise.metainfo.xml"},
};

void say(const QString& text) {
    std::printf("sheetwise: %s\n", qPrintable(text));
    std::fflush(stdout);
}

void complain(const QString& text) {
    std::fprintf(stderr, "sheetwise: %s\n", qPrintable(text));
}

QString xdgFolder(const char* variable, const char* fallbackUnderHome) {
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) {
        return QDir::cleanPath(value);
    }
    return QDir(QDir::homePath()).filePath(QLatin1String(fallbackUnderHome));
}

QString dataHome() {
    return xdgFolder("XDG_DATA_HOME", ".local/share");
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString failure = base::replaceFileWhole(path, content);
    if (!failure.isEmpty()) {
        complain(QStringLiteral("cannot write %1: %2").arg(path, failure));
        return false;
    }
    say(QStringLiteral("installed %1").arg(path));
    return true;
}

// Runs a desktop tool; returns false with its complaint when it fails. A missing tool is `missing`.
bool runTool(const QString& program, const QStringList& arguments, bool* missing = nullptr) {
    const QString path = QStandardPaths::findExecutable(program);
    if (missing != nullptr) {
        *missing = path.isEmpty();
    }
    if (path.isEmpty()) {
        return false;
    }
    QProcess process;
    process.start(path, arguments);
    if (!process.waitForFinished(kToolTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        complain(QStringLiteral("%1 %2 failed: %3")
                     .arg(program, arguments.join(u' '),
                          QString::fromLocal8Bit(process.readAllStandardError()).trimmed()));
        return false;
    }
    return true;
}

// The desktop's menu cache of the applications folder, when the tool is there.
void refreshDesktopDatabase() {
    runTool(QStringLiteral("update-desktop-database"),
            {QDir(dataHome()).filePath(QStringLiteral("applications"))});
}

int registerHandler() {
    const std::optional<QString> exec = desktopExecProgram(QCoreApplication::applicationFilePath());
    if (!exec) {
        complain(QStringLiteral("the path of this program cannot be written into a desktop entry"));
        return 1;
    }
    bool ok = true;
    for (const InstalledFile& file : kFiles) {
        QFile resource(QLatin1String(file.resource));
        QByteArray content = resource.open(QIODevice::ReadOnly) ? resource.readAll() : QByteArray();
        content.replace(kExecPlaceholder, exec->toUtf8());
        ok = writeFile(QDir(dataHome()).filePath(QLatin1String(file.path)), content) && ok;
    }
    if (!ok) {
        return 1;
    }
    refreshDesktopDatabase();
    bool missing = false;
    if (runTool(QStringLiteral("xdg-mime"),
                {QStringLiteral("default"), QLatin1String(kDesktopFileName),
                 QLatin1String(kSchemeMimeType)},
                &missing)) {
        say(QStringLiteral("links that start with sheetwise: now open %1")
                .arg(QCoreApplication::applicationFilePath()));
        return 0;
    }
    if (missing) {
        say(
            QStringLiteral("xdg-mime is not installed, so sheetwise: links are not yet set to "
                           "open Sheetwise; install xdg-utils and run sheetwise --register again"));
        return 0;
    }
    return 1;
}

// Takes the handler out of a mimeapps.list, when it names it.
void removeDefault(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    const QString changed =
        withoutMimeHandler(text, QLatin1String(kSchemeMimeType), QLatin1String(kDesktopFileName));
    if (changed == text) {
        return;
    }
    const QString failure = base::replaceFileWhole(path, changed.toUtf8());
    if (failure.isEmpty()) {
        say(QStringLiteral("removed the sheetwise: default from %1").arg(path));
    } else {
        complain(QStringLiteral("cannot write %1: %2").arg(path, failure));
    }
}

int unregisterHandler() {
    bool ok = true;
    for (const InstalledFile& file : kFiles) {
        const QString path = QDir(dataHome()).filePath(QLatin1String(file.path));
        if (!QFileInfo::exists(path)) {
            continue;
        }
        if (QFile::remove(path)) {
            say(QStringLiteral("removed %1").arg(path));
        } else {
            complain(QStringLiteral("cannot remove %1").arg(path));
            ok = false;
        }
    }
    removeDefault(QDir(xdgFolder("XDG_CONFIG_HOME", ".config")).filePath("mimeapps.list"));
    removeDefault(QDir(dataHome()).filePath(QStringLiteral("applications/mimeapps.list")));
    refreshDesktopDatabase();
    return ok ? 0 : 1;
}

}  // namespace

int runRegistrationCommand(int argc, char** argv, bool unregister) {
    QCoreApplication app(argc, argv);
    return unregister ? unregisterHandler() : registerHandler();
}

}  // namespace sw::host
