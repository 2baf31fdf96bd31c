#pragma once

#include "planserver/plan_server.h"

#include <functional>
#include <memory>

#include <QObject>
#include <QThread>
#include <QUrl>

// A PlanServer on a thread of its own, for tests whose client blocks the calling thread (a
// synchronous fetch, a worker waited for) and would otherwise starve a server on the same thread.
// The object itself is used from one thread; the server lives on the inner thread until stop()
// or destruction.
namespace sw::tools {

class BackgroundPlanServer {
public:
    explicit BackgroundPlanServer(PlanServerOptions options);
    ~BackgroundPlanServer();
    BackgroundPlanServer(const BackgroundPlanServer&) = delete;
    BackgroundPlanServer& operator=(const BackgroundPlanServer&) = delete;

    // Runs `change` on the server's thread and waits for it, for addRoute() or connecting to
    // requestServed (connect with a context object of the caller's thread).
    void configure(const std::function<void(PlanServer&)>& change);

    // As PlanServer::start, waiting until the server listens.
    quint16 start(quint16 port = 0);
    void stop();

    QUrl baseUrl() const;
    QString errorString() const;

private:
    QThread m_thread;
    QObject* m_context = nullptr;  // lives on m_thread, parent of the server
    PlanServer* m_server = nullptr;
    QUrl m_baseUrl;
    QString m_error;
};

}  // namespace sw::tools
