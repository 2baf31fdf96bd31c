#pragma once

#include <cstdint>

#include <QObject>

namespace sw::widgets {

// clsTrackInfo: the tracking record of one window whose pointer hover and leave are reported
// (see tracking_events.h). The window is named by its handle (handles::windowHandle); the record
// raises MouseHover when the pointer has rested HoverTime milliseconds over the window and
// MouseLeave when it leaves. `prevProc` is kept for hosts that read it: this platform chains to
// the window's own event handling instead of a replaced window procedure, so tracking stores 0
// there. Owned by whoever created it (a SWGradientButton owns its own); UI thread only.
class clsTrackInfo : public QObject {
    Q_OBJECT

public:
    static constexpr std::int32_t kDefaultHoverTime = 400;

    explicit clsTrackInfo(QObject* parent = nullptr) : QObject(parent) {}

    [[nodiscard]] std::int32_t hWnd() const { return m_hWnd; }
    void setHWnd(std::int32_t value) { m_hWnd = value; }
    [[nodiscard]] std::int32_t HoverTime() const { return m_hoverTime; }
    void setHoverTime(std::int32_t milliseconds) { m_hoverTime = milliseconds; }
    [[nodiscard]] std::int32_t prevProc() const { return m_prevProc; }
    void setPrevProc(std::int32_t value) { m_prevProc = value; }

    void RaiseMouseHover();
    void RaiseMouseLeave();

signals:
    void MouseHover();
    void MouseLeave();

private:
    std::int32_t m_hWnd = 0;
    std::int32_t m_hoverTime = kDefaultHoverTime;
    std::int32_t m_prevProc = 0;
};

}  // namespace sw::widgets
