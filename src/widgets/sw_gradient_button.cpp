#include "widgets/sw_gradient_button.h"

#include <QMouseEvent>

#include "widgets/c_bitmap.h"
#include "widgets/cls_track_info.h"
#include "widgets/gradient.h"
#include "widgets/tracking_events.h"
#include "widgets/twips.h"
#include "widgets/twips_painter.h"

namespace sw::widgets {

namespace {

constexpr OleColor kNormalTop = rgb(221, 236, 254);
constexpr OleColor kNormalBottom = rgb(129, 169, 226);
constexpr OleColor kHoverTop = rgb(247, 227, 134);
constexpr OleColor kHoverBottom = rgb(238, 164, 36);
constexpr OleColor kPressedTop = rgb(238, 164, 36);
constexpr OleColor kPressedBottom = rgb(226, 113, 22);
constexpr OleColor kBitmapKey = rgb(255, 0, 0);
// The outline ends this many twips before the far edges: on the last pixel at 15 twips per pixel.
constexpr double kOutlineInset = 12;

}  // namespace

SWGradientButton::SWGradientButton(QWidget* parent) : SurfaceWidget(parent) {
    setMouseTracking(true);
    newTrackingRecord();
}

SWGradientButton::~SWGradientButton() {
    releaseTrackingRecord();
}

void SWGradientButton::newTrackingRecord() {
    releaseTrackingRecord();
    MyTrak = new clsTrackInfo(this);
    connect(MyTrak, &clsTrackInfo::MouseHover, this, [this] {
        m_hovering = true;
        emit MouseHover();
    });
    connect(MyTrak, &clsTrackInfo::MouseLeave, this, [this] {
        m_hovering = false;
        emit MouseLeave();
        update();
    });
}

void SWGradientButton::releaseTrackingRecord() {
    if (MyTrak != nullptr) {
        TrackingEvents::StopTracking(MyTrak);
        delete MyTrak;
        MyTrak = nullptr;
    }
}

std::int32_t SWGradientButton::HoverTime() const {
    return MyTrak->HoverTime();
}

void SWGradientButton::setHoverTime(std::int32_t milliseconds) {
    MyTrak->setHoverTime(milliseconds);
    emit PropertyChanged(QStringLiteral("HoverTime"));
}

void SWGradientButton::setImgIndex(std::int16_t value) {
    m_imgIndex = value;
    update();
}

void SWGradientButton::setButtonText(const QString& value) {
    m_buttonText = value;
    update();
}

void SWGradientButton::setButtonGraphic(const QString& value) {
    m_buttonGraphic = value;
    update();
}

void SWGradientButton::ReadProperties(const PropertyBag& bag) {
    newTrackingRecord();
    MyTrak->setHWnd(hWnd());
    bool ok = false;
    const int stored =
        bag.read(QStringLiteral("HoverTime"), clsTrackInfo::kDefaultHoverTime).toInt(&ok);
    MyTrak->setHoverTime(ok ? stored : clsTrackInfo::kDefaultHoverTime);
    if (m_userMode) {
        TrackingEvents::StartTracking(MyTrak);
    }
}

void SWGradientButton::WriteProperties(PropertyBag& bag) const {
    bag.write(QStringLiteral("HoverTime"), MyTrak->HoverTime(), clsTrackInfo::kDefaultHoverTime);
}

QImage SWGradientButton::libraryBitmap(int index) {
    if (index < 1 || index > kBitmapCount) {
        return {};
    }
    return QImage(QStringLiteral(":/sw/widgets/bitmaps/%1.bmp").arg(index));
}

void SWGradientButton::ApplyGradient(OleColor StartColor, OleColor EndColor) {
    applyGradient(StartColor, EndColor);
    showSurface();
}

void SWGradientButton::applyGradient(OleColor startColor, OleColor endColor) {
    const auto bands = buttonGradientBands(startColor, endColor, heightTwips());
    if (bands) {
        paintGradientBands(&surface(), *bands, widthTwips());
    }
}

void SWGradientButton::paintSurface() {
    if (m_hovering) {
        if (m_isDown) {
            applyGradient(kPressedTop, kPressedBottom);
        } else {
            applyGradient(kHoverTop, kHoverBottom);
        }
        TwipsPainter painter(&surface());
        painter.box(QPointF(0, 0),
                    QPointF(widthTwips() - kOutlineInset, heightTwips() - kOutlineInset), Qt::black,
                    false);
    } else {
        applyGradient(kNormalTop, kNormalBottom);
    }
    if (m_imgIndex != 0) {
        drawBitmap();
    }
}

void SWGradientButton::drawBitmap() {
    const QImage picture = libraryBitmap(m_imgIndex);
    cBitmap bitmap;
    if (!bitmap.CreateFromPicture(picture).isValid()) {
        return;
    }
    // Centred; both sizes in pixels of the horizontal factor, as the original computes them.
    const double tpp = twipsPerPixelX();
    const int x = static_cast<int>(roundHalfEven(widthTwips() / tpp / 2 - bitmap.Width() / 2.0));
    const int y = static_cast<int>(roundHalfEven(heightTwips() / tpp / 2 - bitmap.Height() / 2.0));
    if (!transparentBlt(hDC(), x, y, bitmap.Width(), bitmap.Height(), bitmap.hDC(), 0, 0,
                        kBitmapKey)) {
        maskedTransparentBlt(hDC(), x, y, bitmap.Width(), bitmap.Height(), bitmap.hDC(), 0, 0,
                             kBitmapKey);
    }
}

void SWGradientButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_isDown = true;
        update();
    }
}

void SWGradientButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const bool wasDown = m_isDown;
    m_isDown = false;
    update();
    if (wasDown && rect().contains(event->position().toPoint())) {
        emit Click();
    }
}

void SWGradientButton::mouseMoveEvent(QMouseEvent* /*event*/) {
    if (!m_hovering) {
        m_hovering = true;
        update();
    }
}

}  // namespace sw::widgets
