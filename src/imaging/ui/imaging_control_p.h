#pragma once

#include <map>
#include <memory>

#include <QImage>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QRectF>

#include "imaging/sheet.h"
#include "imaging/sheet_loader.h"
#include "imaging/tiff_reader.h"
#include "imaging/ui/imaging_control.h"

namespace sw::imaging {

// State of one imaging control. The display rectangle is the only placement the drawing uses;
// mode and zoom only say how it is recomputed.
struct ImagingControl::Private {
    explicit Private(ImagingControl* owner) : q(owner) {}

    ImagingControl* q;

    // Images, counted from 1 by callers.
    QList<Sheet> images;
    int current = 0;
    Sheet none;
    // Images whose resolution tags or pixel size were changed (setResolution, resample) as they
    // were before, with every turn since applied, by image number. Dropped when the image is
    // replaced, cropped or reduced in colour.
    std::map<int, Sheet> asLoaded;

    // Loading
    SheetLoader* loader = nullptr;
    QString address;
    bool loadSwitch = false;
    DecodeOptions decodeOptions;

    QRgb palette[2] = {qRgb(0, 0, 0), qRgb(255, 255, 255)};

    // View
    int mode = kFit;
    double zoom = 100;
    bool autoRect = true;
    bool autoRepaint = true;
    QRectF display;
    QRectF clip;

    // Pointer
    Qt::MouseButtons pressed;  // buttons pressed on this control and not yet released
    // A right-button drag (the viewer's pan) is under way, up to and including the notification
    // of its release: the lens does not own the pointer meanwhile.
    bool rightDrag = false;
    bool rubber = true;
    QRectF rubberRect;
    bool banding = false;
    // The band has been drawn: the pointer went further than the drag distance from the press.
    // Until then the gesture is a click, however the hand shook.
    bool bandDrawn = false;
    QPointF bandStart;
    QPointF bandEnd;

    // Magnifier
    bool magnifier = false;
    MagnifierOptions lens;
    QPointF lensCentre;
    bool lensVisible = false;
    int magnifierNumbers[2] = {0, 0};
    bool magnifierSwitches[2] = {false, false};

    // Shown in the middle of the window while no image is held.
    QString placeholder;

    // Annotations
    int annotationMode = 0;
    int annotationSetting = 0;
    QList<Annotation> annotations;

    bool shutdown = true;

    // The last rendered view of the sheet (device pixels) and what it was rendered for, so that
    // overlays (rubber band, lens) repaint without drawing the sheet again.
    QImage frame;
    qint64 frameImageKey = 0;
    // The overlay the frame was drawn with; a weak reference keeps its control block, so a later
    // overlay can never be mistaken for it.
    std::weak_ptr<const SheetOverlay> frameOverlay;
    QRectF frameDisplay;
    // The picture shown while automatic repaint is off.
    QImage frozen;

    [[nodiscard]] Sheet& currentSheet() { return images[current - 1]; }
    [[nodiscard]] QSizeF sheetSize() const;
    // The percentage the sheet is shown at while fitted (its horizontal scale); `zoom` otherwise.
    [[nodiscard]] double shownPercent() const;
    [[nodiscard]] QPointF windowCentre() const;

    // Replaces the current image (or places the first) and lays it out again.
    void replaceCurrent(const Sheet& sheet);
    // Recomputes the display rectangle from mode and zoom (fit: centred; zoom: centred on the
    // sheet). Emits viewChanged() when `notify` and the rectangle changed.
    void layOut(bool notify);
    void changed();
    // Draws the sheet into `frame` unless it already shows the current view.
    void updateFrame();
    // Annotations, rubber band and lens over the sheet.
    void drawOverlays(QPainter& painter);
    // Takes the current picture as the one shown while automatic repaint is off.
    void freeze();
};

}  // namespace sw::imaging
