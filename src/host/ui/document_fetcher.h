#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include "host/sheetwise_url.h"

// Fetches a host-call document from an http or https address, for `sheetwise:open?url=` links and
// for launches that name a web address. Other schemes are refused without any request, a body
// over the size limit is cut off while it downloads (a Content-Length over the limit stops the
// fetch at once), and a server that sends nothing for a while, or takes too long in all, is
// given up on. Redirects are followed only to http or https, never from https to http.
//
// Threads: created and used on one thread with an event loop; results arrive on that thread.
namespace sw::host {

class DocumentFetcher : public QObject {
    Q_OBJECT

public:
    struct Limits {
        qsizetype maxBytes = kMaxDocumentBytes;
        int stallTimeoutMs = 15000;  // no byte received for this long
        int totalTimeoutMs = 60000;  // the whole fetch
    };
    // The document, or nothing with a sentence for the user.
    using Done =
        std::function<void(const std::optional<QByteArray>& document, const QString& error)>;

    explicit DocumentFetcher(QObject* parent = nullptr);

    // Starts a fetch; `done` runs exactly once, later, from the event loop.
    void fetch(const QUrl& url, const Limits& limits, Done done);

private:
    QNetworkAccessManager m_network;
};

}  // namespace sw::host
