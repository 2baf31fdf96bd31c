#pragma once

#include <optional>

#include <QList>
#include <QString>
#include <QStringList>

// What the plan server serves and the faults it injects, as read from its command line. The fault
// rules exist for tests and demos of the viewer's download paths: a slow download shows progress,
// an error status or a cut connection must give a clear message, a stalled one must not hang the
// viewer.
namespace sw::tools {

// A path glob and a number. The glob is matched against the whole decoded URL path
// ("/2004/0815/plans/A-101.tif") with shell wildcards ("*", "?", "[...]"); "*" also crosses "/",
// so "*.tif" matches every sheet and "*/A-102.tif" one sheet in any project.
struct PathRule {
    QString glob;
    qint64 value = 0;
};

struct PlanServerOptions {
    QString root;              // folder served read-only
    quint16 port = 0;          // 0 picks a free port
    QList<PathRule> throttle;  // bytes per second of the body
    QList<PathRule> status;    // HTTP status answered instead of the content
    QStringList truncate;      // globs: full Content-Length, half the body, then close
    QStringList stall;         // globs: headers and half the body, then silence
    QList<PathRule> delayMs;   // milliseconds before the answer starts
    bool log = false;          // one line per request on stderr
};

bool globMatches(const QString& glob, const QString& path);
bool matchesAny(const QStringList& globs, const QString& path);
// The first rule whose glob matches `path`, or nullptr. Earlier rules win.
const PathRule* findRule(const QList<PathRule>& rules, const QString& path);

struct PlanServerArguments {
    std::optional<PlanServerOptions> options;  // empty after --help or an error
    QString message;                           // usage text or the error, for the user
    bool helpRequested = false;                // message is the usage text for stdout
};

// Reads the command line without the program name. A rule without a glob ("--throttle 20000")
// applies to every path. Errors name the offending option and value.
PlanServerArguments parsePlanServerArguments(const QStringList& arguments);

}  // namespace sw::tools
