#include "printing/printable_image.h"

#include <cmath>

namespace sw::printing {

namespace {

constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kWhite = 0xffffffff;

// A one-bit image with `ink` opaque and paper transparent, expanded to ARGB32.
QImage stencil(QImage mono, int inkIndex) {
    const QRgb ink = mono.color(inkIndex);
    const QRgb clear = qRgba(qRed(ink), qGreen(ink), qBlue(ink), 0);
    mono.setColorTable(inkIndex == 0 ? QList<QRgb>{ink, clear} : QList<QRgb>{clear, ink});
    return mono.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

BilevelInk::Piece BilevelInk::prepare(const QImage& piece) {
    if (piece.depth() != 1 || piece.colorCount() != 2) {
        return {piece, std::nullopt};
    }
    QImage mono =
        piece.format() == QImage::Format_Mono ? piece : piece.convertToFormat(QImage::Format_Mono);
    const QRgb c0 = mono.color(0);
    const QRgb c1 = mono.color(1);
    if ((c0 == kBlack && c1 == kWhite) || (c0 == kWhite && c1 == kBlack)) {
        if (m_ink) {
            return {stencil(mono, c0 == kBlack ? 0 : 1), std::nullopt};
        }
        m_blackOnWhiteDrawn = true;
        return {printableImage(mono), std::nullopt};
    }
    const int inkBit = c0 == kWhite ? 1 : 0;
    const QRgb ink = inkBit == 1 ? c1 : c0;
    const bool inkOnWhite = (c0 == kWhite || c1 == kWhite) && qAlpha(ink) == 255;
    if (!inkOnWhite || m_blackOnWhiteDrawn || (m_ink && (*m_ink != ink || m_inkBit != inkBit))) {
        return {printableImage(mono), std::nullopt};
    }
    m_ink = ink;
    m_inkBit = inkBit;
    mono.setColorTable({kBlack, kWhite});
    return {mono, ink};
}

QImage printableImage(const QImage& piece) {
    if (piece.depth() != 1 || piece.colorCount() != 2) {
        return piece;
    }
    QImage mono =
        piece.format() == QImage::Format_Mono ? piece : piece.convertToFormat(QImage::Format_Mono);
    const QRgb c0 = mono.color(0);
    const QRgb c1 = mono.color(1);
    if (c0 == kBlack && c1 == kWhite) {
        return mono;
    }
    if (c0 == kWhite && c1 == kBlack) {
        mono.invertPixels();
        mono.setColorTable({kBlack, kWhite});
        return mono;
    }
    if (c1 == kWhite && qAlpha(c0) == 255) {
        return stencil(mono, 0);
    }
    if (c0 == kWhite && qAlpha(c1) == 255) {
        return stencil(mono, 1);
    }
    return piece;
}

SourcePlacement placeSource(const QSize& pictureSize, const QRectF& source, const QRectF& dest) {
    SourcePlacement placement;
    if (source.width() <= 0 || source.height() <= 0 || pictureSize.isEmpty()) {
        return placement;
    }
    const QRectF visible = source.intersected(QRectF(QPointF(0, 0), QSizeF(pictureSize)));
    if (visible.isEmpty()) {
        return placement;
    }
    const double scaleX = dest.width() / source.width();
    const double scaleY = dest.height() / source.height();
    const int left = static_cast<int>(std::floor(visible.left()));
    const int top = static_cast<int>(std::floor(visible.top()));
    const int right = static_cast<int>(std::ceil(visible.right()));
    const int bottom = static_cast<int>(std::ceil(visible.bottom()));
    placement.pixels = QRect(left, top, right - left, bottom - top);
    placement.target =
        QRectF(dest.x() + (left - source.x()) * scaleX, dest.y() + (top - source.y()) * scaleY,
               (right - left) * scaleX, (bottom - top) * scaleY);
    placement.clip = QRectF(dest.x() + (visible.x() - source.x()) * scaleX,
                            dest.y() + (visible.y() - source.y()) * scaleY,
                            visible.width() * scaleX, visible.height() * scaleY);
    return placement;
}

}  // namespace sw::printing
