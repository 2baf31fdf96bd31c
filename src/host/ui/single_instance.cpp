#include "host/ui/single_instance.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include "host/sheetwise_url.h"

namespace sw::host {

namespace {

// How long a launch waits for the running viewer to accept it.
constexpr int kConnectTimeoutMs = 2000;
// How long a connection may take to deliver its whole request.
constexpr int kRequestTimeoutMs = 10000;
// How long a launch waits for any sign of the running viewer (a reply or the alive line it
// sends every kHandoverAliveIntervalMs) before it gives up, in milliseconds. A document may run
// for as long as it needs: only a viewer that stopped answering (stopped, hung, or its UI
// thread blocked) is given up on. SHEETWISE_HANDOVER_TIMEOUT_MS sets another value.
constexpr int kAnswerTimeoutMs = 10000;

int answerTimeoutMs() {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue("SHEETWISE_HANDOVER_TIMEOUT_MS", &ok);
    return ok && value > 0 ? value : kAnswerTimeoutMs;
}

// True when `path` is a real folder (not a link) of this user that nobody else may enter.
bool isPrivateFolder(const QString& path) {
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

void writeOut(FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// One connection of a later launch: reads its request, hands it to the dispatcher, streams the
// answers back and closes. Owns its socket; deletes itself once the socket is gone.
class HandoverConnection : public QObject {
public:
    HandoverConnection(QLocalSocket* socket, CallDispatcher& dispatcher, QObject* parent)
        : QObject(parent), m_socket(socket), m_dispatcher(dispatcher) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::readyRead, this, &HandoverConnection::readRequest);
        connect(socket, &QLocalSocket::disconnected, this, &QObject::deleteLater);
        m_deadline.setSingleShot(true);
        connect(&m_deadline, &QTimer::timeout, this, [this] {
            m_socket->abort();
            deleteLater();
        });
        m_deadline.start(kRequestTimeoutMs);
        connect(&m_alive, &QTimer::timeout, this, [this] { send(handoverAliveLine()); });
        m_alive.start(kHandoverAliveIntervalMs);
        readRequest();
    }

private:
    void readRequest() {
        if (m_reader.state() != HandoverRequestReader::State::NeedMore) {
            m_socket->readAll();  // nothing after the request is read
            return;
        }
        switch (m_reader.feed(m_socket->readAll())) {
            case HandoverRequestReader::State::NeedMore:
                return;
            case HandoverRequestReader::State::Invalid:
                m_deadline.stop();
                send(handoverRefusedLine(m_reader.error()));
                close();
                return;
            case HandoverRequestReader::State::Complete:
                break;
        }
        m_deadline.stop();
        QPointer<HandoverConnection> self(this);
        CallDispatcher::Channel channel;
        channel.reply = [self](const QJsonObject& reply) {
            if (self) {
                self->send(handoverReplyLine(reply));
            }
        };
        channel.refused = [self](const QString& message) {
            if (self) {
                self->send(handoverRefusedLine(message));
            }
        };
        channel.done = [self] {
            if (self) {
                self->close();
            }
        };
        m_dispatcher.submit(m_reader.request(), std::move(channel));
    }

    void send(const QByteArray& line) {
        if (m_socket->state() == QLocalSocket::ConnectedState) {
            m_socket->write(line);
            m_socket->flush();
        }
    }

    // Ends the answer; the socket goes once everything is written.
    void close() {
        m_alive.stop();
        send(handoverDoneLine());
        m_socket->disconnectFromServer();
        if (m_socket->state() == QLocalSocket::UnconnectedState) {
            deleteLater();
        }
    }

    QLocalSocket* m_socket;
    CallDispatcher& m_dispatcher;
    HandoverRequestReader m_reader;
    QTimer m_deadline;  // the whole request must arrive before it fires
    QTimer m_alive;     // sends the alive line to the waiting launch
};

int gaveUp(int timeoutMs) {
    writeOut(stderr, QStringLiteral("sheetwise: the running viewer has not answered for %1 s "
                                    "(it may be stopped or hung); giving up\n")
                         .arg(timeoutMs / 1000.0)
                         .toUtf8());
    return 1;
}

// Reads reply lines until the last one; returns the exit code.
int relayReplies(QLocalSocket& socket, int timeoutMs) {
    bool refused = false;
    for (;;) {
        while (socket.canReadLine()) {
            const QByteArray line = socket.readLine().chopped(1);
            const HandoverReplyFrame frame = parseHandoverReplyLine(line);
            switch (frame.type) {
                case HandoverReplyFrame::Type::Reply:
                    writeOut(stdout, base::replyLine(frame.reply) + '\n');
                    break;
                case HandoverReplyFrame::Type::Refused:
                    refused = true;
                    writeOut(stderr, "sheetwise: " + frame.message.toUtf8() + '\n');
                    break;
                case HandoverReplyFrame::Type::Alive:
                    break;
                case HandoverReplyFrame::Type::Done:
                    return refused ? 2 : 0;
                case HandoverReplyFrame::Type::Invalid:
                    writeOut(stderr, "sheetwise: the running viewer gave an unreadable answer\n");
                    break;
            }
        }
        if (!socket.waitForReadyRead(timeoutMs) && !socket.canReadLine()) {
            if (socket.state() == QLocalSocket::ConnectedState) {
                return gaveUp(timeoutMs);
            }
            break;
        }
    }
    writeOut(stderr, "sheetwise: the running viewer closed the connection before it answered\n");
    return 1;
}

}  // namespace

QString instanceSocketPath(QString* error) {
    const QString name = QStringLiteral("sheetwise-%1.socket").arg(::getuid());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime)) {
        return QDir(runtime).filePath(name);
    }
    const QString folder =
        QDir(QDir::tempPath()).filePath(QStringLiteral("sheetwise-%1").arg(::getuid()));
    ::mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
    if (!isPrivateFolder(folder)) {
        if (error != nullptr) {
            *error = QStringLiteral(
                         "no private folder for the viewer's socket (%1 is not a "
                         "folder of this user closed to others)")
                         .arg(folder);
        }
        return {};
    }
    return QDir(folder).filePath(name);
}

void provideRuntimeFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime)) {
        return;
    }
    const QString socket = instanceSocketPath();
    if (!socket.isEmpty()) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(QFileInfo(socket).path()));
    }
}

std::optional<HandoverRequest> launchRequest(const QString& text, QString* error) {
    HandoverRequest request;
    request.trust = base::Trust::Trusted;
    request.source = text;
    if (text.isEmpty()) {
        request.kind = HandoverKind::Show;
        return request;
    }
    request.payload = text.toUtf8();
    if (isSheetwiseUrl(text)) {
        request.kind = HandoverKind::Url;
        request.trust = base::Trust::Untrusted;
        return request;
    }
    if (text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)) {
        request.kind = HandoverKind::Fetch;
        return request;
    }
    QFile file;
    const bool standardInput = text == QLatin1String("-");
    const bool opened = standardInput ? file.open(stdin, QIODevice::ReadOnly)
                                      : (file.setFileName(text), file.open(QIODevice::ReadOnly));
    request.kind = HandoverKind::Document;
    request.source = standardInput ? QStringLiteral("standard input") : text;
    request.payload = opened ? file.read(kMaxTrustedDocumentBytes + 1) : QByteArray();
    if (!opened || request.payload.size() > kMaxTrustedDocumentBytes) {
        if (error != nullptr) {
            *error =
                opened ? QStringLiteral("the document is larger than 64 MB") : file.errorString();
        }
        return std::nullopt;
    }
    return request;
}

InstanceServer::InstanceServer(CallDispatcher& dispatcher, QObject* parent)
    : QObject(parent), m_dispatcher(dispatcher) {
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptConnections);
}

InstanceServer::~InstanceServer() {
    m_server.close();
}

bool InstanceServer::listen(const QString& path, QString* error) {
    // A viewer that crashed leaves its socket file behind: nobody answers on it.
    if (QFileInfo::exists(path)) {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(kConnectTimeoutMs)) {
            probe.abort();
            if (error != nullptr) {
                *error = QStringLiteral("another Sheetwise viewer already listens on %1").arg(path);
            }
            return false;
        }
        QLocalServer::removeServer(path);
    }
    if (!m_server.listen(path)) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot listen on %1: %2").arg(path, m_server.errorString());
        }
        return false;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

void InstanceServer::acceptConnections() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        new HandoverConnection(socket, m_dispatcher, this);
    }
}

std::unique_ptr<InstanceServer> listenForLaunches(CallDispatcher& dispatcher) {
    QString error;
    const QString path = instanceSocketPath(&error);
    auto server = std::make_unique<InstanceServer>(dispatcher);
    if (path.isEmpty() || !server->listen(path, &error)) {
        writeOut(stderr,
                 QStringLiteral("sheetwise: later launches will open their own window: %1\n")
                     .arg(error)
                     .toUtf8());
        return nullptr;
    }
    return server;
}

CallDispatcher::Channel standardOutputChannel() {
    CallDispatcher::Channel channel;
    channel.reply = [](const QJsonObject& reply) {
        writeOut(stdout, base::replyLine(reply) + '\n');
    };
    channel.refused = [](const QString& message) {
        writeOut(stderr, "sheetwise: " + message.toUtf8() + '\n');
    };
    return channel;
}

std::optional<int> handOverToRunningViewer(const QString& socketPath, const QString& text) {
    if (socketPath.isEmpty() || !QFileInfo::exists(socketPath)) {
        return std::nullopt;
    }
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return std::nullopt;
    }
    QString error;
    const std::optional<HandoverRequest> request = launchRequest(text, &error);
    if (!request) {
        writeOut(stderr, QStringLiteral("sheetwise: cannot read host calls from %1: %2\n")
                             .arg(text, error)
                             .toUtf8());
        return 2;
    }
    const int timeoutMs = answerTimeoutMs();
    socket.write(encodeHandoverRequest(*request));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(timeoutMs)) {
            return socket.state() == QLocalSocket::ConnectedState ? gaveUp(timeoutMs)
                                                                  : relayReplies(socket, timeoutMs);
        }
    }
    return relayReplies(socket, timeoutMs);
}

}  // namespace sw::host
