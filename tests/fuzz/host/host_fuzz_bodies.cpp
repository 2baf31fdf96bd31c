#include "host_fuzz_bodies.h"

#include <cstdlib>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

#include "base/caller_trust.h"
#include "base/get_part.h"
#include "base/host_calls.h"
#include "base/ini_store.h"
#include "base/script_error.h"
#include "host/handover_protocol.h"
#include "host/sheetwise_url.h"
#include "plans/project_state.h"

namespace sw::host::fuzz {

namespace {

// An invariant of the code under test; aborting makes the fuzzer keep the input.
void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

QByteArray bytesOf(QByteArrayView data) {
    return data.toByteArray();
}

bool isWebAddress(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}

// Runs one call as the viewer's runner would for the scripting methods that need no window
// (they live in the project state); other names only have their arguments converted.
QJsonObject runScriptingCall(plans::ProjectState& project, const QJsonValue& call) {
    const QJsonArray parts = call.toArray();
    const QString name = parts.at(0).toString();
    QJsonArray args = parts;
    if (!args.isEmpty()) {
        args.removeFirst();
    }
    const auto is = [&](const char* method) {
        return name.compare(QLatin1String(method), Qt::CaseInsensitive) == 0;
    };
    QJsonObject reply{{QStringLiteral("call"), name}, {QStringLiteral("ok"), true}};
    try {
        if (is("SetPlanUrl") || is("GetPart")) {
            base::expectArgumentCount(args, 2, 2);
            QString first = base::stringArgument(args, 0);
            QString second = base::stringArgument(args, 1);
            if (is("GetPart")) {
                const QString before = first;
                const QString part = base::GetPart(first, second);
                require(part + first == before);
                reply.insert(QStringLiteral("result"), part);
            } else {
                project.SetPlanUrl(first, second);
            }
        } else if (is("InitVars")) {
            base::expectArgumentCount(args, 5, 5);
            QString url = base::stringArgument(args, 0);
            QString id = base::stringArgument(args, 1);
            QString projectName = base::stringArgument(args, 2);
            qint32 rotation = base::longArgument(args, 3);
            QString site = base::stringArgument(args, 4);
            project.InitVars(url, id, projectName, rotation, site);
        } else if (is("MakePlanList")) {
            base::expectArgumentCount(args, 1, 1);
            std::vector<plans::TreeNode> nodes;
            project.MakePlanList(base::stringArgument(args, 0), nodes);
            require(project.planLabels.size() == project.planFiles.size());
        } else if (is("SetProjectID") || is("SetProjectName")) {
            base::expectArgumentCount(args, 1, 1);
            QString text = base::stringArgument(args, 0);
            is("SetProjectID") ? project.SetProjectID(text) : project.SetProjectName(text);
        } else if (is("SetImage") || is("SetFirstImage")) {
            base::expectArgumentCount(args, 2, 2);
            // A page's load goes to the web or nowhere.
            require(isWebAddress(project.sheetAddress(base::stringArgument(args, 0))));
        } else {
            for (int i = 0; i < args.size(); ++i) {
                try {
                    (void)base::stringArgument(args, i);
                    (void)base::longArgument(args, i);
                } catch (const base::ScriptError&) {
                }
            }
        }
    } catch (const base::ScriptError& error) {
        reply = {{QStringLiteral("call"), name},
                 {QStringLiteral("ok"), false},
                 {QStringLiteral("error"), error.description()}};
    }
    return reply;
}

}  // namespace

void hostCallDocument(QByteArrayView data) {
    const QByteArray bytes = bytesOf(data);
    QString error;
    const std::optional<QJsonArray> calls = base::parseHostCallDocument(bytes, &error);
    require(calls.has_value() != !error.isEmpty());
    const std::optional<QJsonArray> untrusted = readUntrustedDocument(bytes, &error);
    require(untrusted.has_value() == calls.has_value());
    if (!calls) {
        return;
    }
    plans::ProjectState project;
    project.iniPath = QStringLiteral("/nonexistent/sheetwise-fuzz/Sheetwise.ini");
    const base::CallerTrustScope page(base::Trust::Untrusted);
    for (const QJsonValue& call : *calls) {
        // Every reply reaches the caller as one JSON line saying whether the call ran.
        const QJsonObject reply = runScriptingCall(project, call);
        const QByteArray line = base::replyLine(reply);
        require(!line.contains('\n'));
        require(QJsonDocument::fromJson(line).object().value(QStringLiteral("ok")) ==
                reply.value(QStringLiteral("ok")));
    }
    try {
        project.checkSheetList();
        for (const QString& file : project.planFiles) {
            require(file.isEmpty() || isWebAddress(project.planUrl + file));
        }
    } catch (const base::ScriptError&) {
    }
}

void sheetwiseLink(QByteArrayView data) {
    const QString text = QString::fromUtf8(data);
    QString error;
    const std::optional<SheetwiseUrl> url = parseSheetwiseUrl(text, &error);
    require(url.has_value() != !error.isEmpty());
    if (!url) {
        return;
    }
    require(isSheetwiseUrl(text));
    if (url->action == SheetwiseUrl::Action::Open) {
        require(isWebAddress(url->documentUrl.toString()));
    } else {
        require(url->document.size() <= kMaxDocumentBytes);
        const std::optional<SheetwiseUrl> again =
            parseSheetwiseUrl(sheetwiseCallsUrl(url->document), &error);
        require(again && again->document == url->document);
        (void)readUntrustedDocument(url->document, &error);
    }
    // The link handed over to a running viewer arrives whole, as an untrusted caller's.
    const HandoverRequest request{HandoverKind::Url, base::Trust::Trusted, text, text.toUtf8()};
    HandoverRequestReader reader;
    require(reader.feed(encodeHandoverRequest(request)) == HandoverRequestReader::State::Complete);
    require(reader.request().payload == request.payload);
    require(reader.request().trust == base::Trust::Untrusted);
}

void handoverRequest(QByteArrayView data) {
    if (data.isEmpty()) {
        return;
    }
    const qsizetype piece = 1 + static_cast<unsigned char>(data.front());
    const QByteArray bytes = bytesOf(data.sliced(1));
    HandoverRequestReader reader;
    using State = HandoverRequestReader::State;
    State state = State::NeedMore;
    for (qsizetype at = 0; at < bytes.size() && state == State::NeedMore; at += piece) {
        state = reader.feed(bytes.mid(at, piece));
    }
    if (state == State::Invalid) {
        require(!reader.error().isEmpty());
        require(reader.feed("{}\n") == State::Invalid);
    } else if (state == State::Complete) {
        const HandoverRequest& request = reader.request();
        require(request.payload.size() <= maxHandoverPayload(request.kind, request.trust));
        require(request.kind != HandoverKind::Url || request.trust == base::Trust::Untrusted);
        HandoverRequestReader again;
        require(again.feed(encodeHandoverRequest(request)) == State::Complete);
        require(again.request().kind == request.kind && again.request().trust == request.trust &&
                again.request().payload == request.payload);
        require(again.request().source.size() <= kMaxHandoverSourceLength);
    }
    for (const QByteArray& line : bytes.split('\n')) {
        const HandoverReplyFrame frame = parseHandoverReplyLine(line);
        if (frame.type == HandoverReplyFrame::Type::Reply) {
            const HandoverReplyFrame back =
                parseHandoverReplyLine(handoverReplyLine(frame.reply).chopped(1));
            require(back.type == frame.type && back.reply == frame.reply);
        }
    }
}

void settingsFile(QByteArrayView data) {
    const qsizetype end = data.indexOf('\0');
    const QByteArray file = bytesOf(end < 0 ? data : data.first(end));
    base::ProfileFile profile = base::ProfileFile::fromBytes(file);
    require(profile.bytes() == file);
    if (end < 0) {
        return;
    }
    const QList<QByteArray> entry = bytesOf(data.sliced(end + 1)).split('\0');
    const QString section = QString::fromUtf8(entry.value(0));
    const QString key = QString::fromUtf8(entry.value(1));
    const QString value = QString::fromUtf8(entry.value(2));
    (void)profile.value(section, key, QStringLiteral("none"));
    if (!profile.setValue(section, key, value)) {
        require(profile.bytes() == file);
        return;
    }
    // What is read back is the value as a profile read gives it: without the blanks and tabs
    // around it and without one pair of enclosing quotes.
    QString expected = value;
    while (!expected.isEmpty() && (expected.front() == u' ' || expected.front() == u'\t')) {
        expected.remove(0, 1);
    }
    while (!expected.isEmpty() && (expected.back() == u' ' || expected.back() == u'\t')) {
        expected.chop(1);
    }
    if (expected.size() >= 2 && expected.front() == expected.back() &&
        (expected.front() == u'"' || expected.front() == u'\'')) {
        expected = expected.mid(1, expected.size() - 2);
    }
    const int buffer = static_cast<int>(expected.size()) + 2;
    require(profile.value(section, key, QStringLiteral("none"), buffer) == expected);
    const base::ProfileFile reread = base::ProfileFile::fromBytes(profile.bytes());
    require(reread.value(section, key, QStringLiteral("none"), buffer) == expected);
}

}  // namespace sw::host::fuzz
