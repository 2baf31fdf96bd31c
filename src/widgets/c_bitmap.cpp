#include "widgets/c_bitmap.h"

#include <optional>

#include <QImageReader>
#include <QPainter>

#include "widgets/handles.h"

namespace sw::widgets {

namespace {

constexpr QImage::Format kScreenFormat = QImage::Format_RGB32;
constexpr qint64 kMaxSurfaceBytes = 512LL * 1024 * 1024;

struct RasterMode {
    std::uint32_t op;
    QPainter::CompositionMode mode;
};

constexpr RasterMode kRasterModes[] = {
    {kSrcCopy, QPainter::CompositionMode_Source},
    {kSrcPaint, QPainter::RasterOp_SourceOrDestination},
    {kSrcAnd, QPainter::RasterOp_SourceAndDestination},
    {kSrcInvert, QPainter::RasterOp_SourceXorDestination},
    {kSrcErase, QPainter::RasterOp_SourceAndNotDestination},
    {kNotSrcCopy, QPainter::RasterOp_NotSource},
    {kNotSrcErase, QPainter::RasterOp_NotSourceAndNotDestination},
    {kMergePaint, QPainter::RasterOp_NotSourceOrDestination},
    {kDstInvert, QPainter::RasterOp_NotDestination},
    {kDstAndNotSrc, QPainter::RasterOp_NotSourceAndDestination},
};

std::optional<QPainter::CompositionMode> modeFor(std::uint32_t op) {
    for (const RasterMode& entry : kRasterModes) {
        if (entry.op == op) {
            return entry.mode;
        }
    }
    return std::nullopt;
}

bool fitsBudget(qint64 width, qint64 height) {
    return width > 0 && height > 0 && width * height * 4 <= kMaxSurfaceBytes;
}

QImage* imageFromHandle(std::int32_t handle) {
    QPaintDevice* device = handles::drawableFromHandle(handle);
    auto* image = dynamic_cast<QImage*>(device);
    return image != nullptr && !image->isNull() ? image : nullptr;
}

}  // namespace

cBitmap::cBitmap() = default;

cBitmap::~cBitmap() {
    ClearUp();
}

void cBitmap::ClearUp() {
    if (m_hDC != 0) {
        handles::releaseDrawable(m_hDC);
        m_hDC = 0;
    }
    m_surface.reset();
}

bool cBitmap::adopt(QImage image) {
    if (image.isNull()) {
        return false;
    }
    m_surface = std::make_unique<QImage>(std::move(image));
    m_hDC = handles::registerDrawable(m_surface.get());
    m_width = m_surface->width();
    m_height = m_surface->height();
    return true;
}

bool cBitmap::CreateAtSize(std::int32_t lDX, std::int32_t lDY) {
    ClearUp();
    if (!fitsBudget(lDX, lDY)) {
        return false;
    }
    QImage image(lDX, lDY, kScreenFormat);
    if (image.isNull()) {
        return false;
    }
    image.fill(Qt::black);
    return adopt(std::move(image));
}

bool cBitmap::CreateFromFile(const QString& sBitmapBitmap) {
    ClearUp();
    if (sBitmapBitmap.isEmpty()) {
        return false;
    }
    QImageReader reader(sBitmapBitmap);
    const QSize size = reader.size();
    if (size.isValid() && !fitsBudget(size.width(), size.height())) {
        return false;
    }
    const QImage image = reader.read();
    if (image.isNull() || !fitsBudget(image.width(), image.height())) {
        return false;
    }
    return adopt(image.convertToFormat(kScreenFormat));
}

QVariant cBitmap::CreateFromPicture(const QImage& picThis) {
    ClearUp();
    if (picThis.isNull() || !fitsBudget(picThis.width(), picThis.height())) {
        return {};
    }
    if (!adopt(picThis.convertToFormat(kScreenFormat))) {
        return {};
    }
    return true;
}

void cBitmap::RenderBitmap(std::int32_t lHDC, std::int32_t lX, std::int32_t lY,
                           std::uint32_t OpCode) const {
    QPaintDevice* target = handles::drawableFromHandle(lHDC);
    if (m_surface == nullptr || target == nullptr || target == m_surface.get()) {
        return;
    }
    QPainter painter(target);
    if (!painter.isActive()) {
        return;
    }
    const QRect area(lX, lY, m_width, m_height);
    if (OpCode == kBlackness || OpCode == kWhiteness) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(area, OpCode == kBlackness ? Qt::black : Qt::white);
        return;
    }
    const auto mode = modeFor(OpCode);
    if (!mode) {
        return;
    }
    painter.setCompositionMode(*mode);
    if (*mode == QPainter::RasterOp_NotDestination) {
        painter.fillRect(area, Qt::black);  // the source does not matter
        return;
    }
    painter.drawImage(area.topLeft(), *m_surface);
}

bool transparentBlt(std::int32_t destHDC, int x, int y, int w, int h, std::int32_t srcHDC, int sx,
                    int sy, OleColor key) {
    QImage* dest = imageFromHandle(destHDC);
    const QImage* src = imageFromHandle(srcHDC);
    if (dest == nullptr || src == nullptr || dest == src) {
        return false;
    }
    QImage keyed = src->copy(sx, sy, w, h).convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = oleColorToQColor(key).rgb() & RGB_MASK;
    for (int row = 0; row < keyed.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(row));
        for (int col = 0; col < keyed.width(); ++col) {
            if ((line[col] & RGB_MASK) == keyRgb) {
                line[col] = 0;
            }
        }
    }
    QPainter painter(dest);
    painter.drawImage(x, y, keyed);
    return painter.isActive();
}

bool maskedTransparentBlt(std::int32_t destHDC, int x, int y, int w, int h, std::int32_t srcHDC,
                          int sx, int sy, OleColor key) {
    const QImage* src = imageFromHandle(srcHDC);
    if (imageFromHandle(destHDC) == nullptr || src == nullptr) {
        return false;
    }
    // The mask: white where the source shows the key colour, black elsewhere.
    cBitmap mask;
    cBitmap source;
    if (!mask.CreateAtSize(w, h) || !source.CreateFromPicture(src->copy(sx, sy, w, h)).isValid()) {
        return false;
    }
    QImage* maskImage = imageFromHandle(mask.hDC());
    const QImage* sourceImage = imageFromHandle(source.hDC());
    const QRgb keyRgb = oleColorToQColor(key).rgb() & RGB_MASK;
    for (int row = 0; row < h; ++row) {
        const auto* in = reinterpret_cast<const QRgb*>(sourceImage->constScanLine(row));
        auto* out = reinterpret_cast<QRgb*>(maskImage->scanLine(row));
        for (int col = 0; col < w; ++col) {
            out[col] = (in[col] & RGB_MASK) == keyRgb ? 0xFFFFFFFF : 0xFF000000;
        }
    }
    // Key pixels of the source become black (NOT mask AND source), the destination keeps only
    // the key area (mask AND destination), and OR puts the two together.
    mask.RenderBitmap(source.hDC(), 0, 0, kDstAndNotSrc);
    mask.RenderBitmap(destHDC, x, y, kSrcAnd);
    source.RenderBitmap(destHDC, x, y, kSrcPaint);
    return true;
}

}  // namespace sw::widgets
