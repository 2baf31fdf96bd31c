#include "host/ui/document_fetcher.h"

#include <memory>

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace sw::host {

namespace {

constexpr int kMaxRedirects = 5;

enum class Ending { Running, TooLarge, TimedOut };

QString sizeLimitText(qsizetype bytes) {
    return bytes % (1024 * 1024) == 0 ? QStringLiteral("%1 MB").arg(bytes / (1024 * 1024))
                                      : QStringLiteral("%1 bytes").arg(bytes);
}

}  // namespace

DocumentFetcher::DocumentFetcher(QObject* parent) : QObject(parent) {}

void DocumentFetcher::fetch(const QUrl& url, const Limits& limits, Done done) {
    const QString address = url.toString(QUrl::RemoveUserInfo);
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        const QString error =
            QStringLiteral("Host calls can be fetched only from http or https addresses, not %1.")
                .arg(address);
        QTimer::singleShot(0, this, [done, error] { done(std::nullopt, error); });
        return;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(limits.stallTimeoutMs);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_network.get(request);

    auto body = std::make_shared<QByteArray>();
    auto ending = std::make_shared<Ending>(Ending::Running);
    auto stop = [reply, ending](Ending why) {
        if (*ending == Ending::Running) {
            *ending = why;
            reply->abort();
        }
    };
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [stop] { stop(Ending::TimedOut); });
    deadline->start(limits.totalTimeoutMs);

    const qsizetype maxBytes = limits.maxBytes;
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, stop, maxBytes] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > maxBytes) {
            stop(Ending::TooLarge);
        }
    });
    connect(reply, &QNetworkReply::readyRead, reply, [reply, body, stop, maxBytes] {
        *body += reply->readAll();
        if (body->size() > maxBytes) {
            stop(Ending::TooLarge);
        }
    });
    connect(reply, &QNetworkReply::finished, this, [=] {
        reply->deleteLater();
        if (*ending == Ending::Running) {
            *body += reply->readAll();
        }
        if (*ending == Ending::TooLarge || body->size() > maxBytes) {
            done(std::nullopt, QStringLiteral("The host-call document at %1 is larger than %2.")
                                   .arg(address, sizeLimitText(maxBytes)));
        } else if (*ending == Ending::TimedOut ||
                   reply->error() == QNetworkReply::OperationCanceledError) {
            done(std::nullopt, QStringLiteral("The server of %1 did not send the host-call "
                                              "document in time.")
                                   .arg(address));
        } else if (reply->error() != QNetworkReply::NoError) {
            done(std::nullopt, QStringLiteral("Cannot fetch the host-call document from %1: %2")
                                   .arg(address, reply->errorString()));
        } else {
            done(*body, QString());
        }
    });
}

}  // namespace sw::host
