#include "widgets/surface_widget.h"

#include <limits>
#include <optional>

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include "widgets/handles.h"
#include "widgets/twips.h"

namespace sw::widgets {

namespace {

constexpr QImage::Format kSurfaceFormat = QImage::Format_RGB32;

// Pixels of a twips coordinate, or nothing when it does not fit a widget coordinate.
std::optional<int> toPixels(double twips, double factor) {
    const double pixels = roundHalfEven(twips / factor);
    if (!(pixels >= -QWIDGETSIZE_MAX && pixels <= QWIDGETSIZE_MAX)) {
        return std::nullopt;
    }
    return static_cast<int>(pixels);
}

}  // namespace

SurfaceWidget::SurfaceWidget(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface = QImage(size(), kSurfaceFormat);
    m_surface.fill(Qt::white);
    m_hDC = handles::registerDrawable(&m_surface);
}

SurfaceWidget::~SurfaceWidget() {
    handles::releaseDrawable(m_hDC);
}

std::int32_t SurfaceWidget::hWnd() {
    return handles::windowHandle(this);
}

double SurfaceWidget::leftTwips() const {
    return x() * twipsPerPixelX();
}

double SurfaceWidget::topTwips() const {
    return y() * twipsPerPixelY();
}

double SurfaceWidget::widthTwips() const {
    return width() * twipsPerPixelX();
}

double SurfaceWidget::heightTwips() const {
    return height() * twipsPerPixelY();
}

bool SurfaceWidget::setLeftTwips(double left) {
    return setGeometryTwips(left, topTwips(), widthTwips(), heightTwips());
}

bool SurfaceWidget::setTopTwips(double top) {
    return setGeometryTwips(leftTwips(), top, widthTwips(), heightTwips());
}

bool SurfaceWidget::setWidthTwips(double width) {
    return setGeometryTwips(leftTwips(), topTwips(), width, heightTwips());
}

bool SurfaceWidget::setHeightTwips(double height) {
    return setGeometryTwips(leftTwips(), topTwips(), widthTwips(), height);
}

bool SurfaceWidget::setGeometryTwips(double left, double top, double width, double height) {
    const auto x = toPixels(left, twipsPerPixelX());
    const auto y = toPixels(top, twipsPerPixelY());
    const auto w = toPixels(width, twipsPerPixelX());
    const auto h = toPixels(height, twipsPerPixelY());
    if (!x || !y || !w || !h || *w < 0 || *h < 0) {
        return false;
    }
    setGeometry(*x, *y, *w, *h);
    return true;
}

void SurfaceWidget::repaintSurface() {
    ensureSurfaceSize();
    if (!m_surface.isNull()) {
        paintSurface();
    }
    m_showOnly = true;
    repaint();
}

void SurfaceWidget::showSurface() {
    m_showOnly = true;
    update();
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
    ensureSurfaceSize();
    if (!m_showOnly && !m_surface.isNull()) {
        paintSurface();
    }
    m_showOnly = false;
    QPainter painter(this);
    painter.drawImage(event->rect(), m_surface, event->rect());
}

void SurfaceWidget::resizeEvent(QResizeEvent* event) {
    ensureSurfaceSize();
    m_showOnly = false;
    QWidget::resizeEvent(event);
}

void SurfaceWidget::ensureSurfaceSize() {
    if (m_surface.size() != size()) {
        m_surface = QImage(size(), kSurfaceFormat);
        m_surface.fill(Qt::white);
    }
}

}  // namespace sw::widgets
