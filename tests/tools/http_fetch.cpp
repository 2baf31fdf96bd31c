#include "http_fetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

namespace sw::test {

FetchResult fetch(const QUrl& url, int transferTimeoutMs) {
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setTransferTimeout(transferTimeoutMs);
    QNetworkReply* reply = manager.get(request);
    FetchResult result;
    // Read as data comes: a reply that ends in an error or a time-out is closed and unreadable.
    QObject::connect(reply, &QNetworkReply::readyRead, reply,
                     [&] { result.body += reply->readAll(); });
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) {
        loop.exec();
    }
    if (reply->isOpen()) {
        result.body += reply->readAll();
    }
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    delete reply;
    return result;
}

}  // namespace sw::test
