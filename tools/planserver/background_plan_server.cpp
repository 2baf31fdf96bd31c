#include "planserver/background_plan_server.h"

namespace sw::tools {

BackgroundPlanServer::BackgroundPlanServer(PlanServerOptions options) {
    m_thread.setObjectName(QStringLiteral("planserver"));
    m_thread.start();
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    QMetaObject::invokeMethod(
        m_context, [this, options] { m_server = new PlanServer(options, m_context); },
        Qt::BlockingQueuedConnection);
}

BackgroundPlanServer::~BackgroundPlanServer() {
    stop();
    m_thread.quit();
    m_thread.wait();
}

void BackgroundPlanServer::configure(const std::function<void(PlanServer&)>& change) {
    QMetaObject::invokeMethod(
        m_context, [this, &change] { change(*m_server); }, Qt::BlockingQueuedConnection);
}

quint16 BackgroundPlanServer::start(quint16 port) {
    quint16 actual = 0;
    QMetaObject::invokeMethod(
        m_context,
        [this, port, &actual] {
            actual = m_server->start(port);
            m_baseUrl = m_server->baseUrl();
            m_error = m_server->errorString();
        },
        Qt::BlockingQueuedConnection);
    return actual;
}

void BackgroundPlanServer::stop() {
    QMetaObject::invokeMethod(
        m_context, [this] { m_server->stop(); }, Qt::BlockingQueuedConnection);
}

QUrl BackgroundPlanServer::baseUrl() const {
    return m_baseUrl;
}

QString BackgroundPlanServer::errorString() const {
    return m_error;
}

}  // namespace sw::tools
