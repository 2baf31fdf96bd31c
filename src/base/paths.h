#pragma once

#include <QChar>
#include <QString>

// Path conventions of the local plan folder and the settings file. The system builds its paths
// by joining texts with the folder separator (and accepts doubled separators, which the file
// system reads as one); on this platform the separator is "/", on Windows builds "\".
namespace sw::base {

#ifdef Q_OS_WIN
inline constexpr QChar kPathSeparator = QLatin1Char('\\');
#else
inline constexpr QChar kPathSeparator = QLatin1Char('/');
#endif

// True for the platform separator and for "/", which every platform accepts.
inline bool isPathSeparator(QChar c) {
    return c == kPathSeparator || c == QLatin1Char('/');
}

// `path` with one separator appended unless it already ends in one.
inline QString withTrailingSeparator(const QString& path) {
    if (!path.isEmpty() && isPathSeparator(path.back())) {
        return path;
    }
    return path + kPathSeparator;
}

}  // namespace sw::base
