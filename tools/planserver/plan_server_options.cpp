#include "planserver/plan_server_options.h"

#include <fnmatch.h>

#include <QCommandLineParser>
#include <QFileInfo>

namespace sw::tools {

namespace {

constexpr qint64 kMaxDelayMs = 3'600'000;

const char* const kUsage =
    "Usage: planserver --root DIR [--port N] [options]\n"
    "Serves the files under DIR read-only over HTTP on 127.0.0.1 (GET and HEAD).\n"
    "\n"
    "  --root DIR                  folder to serve (required)\n"
    "  --port N                    port to listen on; 0 (default) picks a free one\n"
    "  --throttle [GLOB=]BYTES     send bodies at BYTES per second\n"
    "  --status GLOB=CODE          answer CODE (200-599) for matching paths\n"
    "  --truncate GLOB             send the full Content-Length, half the body, then close\n"
    "  --stall GLOB                send the headers and half the body, then nothing more\n"
    "  --delay-ms [GLOB=]N         wait N milliseconds before answering\n"
    "  --log                       print one line per request to stderr\n"
    "  --help                      show this text\n"
    "\n"
    "GLOB is matched against the URL path with shell wildcards; '*' also matches '/'.\n"
    "Every rule option may be given several times; the first matching rule wins.\n";

struct RuleSyntax {
    bool needsGlob;
    qint64 min;
    qint64 max;
};

// Reads "GLOB=N" or, when the glob may be left out, "N" (meaning every path).
std::optional<PathRule> parseRule(const QString& text, const RuleSyntax& syntax) {
    const qsizetype eq = text.lastIndexOf(u'=');
    if (eq < 0 && syntax.needsGlob) {
        return std::nullopt;
    }
    PathRule rule;
    rule.glob = eq < 0 ? QStringLiteral("*") : text.left(eq);
    bool ok = false;
    rule.value = (eq < 0 ? text : text.mid(eq + 1)).toLongLong(&ok);
    if (!ok || rule.glob.isEmpty() || rule.value < syntax.min || rule.value > syntax.max) {
        return std::nullopt;
    }
    return rule;
}

bool readRules(const QCommandLineParser& parser, const QString& name, const RuleSyntax& syntax,
               QList<PathRule>& rules, QString& error) {
    for (const QString& value : parser.values(name)) {
        const std::optional<PathRule> rule = parseRule(value, syntax);
        if (!rule) {
            error = QStringLiteral("planserver: invalid value '%1' for --%2").arg(value, name);
            return false;
        }
        rules.append(*rule);
    }
    return true;
}

}  // namespace

bool globMatches(const QString& glob, const QString& path) {
    return ::fnmatch(glob.toUtf8().constData(), path.toUtf8().constData(), 0) == 0;
}

bool matchesAny(const QStringList& globs, const QString& path) {
    for (const QString& glob : globs) {
        if (globMatches(glob, path)) {
            return true;
        }
    }
    return false;
}

const PathRule* findRule(const QList<PathRule>& rules, const QString& path) {
    for (const PathRule& rule : rules) {
        if (globMatches(rule.glob, path)) {
            return &rule;
        }
    }
    return nullptr;
}

PlanServerArguments parsePlanServerArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {QStringLiteral("root"), QString(), QStringLiteral("DIR")},
        {QStringLiteral("port"), QString(), QStringLiteral("N")},
        {QStringLiteral("throttle"), QString(), QStringLiteral("RULE")},
        {QStringLiteral("status"), QString(), QStringLiteral("RULE")},
        {QStringLiteral("truncate"), QString(), QStringLiteral("GLOB")},
        {QStringLiteral("stall"), QString(), QStringLiteral("GLOB")},
        {QStringLiteral("delay-ms"), QString(), QStringLiteral("RULE")},
        {QStringLiteral("log"), QString()},
        {QStringLiteral("help"), QString()},
    });
    PlanServerArguments result;
    if (!parser.parse(QStringList{QStringLiteral("planserver")} + arguments)) {
        result.message = QStringLiteral("planserver: %1\n%2").arg(parser.errorText(), kUsage);
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        result.message = QString::fromLatin1(kUsage);
        result.helpRequested = true;
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.message = QStringLiteral("planserver: unexpected argument '%1'\n%2")
                             .arg(parser.positionalArguments().constFirst(), kUsage);
        return result;
    }

    PlanServerOptions options;
    options.root = parser.value(QStringLiteral("root"));
    if (options.root.isEmpty()) {
        result.message = QStringLiteral("planserver: --root DIR is required\n%1").arg(kUsage);
        return result;
    }
    if (!QFileInfo(options.root).isDir()) {
        result.message = QStringLiteral("planserver: '%1' is not a folder").arg(options.root);
        return result;
    }
    if (parser.isSet(QStringLiteral("port"))) {
        bool ok = false;
        const uint port = parser.value(QStringLiteral("port")).toUInt(&ok);
        if (!ok || port > 65535) {
            result.message = QStringLiteral("planserver: invalid port '%1'")
                                 .arg(parser.value(QStringLiteral("port")));
            return result;
        }
        options.port = static_cast<quint16>(port);
    }
    if (!readRules(parser, QStringLiteral("throttle"), {false, 1, INT64_MAX / 1000},
                   options.throttle, result.message) ||
        !readRules(parser, QStringLiteral("status"), {true, 200, 599}, options.status,
                   result.message) ||
        !readRules(parser, QStringLiteral("delay-ms"), {false, 0, kMaxDelayMs}, options.delayMs,
                   result.message)) {
        return result;
    }
    options.truncate = parser.values(QStringLiteral("truncate"));
    options.stall = parser.values(QStringLiteral("stall"));
    options.log = parser.isSet(QStringLiteral("log"));
    result.options = options;
    return result;
}

}  // namespace sw::tools
