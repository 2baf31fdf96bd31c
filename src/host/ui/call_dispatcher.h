#pragma once

#include <deque>
#include <functional>

#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "host/handover_protocol.h"
#include "host/ui/document_fetcher.h"

// Runs the host calls that reach the open viewer from outside it: a `sheetwise:` URL the viewer
// was started with, and every request that a later launch hands over (host/ui/single_instance.h).
// Requests run one at a time, in arrival order, each brings the window to the front. A
// `sheetwise:` URL, or a document it names, runs as an untrusted caller (host/untrusted_calls.h);
// a refused request (bad link, document over 1 MB or not JSON, fetch failed) is answered to its
// caller and shown to the user in the viewer.
//
// Threads: the UI thread. Does not own the window or the viewer, which must outlive it.
namespace sw::host {

class FastViewer;

class CallDispatcher : public QObject {
    Q_OBJECT

public:
    // Where the answers to one request go: `reply` once per call that ran, `refused` instead of
    // the replies when the request as a whole is refused, `done` always, last. Any may be empty.
    struct Channel {
        std::function<void(const QJsonObject& reply)> reply;
        std::function<void(const QString& message)> refused;
        std::function<void()> done;
    };

    CallDispatcher(QWidget& window, FastViewer& viewer, QObject* parent = nullptr);

    void submit(HandoverRequest request, Channel channel);

    // Limits of documents fetched for untrusted callers; trusted fetches may be larger.
    void setFetchLimits(const DocumentFetcher::Limits& limits) { m_fetchLimits = limits; }

private:
    struct Job {
        HandoverRequest request;
        Channel channel;
    };

    void runNext();
    void fetchAndRun(const QUrl& url);
    void runDocument(const QByteArray& document);
    void refuse(const QString& message);
    void finish();
    void bringToFront();

    QPointer<QWidget> m_window;
    QPointer<FastViewer> m_viewer;
    DocumentFetcher m_fetcher;
    DocumentFetcher::Limits m_fetchLimits;
    std::deque<Job> m_queue;
    Job m_current;
    bool m_busy = false;
};

}  // namespace sw::host
