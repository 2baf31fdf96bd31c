#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include "base/host_calls.h"

// How a later launch of the viewer hands its calls to the running one over the per-user local
// socket. One request per connection, then the replies, then the server closes.
//
// Request: one header line of JSON, then exactly `length` bytes of payload:
//   {"sheetwise":1,"kind":"document","trust":"trusted","source":"calls.json","length":57}\n...
// The header stays small whatever the payload: the source is only a name for messages and is
// sent cut to kMaxHandoverSourceLength characters, so a link of any length up to the kind's
// limit fits (the payload carries it whole).
// Kinds: "show" (bring the window to the front; no payload), "document" (a host-call document),
// "fetch" (the http or https address of a document), "url" (a `sheetwise:` URL; always runs as
// an untrusted caller, whatever the header says).
//
// Replies, one JSON object per line:
//   {"reply":{"call":"SetImage","ok":true,...}}  one per call, as the runner answered it
//   {"refused":"The host-call document ..."}     the request as a whole was refused
//   {"alive":true}                               every kHandoverAliveIntervalMs while the
//                                                connection is open, so that the launch can
//                                                tell a long document from a viewer that hangs
//   {"done":true}                                the last line
//
// The reader takes bytes as they arrive, in pieces of any size, and refuses anything else (no
// header line within kMaxHandoverHeaderBytes, not JSON, unknown version or kind, a payload over
// the kind's limit) without reading on. Pure logic; one reader per connection, on one thread.
namespace sw::host {

inline constexpr int kHandoverVersion = 1;
inline constexpr qsizetype kMaxHandoverHeaderBytes = 16 * 1024;
// How often the running viewer tells a waiting launch that it is alive, in milliseconds.
inline constexpr int kHandoverAliveIntervalMs = 1000;
// The longest source name a request carries, in characters (a longer one is cut, ending in "…").
inline constexpr qsizetype kMaxHandoverSourceLength = 200;
// The largest document a trusted launch (a file or standard input) hands over, in bytes.
inline constexpr qsizetype kMaxTrustedDocumentBytes = 64 * 1024 * 1024;

enum class HandoverKind { Show, Document, Fetch, Url };

struct HandoverRequest {
    HandoverKind kind = HandoverKind::Show;
    base::Trust trust = base::Trust::Untrusted;
    QString source;      // what the caller names the document by, for messages
    QByteArray payload;  // the document, the address or the URL
};

// The largest payload the reader accepts for a kind and trust, in bytes.
qsizetype maxHandoverPayload(HandoverKind kind, base::Trust trust);

// The request as sent: its header line (source cut to kMaxHandoverSourceLength) and payload.
QByteArray encodeHandoverRequest(const HandoverRequest& request);

class HandoverRequestReader {
public:
    enum class State { NeedMore, Complete, Invalid };

    // Adds received bytes. Once Complete or Invalid, the state stays and further bytes are
    // ignored (bytes after the payload are not part of the request).
    State feed(const QByteArray& bytes);

    [[nodiscard]] State state() const { return m_state; }
    // The request, once Complete.
    [[nodiscard]] const HandoverRequest& request() const { return m_request; }
    // Why the request is Invalid, as a sentence for the caller.
    [[nodiscard]] const QString& error() const { return m_error; }

private:
    State readHeader(const QByteArray& line);
    State invalid(const QString& error);

    State m_state = State::NeedMore;
    QByteArray m_buffer;
    bool m_haveHeader = false;
    qsizetype m_length = 0;
    HandoverRequest m_request;
    QString m_error;
};

// Reply lines, each ending in "\n".
QByteArray handoverReplyLine(const QJsonObject& reply);
QByteArray handoverRefusedLine(const QString& message);
QByteArray handoverAliveLine();
QByteArray handoverDoneLine();

struct HandoverReplyFrame {
    enum class Type { Reply, Refused, Alive, Done, Invalid };
    Type type = Type::Invalid;
    QJsonObject reply;  // Reply
    QString message;    // Refused
};

// Reads one reply line (without its "\n").
HandoverReplyFrame parseHandoverReplyLine(const QByteArray& line);

}  // namespace sw::host
