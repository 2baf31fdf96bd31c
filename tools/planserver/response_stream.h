#pragma once

#include "planserver/plan_server.h"

#include <memory>

#include <QElapsedTimer>
#include <QHttpServerResponder>
#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

// Sends one answer over its connection, chunk by chunk as the socket drains, with the faults
// chosen for it: a start delay, a byte rate, and an early end (cut the connection, or fall silent
// with the connection kept open). Memory stays bounded for large files: at most kHighWater bytes
// wait in the socket.
//
// Owned by the PlanServer (its parent); deletes itself when the answer is sent or the connection
// is gone. Lives on the server's thread.
namespace sw::tools {

enum class StreamEnding {
    Complete,  // the whole body
    Cut,       // half the body, then the connection is closed
    Stall,     // half the body, then nothing more; the connection stays open
};

struct StreamPlan {
    qint64 delayMs = 0;
    qint64 bytesPerSecond = 0;  // 0: as fast as the socket takes it
    StreamEnding ending = StreamEnding::Complete;
    bool headersOnly = false;  // HEAD: the headers of the full answer, no body
    bool closeAfter = false;   // the client asked for "Connection: close"
};

class ResponseStream : public QObject {
    Q_OBJECT

public:
    // `body` is open for reading and holds exactly the body; the stream takes it.
    ResponseStream(QHttpServerResponder&& responder, QTcpSocket* socket,
                   const PlanServerReply& reply, std::unique_ptr<QIODevice> body,
                   const StreamPlan& plan, QObject* parent);
    ~ResponseStream() override;

    void start();
    // Drops the connection now; for stopping the server while answers are still open.
    void abortConnection();

signals:
    void started(int status);

private:
    void sendHeaders();
    void pump();
    void finishBody();
    bool connected() const;

    QHttpServerResponder m_responder;
    QPointer<QTcpSocket> m_socket;
    PlanServerReply m_reply;
    std::unique_ptr<QIODevice> m_body;
    StreamPlan m_plan;
    qint64 m_size = 0;
    qint64 m_limit = 0;  // body bytes to send before the ending
    qint64 m_sent = 0;
    QElapsedTimer m_clock;  // runs from the first body byte, for the rate
    QTimer m_rateTimer;     // paces a throttled body
    bool m_done = false;
};

}  // namespace sw::tools
