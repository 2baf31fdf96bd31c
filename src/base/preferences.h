#pragma once

#include <QString>

// The "Prefs" section of the settings file and where that file lives. Shared by FastViewer, which
// reads the plan folder on every ResetRoot and InitVars, and the preferences dialog, which edits
// the section. Every function reads the file anew, once (see ini_store.h); nothing is cached.
namespace sw::base {

inline constexpr char kSettingsFileName[] = "Sheetwise.ini";
inline constexpr char kPrefsSection[] = "Prefs";
inline constexpr char kPlanDirectoryKey[] = "Plan Directory";
inline constexpr char kPrintInBlueKey[] = "Print In Blue";
inline constexpr char kReversePrintKey[] = "Reverse Print";
// The default every settings read passes; a value equal to it (any letter case) counts as absent.
inline constexpr char kAbsentValue[] = "none";

// The plan folder used when the settings name none: ~/SheetwisePlans here, C:\SheetwisePlans on
// Windows builds.
QString defaultPlanDirectory();

// The settings file inside the folder `systemRoot` (the Windows directory): exactly one separator
// between the folder and "Sheetwise.ini", whether or not `systemRoot` ends in one.
QString iniPathFromSystemRoot(const QString& systemRoot);

// Where the settings file lives for this process: inside $SystemRoot when that variable is set
// and not empty, otherwise $XDG_CONFIG_HOME (default ~/.config) / "Sheetwise.ini".
QString settingsIniPath();

// The user's preferences as read by ReadPreferences.
struct Preferences {
    QString planDirectory;  // full path as stored, with or without a trailing separator
    bool printInBlue = false;
    bool reversePrint = false;
    // Why the settings file could not be read (not a file, unreadable, larger than
    // kMaxSettingsFileBytes); empty when it was read or is absent.
    QString problem;
};

// Reads "Prefs" in one read of the file: the plan folder (when absent or "none", writes and
// returns the default), and the two print options, each on exactly when its value starts with
// "1". Never fails: a file that cannot be read gives the defaults and its `problem`, and is left
// alone.
Preferences ReadPreferences(const QString& iniPath);

// Writes the default plan folder as "Plan Directory" into "Prefs". Failures are not reported.
void WriteDefaultPlanDirectory(const QString& iniPath);

}  // namespace sw::base
