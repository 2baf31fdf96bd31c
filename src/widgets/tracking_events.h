#pragma once

#include <cstdint>

#include "widgets/cls_track_info.h"

// TrackingEvents: hover and leave reports for tracked windows.
//
// One process-wide collection maps the decimal text of each tracked window's handle to its
// clsTrackInfo record; it exists only while at least one window is tracked. StartTracking puts an
// event filter (standing in for the replaced window procedure) on the record's widget and turns
// on its pointer-move events; every pointer move over the window re-arms the reports
// (RequestTracking): a hover after HoverTime ms of rest and one leave report. The filter turns
// Qt's events into the three window messages TrackingWndProc handles: a pointer move (0x200), a
// rest (0x2A1, from a single-shot QTimer of HoverTime ms) and a leave (0x2A3, from QEvent::Leave
// while a leave report is armed). A hover or leave report is given once per arming, and a leave
// cancels the pending hover. A negative HoverTime means the system default, 400 ms.
//
// The collection does not own the records; a record or widget destroyed while tracked leaves the
// collection. UI thread only, not locked.
namespace sw::widgets::TrackingEvents {

enum WindowMessage : std::uint32_t {
    kMouseMove = 0x200,
    kMouseHover = 0x2A1,
    kMouseLeave = 0x2A3,
};

// Starts tracking the record's window. False (nothing changed) when the handle names no live
// widget or the window is tracked already: callers start tracking once per record.
bool StartTracking(clsTrackInfo* record);

// Stops tracking the record's window: removes the filter, cancels pending reports, restores the
// widget's pointer-move setting, and discards the collection when it becomes empty. Does nothing
// for a window that is not tracked.
void StopTracking(clsTrackInfo* record);

// Re-arms the hover and leave reports of the record's window (a no-op while it is not tracked).
void RequestTracking(clsTrackInfo* record);

// The window procedure: handles `message` for `window`. A leave raises the record's MouseLeave, a
// rest its MouseHover, both then swallowed; a move re-arms the reports and goes on. Returns true
// when the message goes on to the window's own handling, false when it is swallowed (with
// result 0), which is also the answer for a window that is not tracked.
bool TrackingWndProc(std::int32_t window, std::uint32_t message);

// Number of tracked windows; 0 means the collection does not exist.
int TrackedWindowCount();

}  // namespace sw::widgets::TrackingEvents
