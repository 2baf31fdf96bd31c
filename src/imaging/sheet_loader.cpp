#include "imaging/sheet_loader.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>

#include "imaging/imaging_error.h"
#include "imaging/pyramid.h"

namespace sw::imaging {

namespace {

struct Decoded {
    Sheet sheet;
    QString error;
};

Decoded decode(const QString& path, const QByteArray& bytes, const DecodeOptions& options) {
    Decoded result;
    try {
        result.sheet = path.isEmpty() ? decodeTiff(bytes, options) : readTiffFile(path, options);
        prepareForDisplay(result.sheet);
    } catch (const ImagingError& e) {
        result.error = e.message();
    } catch (const std::bad_alloc&) {
        result.error = QStringLiteral("Not enough memory to decode the image");
    }
    return result;
}

QString httpFailure(QNetworkReply* reply) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString phrase =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
        return phrase.isEmpty() ? QStringLiteral("HTTP %1").arg(status)
                                : QStringLiteral("HTTP %1 %2").arg(status).arg(phrase);
    }
    return {};
}

}  // namespace

struct SheetLoader::Private {
    QNetworkAccessManager* network = nullptr;
    QPointer<QNetworkReply> reply;
    QTimer stallTimer;
    int timeout = kDefaultTransferTimeout;
    DecodeOptions options;
    quint64 generation = 0;
    bool loading = false;
    int lastPercent = -1;
};

SheetLoader::SheetLoader(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {
    d->stallTimer.setSingleShot(true);
}

SheetLoader::~SheetLoader() {
    cancel();
}

void SheetLoader::setTransferTimeout(int milliseconds) {
    d->timeout = milliseconds > 0 ? milliseconds : kDefaultTransferTimeout;
}

int SheetLoader::transferTimeout() const {
    return d->timeout;
}

void SheetLoader::setDecodeOptions(const DecodeOptions& options) {
    d->options = options;
}

bool SheetLoader::isLoading() const {
    return d->loading;
}

void SheetLoader::cancel() {
    ++d->generation;
    d->loading = false;
    d->stallTimer.stop();
    d->stallTimer.disconnect();
    if (d->reply) {
        QNetworkReply* reply = d->reply;
        d->reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void SheetLoader::start(const QString& address) {
    cancel();
    const quint64 generation = d->generation;
    d->loading = true;
    d->lastPercent = -1;
    report(generation, 0);
    const QString trimmed = address.trimmed();
    const QUrl url(trimmed, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (trimmed.isEmpty()) {
        QMetaObject::invokeMethod(
            this,
            [this, generation] { finish(generation, {}, QStringLiteral("No address given")); },
            Qt::QueuedConnection);
    } else if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        startNetwork(url, generation);
    } else if (scheme == QLatin1String("file")) {
        startDecode(generation, url.toLocalFile(), {});
    } else if (scheme.size() > 1) {
        QMetaObject::invokeMethod(
            this,
            [this, generation, scheme] {
                finish(generation, {},
                       QStringLiteral("Unsupported address scheme \"%1\"").arg(scheme));
            },
            Qt::QueuedConnection);
    } else {
        startDecode(generation, trimmed, {});
    }
}

void SheetLoader::startNetwork(const QUrl& url, quint64 generation) {
    if (!d->network) {
        d->network = new QNetworkAccessManager(this);
    }
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = d->network->get(request);
    d->reply = reply;
    connect(&d->stallTimer, &QTimer::timeout, this, [this, generation, reply] {
        if (generation != d->generation) {
            return;
        }
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        d->reply = nullptr;
        finish(generation, {},
               QStringLiteral("No data received for %1 s from %2")
                   .arg(d->timeout / 1000.0, 0, 'g', 3)
                   .arg(reply->url().host()));
    });
    d->stallTimer.start(d->timeout);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, generation, reply](qint64 received, qint64 total) {
                d->stallTimer.start(d->timeout);
                // A TIFF holding the largest image accepted, with room for headers and strips
                // stored less tightly than the image is held.
                const qint64 limit = d->options.maxImageBytes + d->options.maxImageBytes / 8 + 4096;
                if (received > limit || total > limit) {
                    reply->disconnect(this);
                    reply->abort();
                    reply->deleteLater();
                    d->reply = nullptr;
                    d->stallTimer.stop();
                    finish(generation, {},
                           QStringLiteral("The response is larger than %1 KB, more than an "
                                          "image within the limit can need")
                               .arg(limit >> 10));
                    return;
                }
                if (total > 0) {
                    report(generation,
                           static_cast<int>(std::min<qint64>(99, received * 100 / total)));
                }
            });
    connect(reply, &QNetworkReply::metaDataChanged, this,
            [this] { d->stallTimer.start(d->timeout); });
    connect(reply, &QNetworkReply::finished, this, [this, generation, reply] {
        reply->deleteLater();
        if (generation != d->generation) {
            return;
        }
        d->stallTimer.stop();
        d->reply = nullptr;
        const QByteArray body = reply->readAll();
        const QVariant lengthHeader = reply->header(QNetworkRequest::ContentLengthHeader);
        const qint64 expected = lengthHeader.isValid() ? lengthHeader.toLongLong() : -1;
        QString error = httpFailure(reply);
        if (error.isEmpty() && expected >= 0 && body.size() < expected) {
            error = QStringLiteral("The response was cut short (%1 of %2 bytes received)")
                        .arg(body.size())
                        .arg(expected);
        }
        if (error.isEmpty() && reply->error() != QNetworkReply::NoError) {
            error = reply->errorString();
        }
        if (!error.isEmpty()) {
            finish(generation, {}, error);
            return;
        }
        startDecode(generation, {}, body);
    });
}

void SheetLoader::startDecode(quint64 generation, const QString& path, const QByteArray& bytes) {
    auto* watcher = new QFutureWatcher<Decoded>(this);
    connect(watcher, &QFutureWatcher<Decoded>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        const Decoded result = watcher->result();
        finish(generation, result.sheet, result.error);
    });
    watcher->setFuture(QtConcurrent::run(decode, path, bytes, d->options));
}

void SheetLoader::finish(quint64 generation, const Sheet& sheet, const QString& error) {
    if (generation != d->generation || !d->loading) {
        return;
    }
    d->loading = false;
    if (!error.isEmpty()) {
        emit failed(error);
        return;
    }
    report(generation, 100);
    emit loaded(sheet);
}

void SheetLoader::report(quint64 generation, int percent) {
    if (generation == d->generation && percent > d->lastPercent) {
        d->lastPercent = percent;
        emit progress(percent);
    }
}

void prepareForDisplay(const Sheet& sheet) {
    if (sheet.isNull()) {
        return;
    }
    // Levels down to the one a fitted view on a large screen (about 2000 pixels) is drawn from.
    const int largest = std::max(sheet.width(), sheet.height());
    for (int k = firstCachedLevel(sheet); k <= topLevel(sheet); ++k) {
        pyramidLevel(sheet, k);
        if ((largest >> k) < 4000) {
            break;
        }
    }
}

}  // namespace sw::imaging
