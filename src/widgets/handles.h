#pragma once

#include <cstdint>

class QPaintDevice;
class QWidget;

// Window and drawing-surface handles of this platform. Hosts and the classes of this library pass
// windows (`hWnd`) and drawing surfaces (`hDC`) around as 32-bit integers, as the original design
// does. Here a handle is a number issued by this registry: nonzero, never reused while the process
// runs, and stable for the life of the object it names. Looking a handle up gives the object only
// while it is alive and registered, so a stale or invented number finds nothing instead of
// pointing at freed memory. The registry does not own what it names. UI thread only.
namespace sw::widgets::handles {

// A new handle for a paint device (a QImage surface, typically). The owner releases it before the
// device goes away.
std::int32_t registerDrawable(QPaintDevice* device);
void releaseDrawable(std::int32_t handle);
// The paint device of a live handle; nullptr for 0, a released or an unknown handle.
QPaintDevice* drawableFromHandle(std::int32_t handle);

// The window handle of a widget, issued on first request and released when the widget is
// destroyed.
std::int32_t windowHandle(QWidget* widget);
// The widget of a live window handle; nullptr otherwise.
QWidget* windowFromHandle(std::int32_t handle);

}  // namespace sw::widgets::handles
