#pragma once

#include <optional>

#include <QImage>
#include <QRect>
#include <QRectF>

namespace sw::printing {

// Getting sheet pixels onto a page without expanding them.
//
// Qt's PDF engine (which also feeds CUPS printers) embeds a QImage of Format_Mono whose colour
// table is exactly {opaque black, opaque white} as a 1-bit DeviceGray image, Flate-compressed;
// any other 1-bit image (other colours, the other bit order, a reversed table) is expanded to
// 32 bits and, unless lossless rendering is asked for, JPEG-compressed. Coloured ink has no
// 1-bit form in that engine: such pieces go out as their bits in black and white and become
// stencils of coloured ink once the file is written (BilevelInk, pdf_ink.h). Where that cannot
// serve, the nearest is an ARGB image whose alpha is all-or-nothing, which the engine writes as a
// 1-bit /Mask plus a colour plane that, being one flat colour, compresses to almost nothing.
//
// printableImage() turns a piece of a sheet into the form that keeps it smallest without help
// from the finished file:
//   - bilevel with black ink on white: Format_Mono with the exact black/white table (bits
//     inverted when the table was reversed, as for min-is-black sheets);
//   - bilevel with coloured ink on white (a sheet printed in blue): ARGB32, ink opaque in its
//     colour, paper fully transparent;
//   - bilevel with two non-white colours, grey and colour sheets: left as they are (drawn with
//     lossless rendering by the caller).
QImage printableImage(const QImage& piece);

// The one-bit pieces of one document and whether its one-bit images become stencils of coloured
// ink once the file is written (pdf_ink.h). The first piece of one white and one coloured
// (neither white nor black) colour decides the ink: it and every later piece with the same ink
// at the same bit go out as their bits unchanged with a black-and-white table, drawn with the ink
// as the fill colour, as fast and small as a black sheet. A piece of other colours, and a
// black-on-white piece in a document of coloured ink (or a coloured piece after black-on-white
// ones), take printableImage()'s way instead, so every image still prints in its own colours.
// One object per document; not thread-safe.
class BilevelInk {
public:
    struct Piece {
        QImage image;
        std::optional<QRgb> fill;  // the fill colour to draw the image with, for a stencil piece
    };
    // The form in which `piece` goes onto the page.
    Piece prepare(const QImage& piece);
    // The bit value of the ink when the document's one-bit grey images are to become stencils;
    // nothing when no piece needs it.
    [[nodiscard]] std::optional<int> stencilInkBit() const {
        return m_ink ? std::optional<int>(m_inkBit) : std::nullopt;
    }
    // A new document begins.
    void reset() { *this = BilevelInk(); }

private:
    std::optional<QRgb> m_ink;
    int m_inkBit = 1;
    bool m_blackOnWhiteDrawn = false;
};

// Where a real-valued source rectangle of a picture lands when stretched over `dest`, reduced to
// the part that lies on the picture: `pixels` is the whole-pixel rectangle to copy (it may reach
// up to one pixel beyond the source rectangle on each side), `target` the destination of
// exactly those pixels (same scale as source -> dest), and `clip` the destination of the part of
// the source rectangle that lies on the picture. Empty `pixels` when nothing of the source
// rectangle lies on the picture.
struct SourcePlacement {
    QRect pixels;
    QRectF target;
    QRectF clip;
};
SourcePlacement placeSource(const QSize& pictureSize, const QRectF& source, const QRectF& dest);

}  // namespace sw::printing
