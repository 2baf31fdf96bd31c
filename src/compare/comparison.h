#pragma once

#include <memory>
#include <optional>

#include <QPoint>
#include <QPointF>
#include <QRgb>
#include <QString>

#include "compare/ink_classes.h"
#include "imaging/sheet.h"
#include "imaging/sheet_overlay.h"

namespace sw::compare {

// What a comparison shows: both sheets in colours, or one of them alone (each in black, on the new
// sheet's pixels, so that flipping between them shows what moved).
enum class CompareMode { Overlay, NewOnly, EarlierOnly };

// "overlay", "new", "earlier"; and back (exact words).
QString modeName(CompareMode mode);
std::optional<CompareMode> modeFromName(const QString& name);

// The overlay's colours: ink in both sheets, only in the new one, only in the earlier one, paper.
inline constexpr QRgb kPaper = qRgb(255, 255, 255);
inline constexpr QRgb kBothInk = qRgb(64, 64, 64);
inline constexpr QRgb kNewInk = qRgb(0, 0, 255);
inline constexpr QRgb kEarlierInk = qRgb(255, 0, 0);

// A new sheet and an earlier revision of it, brought to the same resolution and laid over each
// other: the earlier sheet's pixel p lies on the new sheet's pixel p + shift(). The shift is found
// automatically when the comparison is made and can be moved by hand; the ink classes (what was
// added, what was removed) are measured for the shift in force.
//
// The new sheet is the sheet the comparison is shown on (see CompareOverlay); the comparison
// keeps a copy of it (shared pixels and pyramid) and its own copy of the earlier sheet. Turning,
// resampling or cropping the new sheet gives the comparison of the turned, resampled or cropped
// sheets (the last two lay the earlier sheet onto the new sheet's pixels first, so both are
// resampled alike).
//
// Immutable; shared through std::shared_ptr. Any thread.
class Comparison {
public:
    // Brings `earlier` to `newer`'s resolution, finds the shift and measures the classes. Throws
    // imaging::ImagingError for sheets that cannot be compared (see atResolutionOf).
    static std::shared_ptr<const Comparison> make(const imaging::Sheet& newer,
                                                  const imaging::Sheet& earlier);

    // The same sheets at another shift (the automatic one stays the reset target).
    [[nodiscard]] std::shared_ptr<const Comparison> withShift(QPoint shift) const;
    // The same comparison on other pixels of the new sheet with the same bits (recoloured).
    [[nodiscard]] std::shared_ptr<const Comparison> onSheet(const imaging::Sheet& newer) const;
    [[nodiscard]] std::shared_ptr<const Comparison> turned(const imaging::Sheet& newer,
                                                           int quarterTurns) const;
    [[nodiscard]] std::shared_ptr<const Comparison> resampled(const imaging::Sheet& newer) const;
    [[nodiscard]] std::shared_ptr<const Comparison> cropped(const imaging::Sheet& newer,
                                                            const QRect& rect) const;

    // The offset shown to the user: how far the earlier drawing lies from the new one, in pixels
    // of the new sheet (x right, y down), whatever was resampled or cropped since.
    [[nodiscard]] QPoint offset() const;
    // The shift in force and the automatic one, in pixels of the earlier sheet held here.
    [[nodiscard]] QPoint shift() const { return m_shift; }
    [[nodiscard]] QPoint automaticShift() const { return m_automatic; }

    [[nodiscard]] const imaging::Sheet& newer() const { return m_new; }
    [[nodiscard]] const imaging::Sheet& earlier() const { return m_earlier; }
    [[nodiscard]] const InkClasses& classes() const { return *m_classes; }
    // Ink pixels only in the new sheet / only in the earlier one, over the new sheet's area.
    [[nodiscard]] qint64 added() const { return m_classes->added(); }
    [[nodiscard]] qint64 removed() const { return m_classes->removed(); }
    // Whether `sheet` holds the pixels the comparison was made for.
    [[nodiscard]] bool isFor(const imaging::Sheet& sheet) const;

    // The earlier sheet laid onto the new sheet's pixels (the shift made part of its pixels):
    // the new sheet's size, white paper and black ink.
    [[nodiscard]] imaging::Sheet earlierOnNew() const;

    Comparison(const imaging::Sheet& newer, imaging::Sheet earlier, QPoint shift, QPoint automatic,
               QPointF baked);

private:
    imaging::Sheet m_new;      // one bit per pixel, no overlay
    qint64 m_newKey = 0;       // the pixels of the sheet shown
    imaging::Sheet m_earlier;  // one bit per pixel, at the new sheet's resolution
    QPoint m_shift;
    QPoint m_automatic;
    QPointF m_baked;  // offset made part of m_earlier's pixels by a resample or crop
    std::shared_ptr<const InkClasses> m_classes;
};

// The drawing overlay that shows a comparison on its new sheet, in one mode.
class CompareOverlay final : public imaging::SheetOverlay {
public:
    CompareOverlay(std::shared_ptr<const Comparison> comparison, CompareMode mode);

    [[nodiscard]] const Comparison& comparison() const { return *m_comparison; }
    [[nodiscard]] const std::shared_ptr<const Comparison>& shared() const { return m_comparison; }
    [[nodiscard]] CompareMode mode() const { return m_mode; }

    void render(const imaging::Sheet& base, QImage& target, const QPoint& origin,
                const QRectF& display, QRgb background) const override;
    [[nodiscard]] QImage picture(const imaging::Sheet& base) const override;
    [[nodiscard]] std::shared_ptr<const imaging::SheetOverlay> turned(
        const imaging::Sheet& base, const imaging::Sheet& result, int quarterTurns) const override;
    [[nodiscard]] std::shared_ptr<const imaging::SheetOverlay> resampled(
        const imaging::Sheet& base, const imaging::Sheet& result) const override;
    [[nodiscard]] std::shared_ptr<const imaging::SheetOverlay> cropped(
        const imaging::Sheet& base, const imaging::Sheet& result, const QRect& rect) const override;
    [[nodiscard]] std::shared_ptr<const imaging::SheetOverlay> recoloured(
        const imaging::Sheet& result) const override;

private:
    std::shared_ptr<const imaging::SheetOverlay> with(std::shared_ptr<const Comparison> c) const;

    std::shared_ptr<const Comparison> m_comparison;
    CompareMode m_mode;
};

// The comparison overlay shown on `sheet`, or null.
const CompareOverlay* comparisonOverlay(const imaging::Sheet& sheet);

// Drawing and picture of a comparison (comparison_render.cpp).
void renderComparison(const Comparison& comparison, CompareMode mode, QImage& target,
                      const QPoint& origin, const QRectF& display, QRgb background);
QImage comparisonPicture(const Comparison& comparison, CompareMode mode);

}  // namespace sw::compare
