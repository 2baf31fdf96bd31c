#pragma once

#include <cstdint>
#include <memory>

#include <QImage>
#include <QString>
#include <QVariant>

#include "widgets/ole_color.h"

namespace sw::widgets {

// Raster operations of RenderBitmap: how each source pixel combines with the destination pixel.
enum RasterOp : std::uint32_t {
    kSrcCopy = 0x00CC0020,       // source
    kSrcPaint = 0x00EE0086,      // source OR destination
    kSrcAnd = 0x008800C6,        // source AND destination
    kSrcInvert = 0x00660046,     // source XOR destination
    kSrcErase = 0x00440328,      // source AND NOT destination
    kNotSrcCopy = 0x00330008,    // NOT source
    kNotSrcErase = 0x001100A6,   // NOT source AND NOT destination (NOT (source OR destination))
    kMergePaint = 0x00BB0226,    // NOT source OR destination
    kDstInvert = 0x00550009,     // NOT destination
    kDstAndNotSrc = 0x00220326,  // NOT source AND destination
    kBlackness = 0x00000042,     // black
    kWhiteness = 0x00FF0062,     // white
};

// cBitmap: one off-screen drawing surface (a 32-bit RGB image, the screen's format), created
// empty at a size, from an image file, or as a copy of a picture, and drawn onto any surface with
// a raster operation.
//
// Handles: `hDC` names the surface for as long as it exists (handles.h); RenderBitmap's target is
// any live surface handle (another cBitmap, a control's hDC). Every creation first releases the
// previous surface (ClearUp), so one object holds at most one; failures are reported by the
// result only and keep Width and Height as they were. Surfaces above 512 MB count as a failed
// creation rather than exhausting memory. Owns its surface; not copyable; UI thread only.
class cBitmap {
public:
    cBitmap();
    ~cBitmap();
    cBitmap(const cBitmap&) = delete;
    cBitmap& operator=(const cBitmap&) = delete;

    // An empty (black) surface of lDX x lDY pixels; false for sizes below 1 or too large.
    bool CreateAtSize(std::int32_t lDX, std::int32_t lDY);
    // The image file at its own size (BMP, PNG and the other formats Qt reads); false when the
    // file is missing or unreadable.
    bool CreateFromFile(const QString& sBitmapBitmap);
    // A copy of the picture; true on success, an empty value for a null picture.
    QVariant CreateFromPicture(const QImage& picThis);

    [[nodiscard]] std::int32_t Width() const { return m_width; }
    [[nodiscard]] std::int32_t Height() const { return m_height; }
    // The surface handle; 0 while empty.
    [[nodiscard]] std::int32_t hDC() const { return m_hDC; }

    // Copies the whole bitmap to (lX, lY) of the surface `lHDC` with OpCode. An empty object, an
    // unknown handle, the object's own surface as target or an operation not listed in RasterOp
    // draws nothing.
    void RenderBitmap(std::int32_t lHDC, std::int32_t lX, std::int32_t lY,
                      std::uint32_t OpCode = kSrcCopy) const;

private:
    void ClearUp();
    bool adopt(QImage image);

    std::unique_ptr<QImage> m_surface;
    std::int32_t m_hDC = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
};

// Copies a w x h block from (sx, sy) of surface `srcHDC` to (x, y) of surface `destHDC`, leaving
// out the source pixels of colour `key`: the platform's transparent blit. False when a handle is
// not a live image surface.
bool transparentBlt(std::int32_t destHDC, int x, int y, int w, int h, std::int32_t srcHDC, int sx,
                    int sy, OleColor key);

// The same result built from a mask and raster operations only (mask AND destination, then the
// key-blackened source OR destination), for a platform without a transparent blit.
bool maskedTransparentBlt(std::int32_t destHDC, int x, int y, int w, int h, std::int32_t srcHDC,
                          int sx, int sy, OleColor key);

}  // namespace sw::widgets
