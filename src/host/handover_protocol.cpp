#include "host/handover_protocol.h"

#include <QJsonDocument>

#include "host/sheetwise_url.h"

namespace sw::host {

namespace {

struct KindName {
    HandoverKind kind;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {HandoverKind::Show, "show"},
    {HandoverKind::Document, "document"},
    {HandoverKind::Fetch, "fetch"},
    {HandoverKind::Url, "url"},
};

// Longest http(s) address of a document a launch hands over, in bytes.
constexpr qsizetype kMaxAddressBytes = 64 * 1024;

QString shortSource(const QString& source) {
    if (source.size() <= kMaxHandoverSourceLength) {
        return source;
    }
    QString cut = source.left(kMaxHandoverSourceLength - 1);
    if (cut.back().isHighSurrogate()) {
        cut.chop(1);
    }
    return cut + QStringLiteral("…");
}

QByteArray compactLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

}  // namespace

qsizetype maxHandoverPayload(HandoverKind kind, base::Trust trust) {
    switch (kind) {
        case HandoverKind::Show:
            return 0;
        case HandoverKind::Document:
            return trust == base::Trust::Trusted ? kMaxTrustedDocumentBytes : kMaxDocumentBytes;
        case HandoverKind::Fetch:
            return kMaxAddressBytes;
        case HandoverKind::Url:
            return 4 * kMaxSheetwiseUrlLength;  // UTF-8 of the longest URL read
    }
    return 0;
}

QByteArray encodeHandoverRequest(const HandoverRequest& request) {
    QString kind;
    for (const KindName& entry : kKindNames) {
        if (entry.kind == request.kind) {
            kind = QLatin1String(entry.name);
        }
    }
    const QJsonObject header{
        {QStringLiteral("sheetwise"), kHandoverVersion},
        {QStringLiteral("kind"), kind},
        {QStringLiteral("trust"), request.trust == base::Trust::Trusted
                                      ? QStringLiteral("trusted")
                                      : QStringLiteral("untrusted")},
        {QStringLiteral("source"), shortSource(request.source)},
        {QStringLiteral("length"), static_cast<double>(request.payload.size())},
    };
    return compactLine(header) + request.payload;
}

HandoverRequestReader::State HandoverRequestReader::feed(const QByteArray& bytes) {
    if (m_state != State::NeedMore) {
        return m_state;
    }
    m_buffer += bytes;
    if (!m_haveHeader) {
        const qsizetype end = m_buffer.indexOf('\n');
        if (end < 0) {
            return m_buffer.size() > kMaxHandoverHeaderBytes
                       ? invalid(QStringLiteral("the request has no header line"))
                       : State::NeedMore;
        }
        if (end > kMaxHandoverHeaderBytes) {
            return invalid(QStringLiteral("the request's header line is too long"));
        }
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        if (readHeader(line) == State::Invalid) {
            return m_state;
        }
    }
    if (m_buffer.size() < m_length) {
        return State::NeedMore;
    }
    m_request.payload = m_buffer.left(m_length);
    m_buffer.clear();
    m_state = State::Complete;
    return m_state;
}

HandoverRequestReader::State HandoverRequestReader::readHeader(const QByteArray& line) {
    QJsonParseError parseError{};
    const QJsonObject header = QJsonDocument::fromJson(line, &parseError).object();
    if (parseError.error != QJsonParseError::NoError || header.isEmpty()) {
        return invalid(QStringLiteral("the request is not a Sheetwise hand-over"));
    }
    if (header.value(QStringLiteral("sheetwise")).toInt(-1) != kHandoverVersion) {
        return invalid(QStringLiteral("the request is of another Sheetwise version"));
    }
    const QString kind = header.value(QStringLiteral("kind")).toString();
    const KindName* found = nullptr;
    for (const KindName& entry : kKindNames) {
        if (kind == QLatin1String(entry.name)) {
            found = &entry;
        }
    }
    if (found == nullptr) {
        return invalid(QStringLiteral("the request is of an unknown kind"));
    }
    m_request.kind = found->kind;
    m_request.trust =
        header.value(QStringLiteral("trust")).toString() == QLatin1String("trusted") &&
                m_request.kind != HandoverKind::Url
            ? base::Trust::Trusted
            : base::Trust::Untrusted;
    m_request.source = header.value(QStringLiteral("source")).toString();
    const double length = header.value(QStringLiteral("length")).toDouble(-1);
    if (!(length >= 0) || length != static_cast<double>(static_cast<qsizetype>(length))) {
        return invalid(QStringLiteral("the request gives no payload length"));
    }
    if (length > static_cast<double>(maxHandoverPayload(m_request.kind, m_request.trust))) {
        return invalid(QStringLiteral("the request is larger than the viewer accepts (%1 bytes)")
                           .arg(static_cast<qint64>(length)));
    }
    m_length = static_cast<qsizetype>(length);
    m_haveHeader = true;
    return State::NeedMore;
}

HandoverRequestReader::State HandoverRequestReader::invalid(const QString& error) {
    m_error = QStringLiteral("The running viewer refused the hand-over: %1.").arg(error);
    m_buffer.clear();
    m_state = State::Invalid;
    return m_state;
}

QByteArray handoverReplyLine(const QJsonObject& reply) {
    return compactLine({{QStringLiteral("reply"), reply}});
}

QByteArray handoverRefusedLine(const QString& message) {
    return compactLine({{QStringLiteral("refused"), message}});
}

QByteArray handoverAliveLine() {
    return compactLine({{QStringLiteral("alive"), true}});
}

QByteArray handoverDoneLine() {
    return compactLine({{QStringLiteral("done"), true}});
}

HandoverReplyFrame parseHandoverReplyLine(const QByteArray& line) {
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    HandoverReplyFrame frame;
    if (object.value(QStringLiteral("reply")).isObject()) {
        frame.type = HandoverReplyFrame::Type::Reply;
        frame.reply = object.value(QStringLiteral("reply")).toObject();
    } else if (object.value(QStringLiteral("refused")).isString()) {
        frame.type = HandoverReplyFrame::Type::Refused;
        frame.message = object.value(QStringLiteral("refused")).toString();
    } else if (object.value(QStringLiteral("alive")).toBool()) {
        frame.type = HandoverReplyFrame::Type::Alive;
    } else if (object.value(QStringLiteral("done")).toBool()) {
        frame.type = HandoverReplyFrame::Type::Done;
    }
    return frame;
}

}  // namespace sw::host
