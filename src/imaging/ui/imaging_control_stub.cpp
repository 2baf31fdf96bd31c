// Interim implementation of the imaging control: keeps the state callers set so that dependent
// areas build and link while the engine is written. Replaced by the engine's implementation.
#include <QPainter>

#include "imaging/ui/imaging_control.h"

namespace sw::imaging {

struct ImagingControl::Private {
    QList<Sheet> images;
    int current = 0;
    Sheet none;
    bool loadSwitch = false;
    QString address;
    QRgb palette[2] = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    int mode = kFit;
    double zoom = 100;
    bool autoRect = true;
    bool autoRepaint = true;
    QRectF display;
    QRectF clip;
    bool rubber = true;
    QRectF rubberRect;
    bool magnifier = false;
    int annotationMode = 0;
    int annotationSetting = 0;
    QList<Annotation> annotations;
    bool shutdown = true;
};

ImagingControl::ImagingControl(QWidget* parent) : QWidget(parent), d(std::make_unique<Private>()) {}
ImagingControl::~ImagingControl() = default;

int ImagingControl::imageCount() const { return static_cast<int>(d->images.size()); }
int ImagingControl::currentImage() const { return d->current; }
void ImagingControl::setCurrentImage(int index) {
    if (index >= 1 && index <= imageCount()) {
        d->current = index;
    }
}
void ImagingControl::insertImage(int index, const Sheet& sheet) {
    if (index >= 1 && index <= imageCount()) {
        d->images[index - 1] = sheet;
    } else if (index == imageCount() + 1) {
        d->images.append(sheet);
    }
    if (d->current == 0 && !d->images.isEmpty()) {
        d->current = 1;
    }
}
const Sheet& ImagingControl::sheet() const {
    return d->current > 0 ? d->images.at(d->current - 1) : d->none;
}
void ImagingControl::setSheet(const Sheet& sheet) {
    if (d->current == 0) {
        insertImage(1, sheet);
    } else {
        d->images[d->current - 1] = sheet;
    }
}
int ImagingControl::loadedImage() const { return sheet().isNull() ? 0 : 1; }
void ImagingControl::clearImage() {
    d->images.clear();
    d->current = 0;
}
int ImagingControl::imageWidth() const { return sheet().width(); }
int ImagingControl::imageHeight() const { return sheet().height(); }
double ImagingControl::resolutionX() const { return sheet().dpiX(); }
double ImagingControl::resolutionY() const { return sheet().dpiY(); }
void ImagingControl::setResolution(double dpiX, double dpiY) {
    if (d->current > 0) {
        d->images[d->current - 1].setDpi(dpiX, dpiY);
    }
}
QImage ImagingControl::picture() const { return sheet().image(); }
void ImagingControl::setLoadSwitch(bool on) { d->loadSwitch = on; }
bool ImagingControl::loadSwitch() const { return d->loadSwitch; }
void ImagingControl::setLoadAddress(const QString& address) { d->address = address; }
QString ImagingControl::loadAddress() const { return d->address; }
bool ImagingControl::isLoading() const { return false; }
void ImagingControl::loadFile(const QString&) {}
void ImagingControl::saveFile(const QString&, int, int, int, int) {}
int ImagingControl::saveToMemory(QByteArray&, int, int, int) { return 1; }
qint64 ImagingControl::queryMemory(const QByteArray& buffer, int code) {
    return code == 15 ? buffer.size() : 0;
}
void ImagingControl::loadFromMemory(const QByteArray&) {}
void ImagingControl::rotate(int, int, QRgb) {}
void ImagingControl::resample(double, double, int) {}
void ImagingControl::crop(double, double, double, double) {}
void ImagingControl::setUserPalette(int entry, QRgb colour) {
    if (entry == 0 || entry == 1) {
        d->palette[entry] = colour;
    }
}
QRgb ImagingControl::userPalette(int entry) const { return d->palette[entry == 1 ? 1 : 0]; }
void ImagingControl::reduceColours(int, int, int, int) {}
int ImagingControl::paintSizeMode() const { return d->mode; }
void ImagingControl::setPaintSizeMode(int mode) { d->mode = mode; }
double ImagingControl::zoom() const { return d->zoom; }
void ImagingControl::setZoom(double percent) { d->zoom = percent; }
bool ImagingControl::autoRect() const { return d->autoRect; }
void ImagingControl::setAutoRect(bool on) { d->autoRect = on; }
bool ImagingControl::autoRepaint() const { return d->autoRepaint; }
void ImagingControl::setAutoRepaint(bool on) { d->autoRepaint = on; }
QRectF ImagingControl::displayRect() const { return d->display; }
void ImagingControl::setDisplayRect(const QRectF& rect) { d->display = rect; }
QRectF ImagingControl::clipRect() const { return d->clip; }
void ImagingControl::setClipRect(const QRectF& rect) { d->clip = rect; }
QSizeF ImagingControl::sourceSize() const { return sheet().size(); }
QSize ImagingControl::visibleSize() const { return size(); }
void ImagingControl::zoomToRect(const QRectF&) {}
void ImagingControl::repaintNow() { repaint(); }
void ImagingControl::paintInto(QPainter&, const QRect&) const {}
bool ImagingControl::rubberBand() const { return d->rubber; }
void ImagingControl::setRubberBand(bool on) { d->rubber = on; }
QRectF ImagingControl::rubberBandRect() const { return d->rubberRect; }
void ImagingControl::setMagnifierNumber(int, int) {}
void ImagingControl::setMagnifierSwitch(int, bool) {}
void ImagingControl::startMagnifier(const MagnifierOptions&) { d->magnifier = true; }
void ImagingControl::stopMagnifier() { d->magnifier = false; }
bool ImagingControl::magnifierActive() const { return d->magnifier; }
bool ImagingControl::toolActive() const { return d->magnifier; }
int ImagingControl::annotationMode() const { return d->annotationMode; }
void ImagingControl::setAnnotationMode(int mode) { d->annotationMode = mode; }
int ImagingControl::annotationSetting() const { return d->annotationSetting; }
void ImagingControl::setAnnotationSetting(int setting) { d->annotationSetting = setting; }
quintptr ImagingControl::annotationContainer() const {
    return d->annotations.isEmpty() ? 0 : reinterpret_cast<quintptr>(&d->annotations);
}
void ImagingControl::removeAnnotations() { d->annotations.clear(); }
void ImagingControl::addAnnotation(const Annotation& object) { d->annotations.append(object); }
QList<ImagingControl::Annotation> ImagingControl::annotations() const { return d->annotations; }
void ImagingControl::setShutdownSwitch(bool on) { d->shutdown = on; }
bool ImagingControl::shutdownSwitch() const { return d->shutdown; }
void ImagingControl::paintEvent(QPaintEvent*) {}
void ImagingControl::resizeEvent(QResizeEvent*) {}
void ImagingControl::mousePressEvent(QMouseEvent*) {}
void ImagingControl::mouseMoveEvent(QMouseEvent*) {}
void ImagingControl::mouseReleaseEvent(QMouseEvent*) {}
void ImagingControl::mouseDoubleClickEvent(QMouseEvent*) {}

}  // namespace sw::imaging
