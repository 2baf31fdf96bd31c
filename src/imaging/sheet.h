#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QTransform>

namespace sw::imaging {

class SheetOverlay;

// One decoded sheet: pixels plus resolution. Bilevel sheets (the usual plan sheet) are held packed,
// one bit per pixel, as a QImage of Format_Mono whose two-entry colour table gives the paper and
// ink colours; grey sheets as Format_Grayscale8 and colour sheets as Format_RGB32 / ARGB32. A
// bilevel sheet is never expanded to 8 or 32 bits as a whole.
//
// The constructor brings any QImage into that form: other formats are converted, and a Format_Mono
// image is arranged so that bit 0 is the paper (the lighter colour table entry, index 0) and bit 1
// the ink (index 1), with the padding bits past the width cleared. The drawing code counts set
// bits to measure ink, so it relies on this.
//
// Every sheet knows its source: the sheet as it was first fetched (its size in pixels and its
// resolution) and where each source pixel lies in this image after the turns, resamples and crops
// applied since. Anything kept in the source's pixels (measurements) finds its place on the image
// through it. A saved TIFF carries it, so a sheet saved turned and opened again from the plan
// folder still knows how it lies on the sheet it was fetched as.
//
// Copies are cheap: the pixels are implicitly shared (QImage) and so is the cache of reduced
// levels used for drawing. A Sheet is a value; it may be created on a worker thread and handed to
// the UI thread, but one instance is used by one thread at a time.
class Sheet {
public:
    static constexpr double kDefaultDpi = 200.0;  // used when a file has no or a zero resolution

    Sheet() = default;
    Sheet(QImage image, double dpiX, double dpiY);

    [[nodiscard]] bool isNull() const { return m_image.isNull(); }
    [[nodiscard]] int width() const { return m_image.width(); }
    [[nodiscard]] int height() const { return m_image.height(); }
    [[nodiscard]] QSize size() const { return m_image.size(); }

    // Resolution in dots per inch.
    [[nodiscard]] double dpiX() const { return m_dpiX; }
    [[nodiscard]] double dpiY() const { return m_dpiY; }
    void setDpi(double dpiX, double dpiY);

    // Size in inches (pixels / resolution).
    [[nodiscard]] double widthInches() const { return width() / m_dpiX; }
    [[nodiscard]] double heightInches() const { return height() / m_dpiY; }

    // 1 for bilevel, 8 for grey, 24 for colour without alpha, 32 with alpha.
    [[nodiscard]] int bitsPerPixel() const;
    [[nodiscard]] bool isBilevel() const { return m_image.format() == QImage::Format_Mono; }

    // The pixels. For a bilevel sheet: Format_Mono, colour table {paper, ink} or a user palette.
    [[nodiscard]] const QImage& image() const { return m_image; }

    // Paper and ink colours of a bilevel sheet (white and black for an ordinary sheet).
    [[nodiscard]] QRgb paperColour() const;
    [[nodiscard]] QRgb inkColour() const;

    // The sheet as first fetched, and the map from its pixels (edges at whole numbers) to this
    // image's pixels. A new Sheet is its own source: this image's size and resolution, identity.
    struct Source {
        QSize size;
        double dpiX = kDefaultDpi;
        double dpiY = kDefaultDpi;
        QTransform toImage;

        // True when the image is its own source (nothing to record when saving).
        [[nodiscard]] bool isSelf(const Sheet& sheet) const;
        // One line for a TIFF's ImageDescription tag, and back. fromText gives nothing for any
        // other text and for values that cannot be a source (non-finite, empty, not invertible).
        [[nodiscard]] QByteArray toText() const;
        static std::optional<Source> fromText(QByteArrayView text);
    };
    [[nodiscard]] const Source& source() const { return m_source; }
    void setSource(const Source& source) { m_source = source; }
    // The source of a sheet made from `from` by `step` (from's pixels to this image's pixels).
    void deriveSource(const Sheet& from, const QTransform& step);

    // A drawing shown and printed instead of the pixels (see sheet_overlay.h); null for none.
    // Copies share it; setting it on one copy leaves the others alone.
    [[nodiscard]] const std::shared_ptr<const SheetOverlay>& overlay() const { return m_overlay; }
    void setOverlay(std::shared_ptr<const SheetOverlay> overlay) { m_overlay = std::move(overlay); }

    // Opaque per-sheet cache (reduced-resolution levels, see pyramid.h), shared by every copy of
    // this sheet; owned by the drawing code.
    struct Cache;
    [[nodiscard]] std::shared_ptr<Cache> cache() const;

private:
    QImage m_image;
    double m_dpiX = kDefaultDpi;
    double m_dpiY = kDefaultDpi;
    Source m_source;
    std::shared_ptr<Cache> m_cache;
    std::shared_ptr<const SheetOverlay> m_overlay;
};

}  // namespace sw::imaging
