#include "planserver/plan_server.h"

#include "planserver/response_stream.h"
#include "planserver/static_files.h"

#include <cstdio>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QTcpServer>
#include <QTcpSocket>

namespace sw::tools {

namespace {

QByteArray reasonPhrase(int status) {
    static const std::pair<int, const char*> kReasons[] = {
        {200, "OK"},
        {204, "No Content"},
        {301, "Moved Permanently"},
        {302, "Found"},
        {304, "Not Modified"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {405, "Method Not Allowed"},
        {408, "Request Timeout"},
        {410, "Gone"},
        {429, "Too Many Requests"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Timeout"},
    };
    for (const auto& [code, reason] : kReasons) {
        if (code == status) {
            return reason;
        }
    }
    return "Status";
}

QString methodName(QHttpServerRequest::Method method) {
    switch (method) {
        case QHttpServerRequest::Method::Get:
            return QStringLiteral("GET");
        case QHttpServerRequest::Method::Head:
            return QStringLiteral("HEAD");
        case QHttpServerRequest::Method::Post:
            return QStringLiteral("POST");
        case QHttpServerRequest::Method::Put:
            return QStringLiteral("PUT");
        case QHttpServerRequest::Method::Delete:
            return QStringLiteral("DELETE");
        case QHttpServerRequest::Method::Options:
            return QStringLiteral("OPTIONS");
        default:
            return QStringLiteral("OTHER");
    }
}

// 204 and 304 answers carry no body by definition.
bool statusHasBody(int status) {
    return status != 204 && status != 304;
}

}  // namespace

PlanServerReply PlanServerReply::text(int status, const QByteArray& text) {
    PlanServerReply reply;
    reply.status = status;
    reply.body = statusHasBody(status) ? text : QByteArray();
    return reply;
}

PlanServerReply PlanServerReply::error(int status) {
    return text(status, QByteArray::number(status) + ' ' + reasonPhrase(status) + '\n');
}

PlanServer::PlanServer(PlanServerOptions options, QObject* parent)
    : QAbstractHttpServer(parent), m_options(std::move(options)) {}

PlanServer::~PlanServer() {
    stop();
}

quint16 PlanServer::start(quint16 port) {
    stop();
    const QFileInfo root(m_options.root);
    if (m_options.root.isEmpty() || !root.isDir()) {
        m_error = QStringLiteral("'%1' is not a folder").arg(m_options.root);
        return 0;
    }
    m_canonicalRoot = root.canonicalFilePath();
    auto* server = new QTcpServer(this);
    if (!server->listen(QHostAddress::LocalHost, port)) {
        m_error = QStringLiteral("cannot listen on 127.0.0.1:%1: %2")
                      .arg(port)
                      .arg(server->errorString());
        delete server;
        return 0;
    }
    bind(server);
    m_port = server->serverPort();
    m_error.clear();
    return m_port;
}

void PlanServer::stop() {
    for (ResponseStream* stream : findChildren<ResponseStream*>()) {
        stream->abortConnection();
    }
    for (QTcpServer* server : servers()) {
        server->close();
        delete server;
    }
    m_port = 0;
}

QUrl PlanServer::baseUrl() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port));
}

void PlanServer::addRoute(const QString& glob, Route route) {
    m_routes.append({glob, std::move(route)});
}

PlanServerReply PlanServer::serveFromRoot(const QByteArray& encodedPath,
                                          const QString& path) const {
    const ResolvedPath resolved = resolveUnderRoot(m_canonicalRoot, encodedPath);
    switch (resolved.kind) {
        case PathKind::NotFound:
            return PlanServerReply::error(404);
        case PathKind::Forbidden:
            return PlanServerReply::error(403);
        case PathKind::Directory: {
            const QString index = resolved.filePath + QStringLiteral("/index.html");
            if (!path.endsWith(u'/')) {
                PlanServerReply reply = PlanServerReply::error(301);
                reply.headers.emplaceBack("Location", encodedPath + '/');
                return reply;
            }
            PlanServerReply reply;
            reply.contentType = "text/html; charset=utf-8";
            if (QFileInfo(index).isFile()) {
                reply.filePath = index;
            } else {
                reply.body = directoryListing(resolved.filePath, path);
            }
            return reply;
        }
        case PathKind::File:
            break;
    }
    PlanServerReply reply;
    reply.contentType = contentTypeFor(resolved.filePath);
    reply.filePath = resolved.filePath;
    return reply;
}

PlanServerReply PlanServer::answer(const QHttpServerRequest& request, const QString& path) const {
    const QHttpServerRequest::Method method = request.method();
    if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
        PlanServerReply reply = PlanServerReply::error(405);
        reply.headers.emplaceBack("Allow", "GET, HEAD");
        return reply;
    }
    if (const PathRule* rule = findRule(m_options.status, path)) {
        return PlanServerReply::error(static_cast<int>(rule->value));
    }
    for (const auto& [glob, route] : m_routes) {
        if (globMatches(glob, path)) {
            if (std::optional<PlanServerReply> reply = route(request, path)) {
                return *reply;
            }
        }
    }
    return serveFromRoot(request.url().path(QUrl::FullyEncoded).toUtf8(), path);
}

bool PlanServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QString path = decodeUrlPath(request.url().path(QUrl::FullyEncoded).toUtf8());
    PlanServerReply reply = answer(request, path);

    std::unique_ptr<QIODevice> body;
    if (!reply.filePath.isEmpty()) {
        auto file = std::make_unique<QFile>(reply.filePath);
        if (file->open(QIODevice::ReadOnly)) {
            body = std::move(file);
        } else {
            reply = PlanServerReply::error(403);
        }
    }
    if (!body) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(reply.body);
        buffer->open(QIODevice::ReadOnly);
        body = std::move(buffer);
    }

    StreamPlan plan;
    if (const PathRule* rule = findRule(m_options.delayMs, path)) {
        plan.delayMs = rule->value;
    }
    if (const PathRule* rule = findRule(m_options.throttle, path)) {
        plan.bytesPerSecond = rule->value;
    }
    if (matchesAny(m_options.truncate, path)) {
        plan.ending = StreamEnding::Cut;
    } else if (matchesAny(m_options.stall, path)) {
        plan.ending = StreamEnding::Stall;
    }
    plan.headersOnly = request.method() == QHttpServerRequest::Method::Head;
    for (const auto& [name, value] : request.headers()) {
        if (name.compare("Connection", Qt::CaseInsensitive) == 0 &&
            value.trimmed().compare("close", Qt::CaseInsensitive) == 0) {
            plan.closeAfter = true;
        }
    }

    auto* stream = new ResponseStream(makeResponder(request, socket), socket, reply,
                                      std::move(body), plan, this);
    const QString method = methodName(request.method());
    connect(stream, &ResponseStream::started, this, [this, method, path](int status) {
        if (m_options.log) {
            std::fprintf(stderr, "%s %s %d\n", qPrintable(method), path.toUtf8().constData(),
                         status);
            std::fflush(stderr);
        }
        emit requestServed(method, path, status);
    });
    stream->start();
    return true;
}

void PlanServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    makeResponder(request, socket)
        .write(QByteArray("404 Not Found\n"), "text/plain",
               QHttpServerResponder::StatusCode::NotFound);
}

}  // namespace sw::tools
