#include "base/preferences.h"

#include <QDir>

#include "base/ini_store.h"
#include "base/paths.h"

namespace sw::base {

namespace {

bool startsWithOne(const QString& value) {
    return value.startsWith(QLatin1Char('1'));
}

QString readPref(const ProfileFile& settings, const char* key) {
    return settings.value(QLatin1String(kPrefsSection), QLatin1String(key),
                          QLatin1String(kAbsentValue));
}

}  // namespace

QString defaultPlanDirectory() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\SheetwisePlans");
#else
    return QDir::homePath() + QStringLiteral("/SheetwisePlans");
#endif
}

QString iniPathFromSystemRoot(const QString& systemRoot) {
    return withTrailingSeparator(systemRoot) + QLatin1String(kSettingsFileName);
}

QString settingsIniPath() {
    const QString systemRoot = qEnvironmentVariable("SystemRoot");
    if (!systemRoot.isEmpty()) {
        return iniPathFromSystemRoot(systemRoot);
    }
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty()) {
        configHome = QDir::homePath() + QStringLiteral("/.config");
    }
    return withTrailingSeparator(configHome) + QLatin1String(kSettingsFileName);
}

Preferences ReadPreferences(const QString& iniPath) {
    const ProfileFile settings = ProfileFile::read(iniPath);
    Preferences prefs;
    prefs.problem = settings.error();
    const QString folder = readPref(settings, kPlanDirectoryKey);
    if (folder.compare(QLatin1String(kAbsentValue), Qt::CaseInsensitive) == 0) {
        if (prefs.problem.isEmpty()) {
            WriteDefaultPlanDirectory(iniPath);
        }
        prefs.planDirectory = defaultPlanDirectory();
    } else {
        prefs.planDirectory = folder;
    }
    prefs.printInBlue = startsWithOne(readPref(settings, kPrintInBlueKey));
    prefs.reversePrint = startsWithOne(readPref(settings, kReversePrintKey));
    return prefs;
}

void WriteDefaultPlanDirectory(const QString& iniPath) {
    writeProfileString(iniPath, QLatin1String(kPrefsSection), QLatin1String(kPlanDirectoryKey),
                       defaultPlanDirectory());
}

}  // namespace sw::base
