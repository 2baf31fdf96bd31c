#include "widgets/tracking_events.h"

#include <map>
#include <memory>

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "widgets/handles.h"

namespace sw::widgets::TrackingEvents {

namespace {

struct Entry {
    QPointer<clsTrackInfo> record;
    QPointer<QWidget> widget;
    QTimer* hoverTimer = nullptr;  // deleted later: it may be removed from its own timeout
    bool leaveArmed = false;
    bool hadMouseTracking = false;
    QMetaObject::Connection recordGone;
    QMetaObject::Connection widgetGone;
};

using Collection = std::map<QString, Entry>;

// The collection exists only while a window is tracked.
std::unique_ptr<Collection> g_collection;

QString keyOf(std::int32_t window) {
    return QString::number(window);
}

Entry* find(std::int32_t window) {
    if (!g_collection) {
        return nullptr;
    }
    const auto it = g_collection->find(keyOf(window));
    return it == g_collection->end() ? nullptr : &it->second;
}

QObject* filter();

void removeEntry(const QString& key) {
    if (!g_collection) {
        return;
    }
    const auto it = g_collection->find(key);
    if (it == g_collection->end()) {
        return;
    }
    Entry entry = it->second;
    g_collection->erase(it);
    if (g_collection->empty()) {
        g_collection.reset();
    }
    QObject::disconnect(entry.recordGone);
    QObject::disconnect(entry.widgetGone);
    entry.hoverTimer->stop();
    entry.hoverTimer->deleteLater();
    if (!entry.widget.isNull()) {
        entry.widget->removeEventFilter(filter());
        entry.widget->setMouseTracking(entry.hadMouseTracking);
    }
}

// Stands in for the replaced window procedure of every tracked widget. Lives for the process so
// that it is never deleted under its own eventFilter.
class WindowProcFilter : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) {
            return false;
        }
        const std::int32_t window = handles::windowHandle(widget);
        Entry* entry = find(window);
        if (entry == nullptr) {
            return true;  // a window that is not in the collection: swallowed
        }
        switch (event->type()) {
            case QEvent::MouseMove:
                return !TrackingWndProc(window, kMouseMove);
            case QEvent::Leave:
                if (entry->leaveArmed) {
                    TrackingWndProc(window, kMouseLeave);
                }
                return false;  // Qt's own leave handling still runs
            default:
                return false;
        }
    }
};

QObject* filter() {
    static auto* instance = new WindowProcFilter;
    return instance;
}

}  // namespace

bool StartTracking(clsTrackInfo* record) {
    if (record == nullptr) {
        return false;
    }
    const std::int32_t window = record->hWnd();
    QWidget* widget = handles::windowFromHandle(window);
    if (widget == nullptr || find(window) != nullptr) {
        return false;
    }
    if (!g_collection) {
        g_collection = std::make_unique<Collection>();
    }
    const QString key = keyOf(window);
    Entry entry;
    entry.record = record;
    entry.widget = widget;
    entry.hoverTimer = new QTimer(filter());
    entry.hoverTimer->setSingleShot(true);
    QObject::connect(entry.hoverTimer, &QTimer::timeout, filter(),
                     [window] { TrackingWndProc(window, kMouseHover); });
    entry.hadMouseTracking = widget->hasMouseTracking();
    entry.recordGone = QObject::connect(record, &QObject::destroyed, [key] { removeEntry(key); });
    entry.widgetGone = QObject::connect(widget, &QObject::destroyed, [key] { removeEntry(key); });
    g_collection->emplace(key, entry);

    record->setPrevProc(0);
    widget->setMouseTracking(true);
    widget->installEventFilter(filter());
    // The original platform answers a request made while the pointer is elsewhere with an
    // immediate leave; here nothing is reported until the pointer first moves over the window.
    if (widget->underMouse()) {
        RequestTracking(record);
    }
    return true;
}

void StopTracking(clsTrackInfo* record) {
    if (record == nullptr || !g_collection) {
        return;
    }
    const Entry* entry = find(record->hWnd());
    if (entry != nullptr && entry->record == record) {
        removeEntry(keyOf(record->hWnd()));
    }
}

void RequestTracking(clsTrackInfo* record) {
    if (record == nullptr) {
        return;
    }
    Entry* entry = find(record->hWnd());
    if (entry == nullptr) {
        return;
    }
    const std::int32_t hoverTime =
        record->HoverTime() < 0 ? clsTrackInfo::kDefaultHoverTime : record->HoverTime();
    entry->hoverTimer->start(hoverTime);
    entry->leaveArmed = true;
}

bool TrackingWndProc(std::int32_t window, std::uint32_t message) {
    Entry* entry = find(window);
    if (entry == nullptr || entry->record == nullptr) {
        return false;
    }
    clsTrackInfo* record = entry->record;
    switch (message) {
        case kMouseLeave:
            // A leave ends this arming: no hover follows until the pointer moves again.
            entry->leaveArmed = false;
            entry->hoverTimer->stop();
            record->RaiseMouseLeave();
            return false;
        case kMouseHover:
            record->RaiseMouseHover();
            return false;
        case kMouseMove:
            RequestTracking(record);
            return true;
        default:
            return true;
    }
}

int TrackedWindowCount() {
    return g_collection ? static_cast<int>(g_collection->size()) : 0;
}

}  // namespace sw::widgets::TrackingEvents
