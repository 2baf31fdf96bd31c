#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <QUrl>

// A blocking-looking HTTP GET for the tool tests: runs an event loop until the reply ends, so
// an in-process server on the same thread keeps answering.
namespace sw::test {

struct FetchResult {
    int status = 0;  // HTTP status, 0 when none arrived
    QByteArray body;
    QByteArray contentType;
};

// `transferTimeoutMs` 0 waits without limit (the server must end the answer).
FetchResult fetch(const QUrl& url, int transferTimeoutMs = 0);

}  // namespace sw::test
