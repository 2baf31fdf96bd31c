// The imaging control on screen: drawing of the sheet, annotations, rubber band and lens, and the
// pointer, wheel and keyboard handling.
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "imaging/sheet_renderer.h"
#include "imaging/ui/imaging_control.h"
#include "imaging/ui/imaging_control_p.h"
#include "imaging/view_geometry.h"

namespace sw::imaging {

namespace {

constexpr QRgb kBackground = qRgb(128, 128, 128);  // neutral grey around the sheet

int buttonCode(Qt::MouseButtons buttons) {
    int code = 0;
    if (buttons & Qt::LeftButton) {
        code |= ImagingControl::kLeftButton;
    }
    if (buttons & Qt::RightButton) {
        code |= ImagingControl::kRightButton;
    }
    if (buttons & Qt::MiddleButton) {
        code |= ImagingControl::kMiddleButton;
    }
    return code;
}

int shiftCode(Qt::KeyboardModifiers modifiers) {
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

QRectF scaled(const QRectF& r, qreal factor) {
    return {r.x() * factor, r.y() * factor, r.width() * factor, r.height() * factor};
}

void drawAnnotations(QPainter& painter, const QList<ImagingControl::Annotation>& objects,
                     const QPointF& origin) {
    painter.save();
    painter.translate(origin);
    for (const ImagingControl::Annotation& a : objects) {
        QPen pen(a.lineColour, a.lineWidth, a.lineStyle == 2 ? Qt::DotLine : Qt::SolidLine);
        pen.setCapStyle(Qt::FlatCap);
        if (a.kind == ImagingControl::Annotation::Kind::Line) {
            painter.setPen(pen);
            painter.drawLine(a.from, a.to);
            continue;
        }
        const QRectF box = QRectF(a.from, a.to).normalized();
        if (a.fillColour.isValid()) {
            painter.fillRect(box, a.fillColour);
        }
        if (a.lineWidth > 0) {
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box);
        }
    }
    painter.restore();
}

}  // namespace

// ---- Drawing ------------------------------------------------------------------------------------

void ImagingControl::Private::updateFrame() {
    const qreal dpr = q->devicePixelRatioF();
    const QSize deviceSize = (QSizeF(q->size()) * dpr).toSize();
    const Sheet& shown = q->sheet();
    const qint64 key = shown.image().cacheKey();
    const std::shared_ptr<const SheetOverlay>& overlay = shown.overlay();
    const bool sameOverlay =
        !frameOverlay.owner_before(overlay) && !overlay.owner_before(frameOverlay);
    if (frame.size() == deviceSize && frameImageKey == key && sameOverlay &&
        frameDisplay == display && qFuzzyCompare(frame.devicePixelRatio(), dpr)) {
        return;
    }
    if (frame.size() != deviceSize) {
        frame = QImage(deviceSize, QImage::Format_RGB32);
    }
    frame.setDevicePixelRatio(1);
    renderSheet(shown, frame, QPoint(0, 0), scaled(display, dpr), kBackground);
    frame.setDevicePixelRatio(dpr);
    frameImageKey = key;
    frameOverlay = overlay;
    frameDisplay = display;
}

void ImagingControl::Private::drawOverlays(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    drawAnnotations(painter, annotations, display.topLeft());
    if (banding && bandDrawn) {
        const QRectF band = QRectF(bandStart, bandEnd).normalized();
        painter.fillRect(band, QColor(0, 120, 215, 40));
        painter.setPen(QPen(QColor(0, 90, 200), 1, Qt::DashLine));
        painter.drawRect(band);
    }
    if (!magnifier || !lensVisible || q->loadedImage() == 0) {
        return;
    }
    const qreal dpr = q->devicePixelRatioF();
    const QRectF area(lensCentre.x() - lens.width / 2, lensCentre.y() - lens.height / 2, lens.width,
                      lens.height);
    const double m = lens.magnification / 100.0;
    const QRectF magnified(lensCentre + (display.topLeft() - lensCentre) * m, display.size() * m);
    const QRect deviceLens = scaled(area, dpr).toAlignedRect();
    QImage picture(deviceLens.size(), QImage::Format_RGB32);
    renderSheet(q->sheet(), picture, deviceLens.topLeft(), scaled(magnified, dpr), kBackground);
    picture.setDevicePixelRatio(dpr);
    painter.drawImage(QPointF(deviceLens.topLeft()) / dpr, picture);
    painter.setPen(QPen(QColor(40, 40, 40), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(1, 1, -1, -1));
}

void ImagingControl::Private::freeze() {
    const qreal dpr = q->devicePixelRatioF();
    frozen = QImage((QSizeF(q->size()) * dpr).toSize(), QImage::Format_RGB32);
    frozen.setDevicePixelRatio(dpr);
    updateFrame();
    QPainter painter(&frozen);
    painter.drawImage(QPointF(0, 0), frame);
    drawOverlays(painter);
}

// The sheet comes from the cached frame (drawn again only when the view changed); annotations,
// rubber band and lens go over it. While automatic repaint is off the picture frozen at that
// moment (or at the last repaintNow()) is shown instead.
void ImagingControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!d->autoRepaint) {
        if (d->frozen.isNull() || d->frozen.deviceIndependentSize() != QSizeF(size())) {
            d->freeze();
        }
        painter.drawImage(QPointF(0, 0), d->frozen);
        return;
    }
    d->updateFrame();
    painter.drawImage(QPointF(0, 0), d->frame);
    d->drawOverlays(painter);
    if (loadedImage() == 0 && !d->placeholder.isEmpty()) {
        painter.setPen(Qt::white);
        painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                         d->placeholder);
    }
}

void ImagingControl::setPlaceholderText(const QString& text) {
    if (text != d->placeholder) {
        d->placeholder = text;
        update();
    }
}

QString ImagingControl::placeholderText() const {
    return d->placeholder;
}

void ImagingControl::repaintNow() {
    if (!d->autoRepaint) {
        d->freeze();
    }
    repaint();
}

void ImagingControl::paintInto(QPainter& painter, const QRect& target) const {
    if (width() <= 0 || height() <= 0 || target.isEmpty()) {
        return;
    }
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const double sx = target.width() / static_cast<double>(width());
    const double sy = target.height() / static_cast<double>(height());
    const QRectF display(d->display.x() * sx, d->display.y() * sy, d->display.width() * sx,
                         d->display.height() * sy);
    QImage image((QSizeF(target.size()) * dpr).toSize(), QImage::Format_RGB32);
    renderSheet(sheet(), image, QPoint(0, 0), scaled(display, dpr), kBackground);
    image.setDevicePixelRatio(dpr);
    painter.save();
    painter.drawImage(target.topLeft(), image);
    painter.setClipRect(target);
    painter.translate(target.topLeft());
    painter.scale(sx, sy);
    drawAnnotations(painter, d->annotations, d->display.topLeft());
    painter.restore();
}

void ImagingControl::resizeEvent(QResizeEvent*) {
    if (d->autoRect && d->mode == kFit) {
        d->layOut(true);
    }
}

// ---- Pointer and keyboard
// --------------------------------------------------------------------------

void ImagingControl::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    d->pressed |= event->button();
    if (event->button() == Qt::RightButton) {
        d->rightDrag = true;
    }
    if (event->button() == Qt::LeftButton && d->rubber && !d->magnifier) {
        d->banding = true;
        d->bandDrawn = false;
        d->bandStart = p;
        d->bandEnd = p;
    }
    emit mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), p.x(), p.y());
}

void ImagingControl::mouseMoveEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    if (d->magnifier) {
        d->lensCentre = p;
        d->lensVisible = true;
        update();
    }
    if (d->banding) {
        d->bandEnd = p;
        d->bandDrawn = d->bandDrawn ||
                       (p - d->bandStart).manhattanLength() >= QApplication::startDragDistance();
        update();
    }
    emit mouseMove(buttonCode(event->buttons()), shiftCode(event->modifiers()), p.x(), p.y());
}

void ImagingControl::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    d->pressed &= ~event->button();
    if (d->banding && event->button() == Qt::LeftButton) {
        d->banding = false;
        d->bandEnd = p;
        const QRectF band = QRectF(d->bandStart, d->bandEnd).normalized();
        update();
        if (d->bandDrawn && band.width() >= 1 && band.height() >= 1) {
            d->rubberRect = band;
            emit rubberBandCompleted();
        }
    }
    emit mouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), p.x(), p.y());
    if (event->button() == Qt::RightButton) {
        d->rightDrag = false;
    }
}

void ImagingControl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!(d->pressed & event->button())) {
        mousePressEvent(event);  // a double click delivered without its second press
    }
    if (event->button() == Qt::LeftButton) {
        emit dblClick();
    }
}

void ImagingControl::wheelEvent(QWheelEvent* event) {
    if (d->mode != kZoom || d->display.isEmpty()) {
        event->ignore();
        return;
    }
    QPointF step = QPointF(event->angleDelta()) / 8.0 * 2.0;  // 30 pixels per notch
    if (event->modifiers() & Qt::ShiftModifier) {
        step = QPointF(step.y(), step.x());
    }
    d->display.translate(step);
    d->clip.translate(step);
    d->changed();
    emit viewScrolled();
}

void ImagingControl::keyPressEvent(QKeyEvent* event) {
    if (d->mode != kZoom || d->display.isEmpty()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double stepX = width() / 10.0;
    const double stepY = height() / 10.0;
    QPointF move;
    switch (event->key()) {
        case Qt::Key_Left:
            move = {stepX, 0};
            break;
        case Qt::Key_Right:
            move = {-stepX, 0};
            break;
        case Qt::Key_Up:
            move = {0, stepY};
            break;
        case Qt::Key_Down:
            move = {0, -stepY};
            break;
        case Qt::Key_PageUp:
            move = {0, height() * 0.9};
            break;
        case Qt::Key_PageDown:
            move = {0, -height() * 0.9};
            break;
        case Qt::Key_Home:
            move = -d->display.topLeft();
            break;
        case Qt::Key_End:
            move = QPointF(width(), height()) - d->display.bottomRight();
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    d->display.translate(move);
    d->clip.translate(move);
    d->changed();
    emit viewScrolled();
}

void ImagingControl::leaveEvent(QEvent*) {
    if (d->lensVisible) {
        d->lensVisible = false;
        update();
    }
}

// ---- Rubber band and magnifier
// -------------------------------------------------------------------

bool ImagingControl::rubberBand() const {
    return d->rubber;
}

void ImagingControl::setRubberBand(bool on) {
    d->rubber = on;
    if (!on && d->banding) {
        d->banding = false;
        update();
    }
}

QRectF ImagingControl::rubberBandRect() const {
    return d->rubberRect;
}

void ImagingControl::setMagnifierNumber(int which, int value) {
    if (which == 1 || which == 2) {
        d->magnifierNumbers[which - 1] = value;
    }
}

void ImagingControl::setMagnifierSwitch(int which, bool on) {
    if (which == 1 || which == 2) {
        d->magnifierSwitches[which - 1] = on;
    }
}

void ImagingControl::startMagnifier(const MagnifierOptions& options) {
    d->lens = options;
    if (d->lens.width <= 0 || d->lens.height <= 0 || d->lens.magnification <= 0) {
        d->lens = MagnifierOptions{};
    }
    d->magnifier = true;
    d->banding = false;
    const QPointF pointer = mapFromGlobal(QCursor::pos());
    d->lensCentre = pointer;
    d->lensVisible = rect().contains(pointer.toPoint());
    setCursor(Qt::CrossCursor);
    update();
}

void ImagingControl::stopMagnifier() {
    if (!d->magnifier) {
        return;
    }
    d->magnifier = false;
    d->lensVisible = false;
    unsetCursor();
    update();
}

bool ImagingControl::magnifierActive() const {
    return d->magnifier;
}
bool ImagingControl::toolActive() const {
    return d->magnifier && !d->rightDrag;
}

// ---- Annotations
// ----------------------------------------------------------------------------------

int ImagingControl::annotationMode() const {
    return d->annotationMode;
}

void ImagingControl::setAnnotationMode(int mode) {
    d->annotationMode = mode;
    d->changed();
}

int ImagingControl::annotationSetting() const {
    return d->annotationSetting;
}
void ImagingControl::setAnnotationSetting(int setting) {
    d->annotationSetting = setting;
}

quintptr ImagingControl::annotationContainer() const {
    return d->annotations.isEmpty() ? 0 : reinterpret_cast<quintptr>(&d->annotations);
}

void ImagingControl::removeAnnotations() {
    d->annotations.clear();
    d->changed();
}

void ImagingControl::addAnnotation(const Annotation& object) {
    d->annotations.append(object);
    if (d->annotationMode != 1) {
        d->changed();
    }
}

QList<ImagingControl::Annotation> ImagingControl::annotations() const {
    return d->annotations;
}

}  // namespace sw::imaging
