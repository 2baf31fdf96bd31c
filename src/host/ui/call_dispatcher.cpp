#include "host/ui/call_dispatcher.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QTimer>

#include "host/sheetwise_url.h"
#include "host/ui/fast_viewer.h"
#include "host/ui/standard_calls.h"
#include "host/untrusted_calls.h"

namespace sw::host {

CallDispatcher::CallDispatcher(QWidget& window, FastViewer& viewer, QObject* parent)
    : QObject(parent), m_window(&window), m_viewer(&viewer) {}

void CallDispatcher::submit(HandoverRequest request, Channel channel) {
    m_queue.push_back({std::move(request), std::move(channel)});
    QTimer::singleShot(0, this, &CallDispatcher::runNext);
}

void CallDispatcher::runNext() {
    if (m_busy || m_queue.empty()) {
        return;
    }
    m_busy = true;
    m_current = std::move(m_queue.front());
    m_queue.pop_front();
    bringToFront();
    const HandoverRequest& request = m_current.request;
    switch (request.kind) {
        case HandoverKind::Show:
            finish();
            return;
        case HandoverKind::Document:
            runDocument(request.payload);
            return;
        case HandoverKind::Fetch:
            fetchAndRun(QUrl(QString::fromUtf8(request.payload), QUrl::StrictMode));
            return;
        case HandoverKind::Url:
            break;
    }
    m_current.request.trust = base::Trust::Untrusted;
    QString error;
    const std::optional<SheetwiseUrl> url =
        parseSheetwiseUrl(QString::fromUtf8(request.payload), &error);
    if (!url) {
        refuse(error);
    } else if (url->action == SheetwiseUrl::Action::Open) {
        fetchAndRun(url->documentUrl);
    } else {
        runDocument(url->document);
    }
}

void CallDispatcher::fetchAndRun(const QUrl& url) {
    DocumentFetcher::Limits limits = m_fetchLimits;
    if (m_current.request.trust == base::Trust::Trusted) {
        limits.maxBytes = kMaxTrustedDocumentBytes;
    }
    m_fetcher.fetch(url, limits,
                    [this](const std::optional<QByteArray>& document, const QString& error) {
                        if (document) {
                            runDocument(*document);
                        } else {
                            refuse(error);
                        }
                    });
}

void CallDispatcher::runDocument(const QByteArray& document) {
    const bool trusted = m_current.request.trust == base::Trust::Trusted;
    QString error;
    const std::optional<QJsonArray> calls = trusted ? base::parseHostCallDocument(document, &error)
                                                    : readUntrustedDocument(document, &error);
    if (!calls) {
        refuse(trusted ? QStringLiteral("Cannot read host calls from %1:\n%2")
                             .arg(m_current.request.source, error)
                       : error);
        return;
    }
    for (const QJsonValue& call : *calls) {
        if (m_viewer.isNull()) {
            break;
        }
        const QJsonObject reply =
            trusted ? base::HostCallRunner(*m_viewer, standardRegistry(), base::Trust::Trusted)
                          .run(call)
                    : UntrustedCallRunner(*m_viewer, standardRegistry()).run(call);
        if (m_current.channel.reply) {
            m_current.channel.reply(reply);
        }
        QCoreApplication::processEvents();
    }
    finish();
}

void CallDispatcher::refuse(const QString& message) {
    if (m_current.channel.refused) {
        m_current.channel.refused(message);
    }
    // The caller has its answer before a message box holds the user's attention.
    QTimer::singleShot(0, this, [this, message] {
        if (m_viewer) {
            m_viewer->showMessage(message);
        }
    });
    finish();
}

void CallDispatcher::finish() {
    if (m_current.channel.done) {
        m_current.channel.done();
    }
    m_current = {};
    m_busy = false;
    QTimer::singleShot(0, this, &CallDispatcher::runNext);
}

void CallDispatcher::bringToFront() {
    if (m_window.isNull()) {
        return;
    }
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

}  // namespace sw::host
