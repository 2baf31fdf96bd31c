#include "compare/comparison.h"

#include <cmath>
#include <cstring>

#include "compare/alignment.h"
#include "compare/row_bits.h"
#include "imaging/imaging_error.h"
#include "imaging/sheet_renderer.h"
#include "imaging/transforms.h"

namespace sw::compare {

namespace {

using imaging::Sheet;

// The sheet's pixels as one bit per pixel, without an overlay.
Sheet bitsOf(const Sheet& sheet) {
    Sheet bits = sheet.isBilevel()
                     ? sheet
                     : imaging::reducedToBilevel(sheet, qRgb(0, 0, 0), qRgb(255, 255, 255));
    bits.setOverlay(nullptr);
    return bits;
}

// A shift of the earlier sheet after both sheets turned clockwise by a quarter: the new sheet
// was `newHeight` high, the earlier one `earlierHeight`.
QPoint turnedShift(QPoint s, int newHeight, int earlierHeight) {
    return {newHeight - earlierHeight - s.y(), s.x()};
}

QPoint rounded(QPointF p) {
    return {static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y()))};
}

}  // namespace

QString modeName(CompareMode mode) {
    switch (mode) {
        case CompareMode::Overlay:
            return QStringLiteral("overlay");
        case CompareMode::NewOnly:
            return QStringLiteral("new");
        case CompareMode::EarlierOnly:
            return QStringLiteral("earlier");
    }
    return {};
}

std::optional<CompareMode> modeFromName(const QString& name) {
    for (const CompareMode mode :
         {CompareMode::Overlay, CompareMode::NewOnly, CompareMode::EarlierOnly}) {
        if (name == modeName(mode)) {
            return mode;
        }
    }
    return std::nullopt;
}

Comparison::Comparison(const Sheet& newer, Sheet earlier, QPoint shift, QPoint automatic,
                       QPointF baked)
    : m_new(bitsOf(newer)),
      m_newKey(newer.image().cacheKey()),
      m_earlier(std::move(earlier)),
      m_shift(shift),
      m_automatic(automatic),
      m_baked(baked) {
    m_earlier.setOverlay(nullptr);
    m_classes = std::make_shared<InkClasses>(m_new.image(), m_earlier.image(), m_shift);
}

std::shared_ptr<const Comparison> Comparison::make(const Sheet& newer, const Sheet& earlier) {
    if (newer.isNull() || earlier.isNull()) {
        throw imaging::ImagingError(QStringLiteral("There is no sheet to compare"));
    }
    const Sheet bits = bitsOf(newer);
    Sheet matched = atResolutionOf(earlier, bits);
    const QPoint shift = findShift(bits, matched);
    return std::make_shared<Comparison>(newer, std::move(matched), shift, shift, QPointF());
}

std::shared_ptr<const Comparison> Comparison::withShift(QPoint shift) const {
    auto moved = std::make_shared<Comparison>(*this);
    moved->m_shift = shift;
    moved->m_classes = std::make_shared<InkClasses>(m_new.image(), m_earlier.image(), shift);
    return moved;
}

std::shared_ptr<const Comparison> Comparison::onSheet(const Sheet& newer) const {
    auto same = std::make_shared<Comparison>(*this);
    same->m_new = bitsOf(newer);
    same->m_newKey = newer.image().cacheKey();
    return same;
}

std::shared_ptr<const Comparison> Comparison::turned(const Sheet& newer, int quarterTurns) const {
    QPoint shift = m_shift;
    QPoint automatic = m_automatic;
    QPointF baked = m_baked;
    int newHeight = m_new.height();
    int newWidth = m_new.width();
    int earlierHeight = m_earlier.height();
    int earlierWidth = m_earlier.width();
    for (int i = 0; i < quarterTurns; ++i) {
        shift = turnedShift(shift, newHeight, earlierHeight);
        automatic = turnedShift(automatic, newHeight, earlierHeight);
        baked = QPointF(-baked.y(), baked.x());
        std::swap(newHeight, newWidth);
        std::swap(earlierHeight, earlierWidth);
    }
    return std::make_shared<Comparison>(newer, imaging::rotated(m_earlier, 9000 * quarterTurns, 0),
                                        shift, automatic, baked);
}

std::shared_ptr<const Comparison> Comparison::resampled(const Sheet& newer) const {
    const double fx = static_cast<double>(newer.width()) / std::max(1, m_new.width());
    const double fy = static_cast<double>(newer.height()) / std::max(1, m_new.height());
    Sheet earlier = imaging::resampled(earlierOnNew(), newer.width(), newer.height(), false);
    earlier.setDpi(newer.dpiX(), newer.dpiY());
    const QPointF baked((m_baked.x() + m_shift.x()) * fx, (m_baked.y() + m_shift.y()) * fy);
    const QPointF automatic((m_automatic.x() - m_shift.x()) * fx,
                            (m_automatic.y() - m_shift.y()) * fy);
    return std::make_shared<Comparison>(newer, std::move(earlier), QPoint(), rounded(automatic),
                                        baked);
}

std::shared_ptr<const Comparison> Comparison::cropped(const Sheet& newer, const QRect& rect) const {
    Sheet earlier = imaging::cropped(earlierOnNew(), QRectF(rect));
    earlier.setDpi(newer.dpiX(), newer.dpiY());
    return std::make_shared<Comparison>(newer, std::move(earlier), QPoint(), m_automatic - m_shift,
                                        m_baked + QPointF(m_shift));
}

QPoint Comparison::offset() const {
    return rounded(m_baked + QPointF(m_shift));
}

bool Comparison::isFor(const Sheet& sheet) const {
    return sheet.image().cacheKey() == m_newKey;
}

Sheet Comparison::earlierOnNew() const {
    const int w = m_new.width();
    const int h = m_new.height();
    QImage image(w, h, QImage::Format_Mono);
    if (image.isNull()) {
        throw imaging::ImagingError(
            QStringLiteral("Not enough memory for an image of %1 x %2 pixels").arg(w).arg(h));
    }
    image.setColorTable({kPaper, qRgb(0, 0, 0)});
    const int bytes = (w + 7) / 8;
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        shiftedRow(m_earlier.image(), m_shift, y, w, 0, bytes, row);
        std::memset(row + bytes, 0, static_cast<size_t>(image.bytesPerLine() - bytes));
    }
    return Sheet(image, m_new.dpiX(), m_new.dpiY());
}

CompareOverlay::CompareOverlay(std::shared_ptr<const Comparison> comparison, CompareMode mode)
    : m_comparison(std::move(comparison)), m_mode(mode) {}

std::shared_ptr<const imaging::SheetOverlay> CompareOverlay::with(
    std::shared_ptr<const Comparison> c) const {
    return std::make_shared<CompareOverlay>(std::move(c), m_mode);
}

void CompareOverlay::render(const Sheet& base, QImage& target, const QPoint& origin,
                            const QRectF& display, QRgb background) const {
    if (m_mode == CompareMode::NewOnly || !m_comparison->isFor(base)) {
        Sheet plain = base;
        plain.setOverlay(nullptr);
        imaging::renderSheet(plain, target, origin, display, background);
        return;
    }
    renderComparison(*m_comparison, m_mode, target, origin, display, background);
}

QImage CompareOverlay::picture(const Sheet& base) const {
    if (m_mode == CompareMode::NewOnly || !m_comparison->isFor(base)) {
        return base.image();
    }
    return comparisonPicture(*m_comparison, m_mode);
}

std::shared_ptr<const imaging::SheetOverlay> CompareOverlay::turned(const Sheet& base,
                                                                    const Sheet& result,
                                                                    int quarterTurns) const {
    return m_comparison->isFor(base) ? with(m_comparison->turned(result, quarterTurns)) : nullptr;
}

std::shared_ptr<const imaging::SheetOverlay> CompareOverlay::resampled(const Sheet& base,
                                                                       const Sheet& result) const {
    return m_comparison->isFor(base) ? with(m_comparison->resampled(result)) : nullptr;
}

std::shared_ptr<const imaging::SheetOverlay> CompareOverlay::cropped(const Sheet& base,
                                                                     const Sheet& result,
                                                                     const QRect& rect) const {
    return m_comparison->isFor(base) ? with(m_comparison->cropped(result, rect)) : nullptr;
}

std::shared_ptr<const imaging::SheetOverlay> CompareOverlay::recoloured(const Sheet& result) const {
    return with(m_comparison->onSheet(result));
}

const CompareOverlay* comparisonOverlay(const Sheet& sheet) {
    return dynamic_cast<const CompareOverlay*>(sheet.overlay().get());
}

}  // namespace sw::compare
