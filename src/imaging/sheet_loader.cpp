#include "imaging/sheet_loader.h"

#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>

#include "imaging/imaging_error.h"
#include "imaging/load_token.h"
#include "imaging/pyramid.h"

namespace sw::imaging {

namespace {

struct Decoded {
    Sheet sheet;
    QString error;
};

// Runs on a worker of loadPool(): reads the file (when `path` is given) and decodes.
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

// The threads that read and decode sheets. A pool of their own, not Qt's global one: painting
// and image conversion on the UI thread wait for free threads of the global pool, so a read
// that hangs (a network share that stopped answering) must never hold one of those. The pool is
// never destroyed, so that quitting does not wait for such a read either: the loads are
// cancelled, and a worker still blocked ends with the process.
QThreadPool* loadPool() {
    static QThreadPool* const pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(std::max(2, QThread::idealThreadCount()));
        return p;
    }();
    return pool;
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
    // The read and decode on a worker, while one runs for the current load.
    std::shared_ptr<LoadToken> token;
    // Fails the load when the transfer receives nothing, or the worker makes no step, for
    // `timeout` milliseconds.
    QTimer stallTimer;
    quint64 stepsSeen = 0;
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
    if (d->token) {
        d->token->cancel();
        d->token.reset();
    }
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
    // Stops the transfer and fails the load with `reason`.
    auto stop = [this, generation, reply](const QString& reason) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        d->reply = nullptr;
        d->stallTimer.stop();
        finish(generation, {}, reason);
    };
    connect(&d->stallTimer, &QTimer::timeout, this, [this, generation, reply, stop] {
        if (generation == d->generation) {
            stop(QStringLiteral("No data received for %1 s from %2")
                     .arg(d->timeout / 1000.0, 0, 'g', 3)
                     .arg(reply->url().host()));
        }
    });
    d->stallTimer.start(d->timeout);
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, generation, stop](qint64 received, qint64 total) {
                d->stallTimer.start(d->timeout);
                // An endless or oversized body is cut off at the largest file a sheet can be.
                const qint64 limit = maxFileBytes(d->options);
                if (received > limit || total > limit) {
                    stop(QStringLiteral("The response is larger than %1 KB, more than an image "
                                        "within the limit can need")
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
        d->stallTimer.disconnect();
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
    auto token = std::make_shared<LoadToken>();
    d->token = token;
    d->stepsSeen = 0;
    connect(&d->stallTimer, &QTimer::timeout, this, [this, generation, path] {
        if (generation != d->generation || !d->token) {
            return;
        }
        const quint64 steps = d->token->steps();
        if (steps != d->stepsSeen) {
            d->stepsSeen = steps;
            d->stallTimer.start(d->timeout);
            return;
        }
        d->token->cancel();
        d->token.reset();
        finish(generation, {},
               QStringLiteral("Reading %1 made no progress for %2 s")
                   .arg(path.isEmpty() ? QStringLiteral("the sheet") : path)
                   .arg(d->timeout / 1000.0, 0, 'g', 3));
    });
    d->stallTimer.start(d->timeout);
    auto* watcher = new QFutureWatcher<Decoded>(this);
    connect(watcher, &QFutureWatcher<Decoded>::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation == d->generation) {
            d->stallTimer.stop();
            d->stallTimer.disconnect();
            d->token.reset();
        }
        const Decoded result = watcher->result();
        finish(generation, result.sheet, result.error);
    });
    DecodeOptions options = d->options;
    watcher->setFuture(QtConcurrent::run(loadPool(), [token, path, bytes, options]() mutable {
        options.token = token.get();
        return decode(path, bytes, options);
    }));
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
