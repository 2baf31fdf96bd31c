#pragma once

#include "planserver/plan_server_options.h"

#include <functional>
#include <optional>
#include <utility>

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// The demo and test plan server: serves a folder read-only over HTTP on 127.0.0.1 in the plan
// server's layout (<root>/2004/0815/plans/A-101.tif) and injects the faults of its options
// (error statuses, slow, cut and stalled bodies, delays) so the viewer's download paths can be
// shown and tested.
//
// Usable in-process: a test creates a PlanServer, calls start() and fetches from baseUrl(). The
// server works on the thread it was created on and never blocks it; the client must therefore
// not block that thread while it waits for an answer (use an event loop, or BackgroundPlanServer).
namespace sw::tools {

// One answer before faults are applied. A body comes either from memory or from a file that is
// streamed from disk.
struct PlanServerReply {
    int status = 200;
    QByteArray contentType = "text/plain; charset=utf-8";
    QByteArray body;
    QString filePath;  // when set, the body is this file's content and `body` is ignored
    QList<std::pair<QByteArray, QByteArray>> headers;  // extra headers

    static PlanServerReply text(int status, const QByteArray& text);
    static PlanServerReply error(int status);  // "404 Not Found" and so on, as text
};

class PlanServer : public QAbstractHttpServer {
    Q_OBJECT

public:
    // A handler for paths the folder does not hold, such as generated pages. It gets the decoded
    // URL path and answers, or returns nothing to let the next route or the folder answer.
    using Route = std::function<std::optional<PlanServerReply>(const QHttpServerRequest& request,
                                                               const QString& path)>;

    explicit PlanServer(PlanServerOptions options, QObject* parent = nullptr);
    ~PlanServer() override;

    // Listens on 127.0.0.1:`port` (0 picks a free port) and returns the port, or 0 when the port
    // cannot be had or the root is not a folder; errorString() then says why.
    quint16 start(quint16 port = 0);
    // Stops listening and drops every open connection, stalled ones included.
    void stop();

    quint16 port() const { return m_port; }
    QUrl baseUrl() const;  // http://127.0.0.1:PORT/
    QString errorString() const { return m_error; }

    // Routes are tried in the order added, after the --status rules and before the folder.
    // `glob` selects the paths (see PathRule).
    void addRoute(const QString& glob, Route route);

signals:
    // Emitted when the answer to a request starts (after any delay), with its status.
    void requestServed(const QString& method, const QString& path, int status);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    PlanServerReply answer(const QHttpServerRequest& request, const QString& path) const;
    PlanServerReply serveFromRoot(const QByteArray& encodedPath, const QString& path) const;

    PlanServerOptions m_options;
    QString m_canonicalRoot;
    QList<std::pair<QString, Route>> m_routes;
    quint16 m_port = 0;
    QString m_error;
};

}  // namespace sw::tools
