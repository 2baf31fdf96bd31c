// The imaging control: image list, loading and saving, transforms and the view settings. Drawing
// and pointer handling are in imaging_control_view.cpp.
#include "imaging/ui/imaging_control.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>

#include "imaging/imaging_error.h"
#include "imaging/tiff_writer.h"
#include "imaging/transforms.h"
#include "imaging/ui/imaging_control_p.h"
#include "imaging/view_geometry.h"

namespace sw::imaging {

QSizeF ImagingControl::Private::sheetSize() const {
    return current > 0 ? QSizeF(images[current - 1].size()) : QSizeF();
}

double ImagingControl::Private::shownPercent() const {
    if (mode == kFit && current > 0 && !display.isEmpty() && !sheetSize().isEmpty()) {
        return view::percentOf(sheetSize(), display);
    }
    return zoom;
}

QPointF ImagingControl::Private::windowCentre() const {
    return {q->width() / 2.0, q->height() / 2.0};
}

void ImagingControl::Private::replaceCurrent(const Sheet& sheet) {
    asLoaded.erase(current);
    if (current == 0) {
        images.append(sheet);
        current = static_cast<int>(images.size());
    } else {
        currentSheet() = sheet;
    }
    if (autoRect) {
        layOut(false);
    }
    changed();
}

void ImagingControl::Private::layOut(bool notify) {
    const QRectF before = display;
    const QSizeF window = q->size();
    if (current == 0 || sheetSize().isEmpty()) {
        display = QRectF();
    } else if (mode == kFit) {
        display = view::fittedRect(sheetSize(), window);
    } else {
        display = view::zoomedRect(sheetSize(), zoom, QRectF(), windowCentre());
    }
    clip = QRectF(QPointF(0, 0), window);
    if (notify && display != before) {
        emit q->viewChanged();
    }
}

void ImagingControl::Private::changed() {
    if (autoRepaint) {
        q->update();
    }
}

ImagingControl::ImagingControl(QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>(this)) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    d->loader = new SheetLoader(this);
    connect(d->loader, &SheetLoader::progress, this, &ImagingControl::loadProgress);
    connect(d->loader, &SheetLoader::failed, this, &ImagingControl::loadFailed);
    connect(d->loader, &SheetLoader::loaded, this, [this](const Sheet& sheet) {
        d->replaceCurrent(sheet);
        emit imageLoaded();
    });
}

ImagingControl::~ImagingControl() = default;

// ---- Image list ------------------------------------------------------------------------------

int ImagingControl::imageCount() const {
    return static_cast<int>(d->images.size());
}
int ImagingControl::currentImage() const {
    return d->current;
}

void ImagingControl::setCurrentImage(int index) {
    if (index >= 1 && index <= imageCount() && index != d->current) {
        d->current = index;
        if (d->autoRect) {
            d->layOut(false);
        }
        d->changed();
    }
}

void ImagingControl::insertImage(int index, const Sheet& sheet) {
    d->asLoaded.erase(index);
    if (index >= 1 && index <= imageCount()) {
        d->images[index - 1] = sheet;
    } else if (index == imageCount() + 1) {
        d->images.append(sheet);
    } else {
        return;
    }
    if (d->current == 0) {
        d->current = 1;
    }
    if (index == d->current) {
        if (d->autoRect) {
            d->layOut(false);
        }
        d->changed();
    }
}

const Sheet& ImagingControl::sheet() const {
    return d->current > 0 ? d->images.at(d->current - 1) : d->none;
}

Sheet ImagingControl::sheetAsLoaded() const {
    const auto kept = d->asLoaded.find(d->current);
    return kept != d->asLoaded.end() ? kept->second : sheet();
}

void ImagingControl::setSheet(const Sheet& sheet) {
    d->replaceCurrent(sheet);
}

int ImagingControl::loadedImage() const {
    return d->current > 0 && !sheet().isNull() ? d->current : 0;
}

void ImagingControl::clearImage() {
    d->images.clear();
    d->asLoaded.clear();
    d->current = 0;
    d->display = QRectF();
    d->changed();
}

int ImagingControl::imageWidth() const {
    return sheet().width();
}
int ImagingControl::imageHeight() const {
    return sheet().height();
}
double ImagingControl::resolutionX() const {
    return sheet().dpiX();
}
double ImagingControl::resolutionY() const {
    return sheet().dpiY();
}

void ImagingControl::setResolution(double dpiX, double dpiY) {
    if (d->current > 0) {
        d->asLoaded.try_emplace(d->current, sheet());
        d->currentSheet().setDpi(dpiX, dpiY);
    }
}

QImage ImagingControl::picture() const {
    const Sheet& shown = sheet();
    return shown.overlay() ? shown.overlay()->picture(shown) : shown.image();
}

void ImagingControl::setOverlay(std::shared_ptr<const SheetOverlay> overlay) {
    if (d->current > 0) {
        d->currentSheet().setOverlay(std::move(overlay));
        d->changed();
    }
}

// ---- Loading and saving ------------------------------------------------------------------------

void ImagingControl::setLoadSwitch(bool on) {
    d->loadSwitch = on;
}
bool ImagingControl::loadSwitch() const {
    return d->loadSwitch;
}

void ImagingControl::setLoadAddress(const QString& address) {
    d->address = address;
    d->loader->start(address);
}

QString ImagingControl::loadAddress() const {
    return d->address;
}
bool ImagingControl::isLoading() const {
    return d->loader->isLoading();
}

void ImagingControl::setTransferTimeout(int milliseconds) {
    d->loader->setTransferTimeout(milliseconds);
}

int ImagingControl::transferTimeout() const {
    return d->loader->transferTimeout();
}

void ImagingControl::setMaxImageBytes(qint64 bytes) {
    d->decodeOptions.maxImageBytes = bytes;
    d->loader->setDecodeOptions(d->decodeOptions);
}

qint64 ImagingControl::maxImageBytes() const {
    return d->decodeOptions.maxImageBytes;
}

void ImagingControl::loadFile(const QString& path) {
    Sheet loaded;
    try {
        loaded = readTiffFile(path, d->decodeOptions);
    } catch (const ImagingError& e) {
        if (e.message().contains(path)) {
            throw;
        }
        throw ImagingError(QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), e.message()));
    }
    d->loader->cancel();
    prepareForDisplay(loaded);
    d->replaceCurrent(loaded);
}

void ImagingControl::saveFile(const QString& path, int formatCode, int bitsPerPixel, int, int) {
    if (loadedImage() > 0) {
        saveTiffFile(sheet(), path, formatCode, bitsPerPixel);
    }
}

int ImagingControl::saveToMemory(QByteArray& buffer, int formatCode, int bitsPerPixel, int) {
    buffer.clear();
    if (loadedImage() == 0) {
        return 1;
    }
    try {
        buffer = encodeTiff(sheet(), formatCode, bitsPerPixel);
    } catch (const ImagingError&) {
        buffer.clear();
        return 2;
    }
    return 0;
}

qint64 ImagingControl::queryMemory(const QByteArray& buffer, int code) {
    return code == 15 ? buffer.size() : 0;
}

void ImagingControl::loadFromMemory(const QByteArray& buffer) {
    Sheet loaded = decodeTiff(buffer, d->decodeOptions);
    d->loader->cancel();
    prepareForDisplay(loaded);
    d->replaceCurrent(loaded);
}

// ---- Transforms --------------------------------------------------------------------------------

void ImagingControl::rotate(int hundredthsOfDegree, int, QRgb fill) {
    if (loadedImage() == 0) {
        return;
    }
    const Sheet turned = rotated(sheet(), hundredthsOfDegree, fill);
    if (const auto kept = d->asLoaded.find(d->current); kept != d->asLoaded.end()) {
        kept->second = rotated(kept->second, hundredthsOfDegree, fill);
    }
    const QRectF before = d->display;
    d->currentSheet() = turned;
    if (d->autoRect) {
        if (d->mode == kZoom && hundredthsOfDegree % 9000 == 0) {
            d->display = view::turnedRect(before, hundredthsOfDegree / 9000, d->windowCentre());
        } else {
            d->layOut(false);
        }
    }
    d->changed();
}

void ImagingControl::resample(double width, double height, int flag) {
    if (loadedImage() == 0) {
        return;
    }
    const int w = static_cast<int>(std::lround(width));
    const int h = static_cast<int>(std::lround(height));
    d->asLoaded.try_emplace(d->current, sheet());
    d->currentSheet() = resampled(sheet(), w, h, flag == 1);
    // The same part of the sheet stays in view; the zoom follows the new pixel size.
    if (d->mode == kZoom) {
        d->zoom = view::percentOf(d->sheetSize(), d->display);
    } else if (d->autoRect) {
        d->layOut(false);
    }
    d->changed();
}

void ImagingControl::crop(double x, double y, double width, double height) {
    if (loadedImage() == 0) {
        return;
    }
    d->replaceCurrent(cropped(sheet(), QRectF(x, y, width, height)));
}

void ImagingControl::setUserPalette(int entry, QRgb colour) {
    if (entry == 0 || entry == 1) {
        d->palette[entry] = colour;
    }
}

QRgb ImagingControl::userPalette(int entry) const {
    return d->palette[entry == 1 ? 1 : 0];
}

void ImagingControl::reduceColours(int bitsPerPixel, int, int, int) {
    if (loadedImage() == 0) {
        return;
    }
    if (bitsPerPixel != 1) {
        throw ImagingError(QStringLiteral("Colour reduction to %1 bits per pixel is not supported")
                               .arg(bitsPerPixel));
    }
    d->asLoaded.erase(d->current);
    d->currentSheet() = reducedToBilevel(sheet(), d->palette[0], d->palette[1]);
    d->changed();
}

// ---- Display settings --------------------------------------------------------------------------

int ImagingControl::paintSizeMode() const {
    return d->mode;
}

void ImagingControl::setPaintSizeMode(int mode) {
    if (mode != kFit && mode != kZoom) {
        return;
    }
    const int before = d->mode;
    if (before == kFit && mode == kZoom) {
        d->zoom = d->shownPercent();  // zooming starts from what is on screen
    }
    d->mode = mode;
    if (d->autoRect && d->current > 0) {
        if (mode == kFit) {
            d->display = view::fittedRect(d->sheetSize(), size());
        } else if (before != kZoom || d->display.isEmpty()) {
            d->display = view::zoomedRect(d->sheetSize(), d->zoom, d->display, d->windowCentre());
        }
        d->clip = rect();
    }
    d->changed();
}

double ImagingControl::zoom() const {
    return d->shownPercent();
}

void ImagingControl::setZoom(double percent) {
    if (!std::isfinite(percent) || percent <= 0) {
        return;
    }
    d->zoom = std::min(percent, view::kMaxZoomPercent);
    if (d->autoRect && d->mode == kZoom && d->current > 0) {
        d->display = view::zoomedRect(d->sheetSize(), d->zoom, d->display, d->windowCentre());
        d->clip = rect();
    }
    d->changed();
}

bool ImagingControl::autoRect() const {
    return d->autoRect;
}
void ImagingControl::setAutoRect(bool on) {
    d->autoRect = on;
}
bool ImagingControl::autoRepaint() const {
    return d->autoRepaint;
}

void ImagingControl::setAutoRepaint(bool on) {
    if (on == d->autoRepaint) {
        return;
    }
    if (!on && isVisible()) {
        d->freeze();  // what the user sees now stays until the switch is on again
    }
    d->autoRepaint = on;
    if (on) {
        d->frozen = QImage();
        update();
    }
}

QRectF ImagingControl::displayRect() const {
    return d->display;
}

void ImagingControl::setDisplayRect(const QRectF& rect) {
    d->display = rect;
    d->changed();
}

QRectF ImagingControl::clipRect() const {
    return d->clip;
}
void ImagingControl::setClipRect(const QRectF& rect) {
    d->clip = rect;
}
QSizeF ImagingControl::sourceSize() const {
    return sheet().size();
}
QSize ImagingControl::visibleSize() const {
    return size();
}

void ImagingControl::zoomToRect(const QRectF& rect) {
    if (d->current == 0 || rect.width() <= 0 || rect.height() <= 0 || d->display.isEmpty()) {
        return;
    }
    const view::Zoom z = view::zoomToRect(d->sheetSize(), d->display, rect, size());
    d->mode = kZoom;
    d->zoom = z.percent;
    d->display = z.display;
    d->clip = this->rect();
    d->changed();
}

// ---- Other switches
// ------------------------------------------------------------------------------

void ImagingControl::setShutdownSwitch(bool on) {
    d->shutdown = on;
}
bool ImagingControl::shutdownSwitch() const {
    return d->shutdown;
}

}  // namespace sw::imaging
