#include "planserver/response_stream.h"

#include <algorithm>

namespace sw::tools {

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr qint64 kHighWater = 256 * 1024;
constexpr int kRateTickMs = 50;
}  // namespace

ResponseStream::ResponseStream(QHttpServerResponder&& responder, QTcpSocket* socket,
                               const PlanServerReply& reply, std::unique_ptr<QIODevice> body,
                               const StreamPlan& plan, QObject* parent)
    : QObject(parent),
      m_responder(std::move(responder)),
      m_socket(socket),
      m_reply(reply),
      m_body(std::move(body)),
      m_plan(plan),
      m_size(m_body->size()) {
    m_limit = m_plan.ending == StreamEnding::Complete ? m_size : m_size / 2;
    if (m_plan.headersOnly) {
        m_limit = 0;
        m_plan.ending = StreamEnding::Complete;
    }
    m_rateTimer.setInterval(kRateTickMs);
    connect(&m_rateTimer, &QTimer::timeout, this, &ResponseStream::pump);
    connect(socket, &QTcpSocket::bytesWritten, this, &ResponseStream::pump);
    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, &QObject::deleteLater);
}

ResponseStream::~ResponseStream() = default;

bool ResponseStream::connected() const {
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void ResponseStream::start() {
    if (m_plan.delayMs > 0) {
        QTimer::singleShot(m_plan.delayMs, this, [this] {
            m_plan.delayMs = 0;
            start();
        });
        return;
    }
    if (!connected()) {
        deleteLater();
        return;
    }
    sendHeaders();
    emit started(m_reply.status);
    m_clock.start();
    if (m_plan.bytesPerSecond > 0) {
        m_rateTimer.start();
    }
    pump();
}

void ResponseStream::abortConnection() {
    m_done = true;
    m_rateTimer.stop();
    if (m_socket) {
        m_socket->abort();
    }
    deleteLater();
}

void ResponseStream::sendHeaders() {
    m_responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(m_reply.status));
    m_responder.writeHeader("Content-Type", m_reply.contentType);
    m_responder.writeHeader("Content-Length", QByteArray::number(m_size));
    for (const auto& [name, value] : m_reply.headers) {
        m_responder.writeHeader(name, value);
    }
    if (m_plan.closeAfter) {
        m_responder.writeHeader("Connection", "close");
    }
    m_responder.writeBody("", 0);  // ends the header block
}

void ResponseStream::pump() {
    if (m_done) {
        return;
    }
    if (!connected()) {
        m_done = true;
        deleteLater();
        return;
    }
    while (m_sent < m_limit && m_socket->bytesToWrite() < kHighWater) {
        qint64 chunk = std::min(kChunk, m_limit - m_sent);
        if (m_plan.bytesPerSecond > 0) {
            const qint64 allowed = m_plan.bytesPerSecond * m_clock.elapsed() / 1000 +
                                   std::max<qint64>(1, m_plan.bytesPerSecond / 20) - m_sent;
            if (allowed <= 0) {
                return;
            }
            chunk = std::min(chunk, allowed);
        }
        const QByteArray data = m_body->read(chunk);
        if (data.isEmpty()) {
            // The file shrank under us: end the connection, the length can no longer hold.
            m_socket->disconnectFromHost();
            m_done = true;
            deleteLater();
            return;
        }
        m_responder.writeBody(data);
        m_sent += data.size();
    }
    if (m_sent >= m_limit) {
        finishBody();
    }
}

void ResponseStream::finishBody() {
    m_done = true;
    m_rateTimer.stop();
    switch (m_plan.ending) {
        case StreamEnding::Complete:
            if (m_plan.closeAfter) {
                m_socket->disconnectFromHost();
            }
            deleteLater();
            break;
        case StreamEnding::Cut:
            // An orderly close once the queued bytes are out. Note for clients: Qt's own HTTP
            // client may report such a short body as a success, depending on timing; only a
            // comparison of the bytes received with Content-Length tells reliably.
            m_socket->disconnectFromHost();
            deleteLater();
            break;
        case StreamEnding::Stall:
            // Nothing more is sent; the connection stays open until the client gives up or the
            // server stops. The stream waits with it so stop() can find and end it.
            break;
    }
}

}  // namespace sw::tools
