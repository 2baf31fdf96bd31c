#pragma once

#include <memory>
#include <optional>

#include <QLocalServer>
#include <QObject>
#include <QString>

#include "host/handover_protocol.h"
#include "host/ui/call_dispatcher.h"

// One viewer per user. The first windowed `sheetwise` listens on a local socket; a later launch
// (with a `sheetwise:` URL, a document, `--script FILE`, `--script -` or nothing) connects, hands
// its request over (host/handover_protocol.h), prints the replies as `--headless --script` does
// and exits, while the running window comes to the front and runs the calls.
//
// The socket is $XDG_RUNTIME_DIR/sheetwise-<uid>.socket. Without a usable XDG_RUNTIME_DIR it lives
// in an owner-only folder sheetwise-<uid> of the temporary folder. The socket itself is owner-only
// (0600). A socket file that nobody answers on is left from a viewer that crashed and is removed
// before listening.
//
// Threads: the UI thread.
namespace sw::host {

// The socket's path, or an empty text with `error` set when no owner-only folder can be had.
QString instanceSocketPath(QString* error = nullptr);

// Without a usable XDG_RUNTIME_DIR (unset, or not a private folder of this user), sets it to the
// owner-only folder that holds the socket then, so that Qt finds a runtime folder and a run that
// sets nothing up prints no warning about it. Call before any Qt application object exists.
void provideRuntimeFolder();

// The request a launch makes: nothing to run (`text` empty) brings the window to the front; a
// `sheetwise:` URL runs untrusted; an http(s) address is fetched; anything else is a file name,
// "-" being standard input. Nothing with `error` set when the file cannot be read.
std::optional<HandoverRequest> launchRequest(const QString& text, QString* error);

// Listens for later launches and hands their requests to a dispatcher; answers each connection
// with the dispatcher's replies, and with an alive line every second until its request is
// done. A connection that sends garbage is refused, one that stays silent is dropped after a
// while, and a peer that goes away mid-way is no harm: its calls still run, their replies are
// dropped.
class InstanceServer : public QObject {
    Q_OBJECT

public:
    explicit InstanceServer(CallDispatcher& dispatcher, QObject* parent = nullptr);
    // Stops listening; the socket file is removed.
    ~InstanceServer() override;

    // Listens at `path`. Fails, with `error` set, when another viewer answers there or the
    // socket cannot be made.
    bool listen(const QString& path, QString* error);
    [[nodiscard]] QString socketPath() const { return m_server.fullServerName(); }

private:
    void acceptConnections();

    CallDispatcher& m_dispatcher;
    QLocalServer m_server;
};

// An InstanceServer on instanceSocketPath(), or nothing, with the reason on standard error, when
// it cannot listen (the viewer then works alone).
std::unique_ptr<InstanceServer> listenForLaunches(CallDispatcher& dispatcher);

// Answers for a request the viewer itself was started with: each reply as one JSON line on
// standard output, a refusal on standard error.
CallDispatcher::Channel standardOutputChannel();

// Hands the launch `text` (see launchRequest) to the viewer listening at `socketPath`: writes each
// reply as one JSON line to standard output and a refusal to standard error. Returns the exit
// code (0 when every call was answered, 2 when the request was refused or the document cannot be
// read, 1 when the viewer went away before answering or gave no sign of life for the answer
// timeout, 10 s), or nothing when no viewer listens there.
// Needs a QCoreApplication.
std::optional<int> handOverToRunningViewer(const QString& socketPath, const QString& text);

}  // namespace sw::host
