#include "widgets/handles.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace sw::widgets::handles {

namespace {

// Issued handles start well away from 0 and small numbers that hosts use as flags, and step by 4
// like the original platform's handles.
std::int32_t g_nextHandle = 0x10000;

std::int32_t issue() {
    const std::int32_t handle = g_nextHandle;
    g_nextHandle += 4;
    return handle;
}

QHash<std::int32_t, QPaintDevice*>& drawables() {
    static QHash<std::int32_t, QPaintDevice*> table;
    return table;
}

QHash<std::int32_t, QPointer<QWidget>>& windows() {
    static QHash<std::int32_t, QPointer<QWidget>> table;
    return table;
}

const char* const kHandleProperty = "sw_hWnd";

}  // namespace

std::int32_t registerDrawable(QPaintDevice* device) {
    if (device == nullptr) {
        return 0;
    }
    const std::int32_t handle = issue();
    drawables().insert(handle, device);
    return handle;
}

void releaseDrawable(std::int32_t handle) {
    drawables().remove(handle);
}

QPaintDevice* drawableFromHandle(std::int32_t handle) {
    return drawables().value(handle, nullptr);
}

std::int32_t windowHandle(QWidget* widget) {
    if (widget == nullptr) {
        return 0;
    }
    const QVariant known = widget->property(kHandleProperty);
    if (known.isValid()) {
        return known.toInt();
    }
    const std::int32_t handle = issue();
    widget->setProperty(kHandleProperty, handle);
    windows().insert(handle, widget);
    QObject::connect(widget, &QObject::destroyed, [handle] { windows().remove(handle); });
    return handle;
}

QWidget* windowFromHandle(std::int32_t handle) {
    const auto it = windows().constFind(handle);
    return it == windows().constEnd() ? nullptr : it->data();
}

}  // namespace sw::widgets::handles
