#pragma once

#include <memory>

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include "imaging/magnifier_options.h"
#include "imaging/sheet.h"
#include "imaging/sheet_overlay.h"

class QPainter;

namespace sw::imaging {

// The imaging control: the widget that holds, fetches, draws, transforms and saves sheets. The
// viewer shows the sheet in one (`viewer`), keeps a hidden scratch one (`v2`), and the print and
// batch dialogs each own one. Callers drive it through the members below, which mirror the
// control contract the rest of the system was designed against.
//
// Units: every rectangle and pointer position is in logical window pixels of this widget (the
// pixels Qt reports for widget geometry; on HiDPI screens drawing uses the device pixels
// underneath). Sheet sizes are in sheet pixels; angles in hundredths of a degree; zoom in percent
// (100 = one sheet pixel per logical window pixel).
//
// Threads: created, used and destroyed on the UI thread. Decoding runs on a worker thread; every
// signal is delivered on the UI thread.
//
// Errors: operations on sheets throw sw::imaging::ImagingError with a readable message (file not
// found, not a TIFF, corrupt data, write failure). Operations that need an image and find none do
// nothing.
class ImagingControl : public QWidget {
    Q_OBJECT

public:
    // Paint size modes.
    static constexpr int kFit = 3;   // the whole sheet fitted into the window, centred
    static constexpr int kZoom = 4;  // drawn at zoom() percent

    // Mouse button codes of the pointer notifications.
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    static constexpr int kMiddleButton = 4;

    explicit ImagingControl(QWidget* parent = nullptr);
    ~ImagingControl() override;

    // ---- Image list ------------------------------------------------------------------------
    // The control holds a list of images counted from 1; the current one is drawn, measured,
    // transformed and saved.
    [[nodiscard]] int imageCount() const;
    [[nodiscard]] int currentImage() const;  // 1-based; 0 when the list is empty
    void setCurrentImage(int index);         // ignored when out of range
    // Puts `sheet` at position `index` (1-based): an existing image there is replaced; index
    // imageCount() + 1 appends. The first image placed becomes current.
    void insertImage(int index, const Sheet& sheet);

    // The current image (a null Sheet when none).
    [[nodiscard]] const Sheet& sheet() const;
    // The current image at the resolution it came with: sheet() without the resolution changes
    // and resampling done to it since it was placed (turned as it has been turned since). The
    // viewer's "Save" stores this, so a sheet lowered on screen for printing is saved whole.
    [[nodiscard]] Sheet sheetAsLoaded() const;
    // Replaces the current image (or places the first one). Emits no imageLoaded().
    void setSheet(const Sheet& sheet);

    // The loaded-image value: 1 or more while an image is held, 0 when none.
    [[nodiscard]] int loadedImage() const;
    // Drops every image (the loaded-image value becomes 0).
    void clearImage();

    [[nodiscard]] int imageWidth() const;      // sheet pixels, 0 when none
    [[nodiscard]] int imageHeight() const;     // sheet pixels, 0 when none
    [[nodiscard]] double resolutionX() const;  // dots per inch
    [[nodiscard]] double resolutionY() const;
    void setResolution(double dpiX, double dpiY);  // changes the tags only, not the pixels

    // The current image as a picture (for painting elsewhere); null when none. With a drawing
    // overlay (sheet_overlay.h), the overlay's picture.
    [[nodiscard]] QImage picture() const;
    // Attaches a drawing overlay to the current image, or removes it (null), keeping the view;
    // the overlay follows the image's turns, resampling and crops. Ignored without an image.
    void setOverlay(std::shared_ptr<const SheetOverlay> overlay);

    // ---- Loading and saving ------------------------------------------------------------------
    // The load switch is set before every load from an address; kept for callers, no effect.
    void setLoadSwitch(bool on);
    [[nodiscard]] bool loadSwitch() const;

    // Starts a background load from an http(s) or file URL or a local path. Progress comes as
    // loadProgress(percent): 0 first, rising, each value at most once, 100 just before the end.
    // The end is imageLoaded() (the image then replaces the current one) or loadFailed(reason)
    // ("HTTP 404 Not Found", "Not a TIFF file", "Corrupt data: ...", "No data received for 60 s
    // from host", ...). Every failure is signalled, also an empty or unsupported address. A newer
    // address, loadFile() or loadFromMemory() supersedes a load in progress; a superseded load
    // emits nothing more.
    void setLoadAddress(const QString& address);
    [[nodiscard]] QString loadAddress() const;
    [[nodiscard]] bool isLoading() const;
    // A transfer that receives nothing, or a read that makes no progress, for this long fails
    // (milliseconds; 60000 by default).
    void setTransferTimeout(int milliseconds);
    [[nodiscard]] int transferTimeout() const;
    // Largest decoded image accepted, in bytes as held (1 bit per pixel for bilevel sheets);
    // 4 GB by default (see DecodeOptions). Larger images fail to load with a message naming the
    // limit.
    void setMaxImageBytes(qint64 bytes);
    [[nodiscard]] qint64 maxImageBytes() const;

    // Loads a file synchronously into the current image (the load-file call). Emits no
    // imageLoaded(). Throws ImagingError.
    void loadFile(const QString& path);

    // Saves the current image. formatCode 29: TIFF, CCITT Group 4 when bitsPerPixel is 1 (the
    // image is reduced to one bit first if deeper), LZW otherwise. formatCode 3: a working copy,
    // Deflate-compressed TIFF at bitsPerPixel (1, 4, 8, 24 or 32; a bilevel sheet asked for at 4
    // bits keeps one bit per pixel and its two colours), quick to write and to load back as the
    // same sheet (tiff_writer.h). An existing file is replaced only when the new one is complete
    // (written under a temporary name in the same folder, then renamed). Throws ImagingError;
    // does nothing without an image.
    void saveFile(const QString& path, int formatCode, int bitsPerPixel, int quality, int flag);

    // Saves the current image into a memory buffer in the same formats; returns 0 on success and
    // a non-zero code (with the buffer left empty) when there is no image or encoding fails.
    int saveToMemory(QByteArray& buffer, int formatCode, int bitsPerPixel, int quality);
    // Queries a buffer: code 15 gives its size in bytes; other codes give 0.
    static qint64 queryMemory(const QByteArray& buffer, int code);
    // Loads a buffer written by saveToMemory() into the current image. Throws ImagingError.
    void loadFromMemory(const QByteArray& buffer);

    // ---- Transforms of the current image
    // --------------------------------------------------------- Rotates by an angle in hundredths
    // of a degree (positive = clockwise on screen). Multiples of 9000 are exact quarter turns;
    // other angles enlarge the image to hold the rotated sheet and fill the corners with `fill`.
    // Width/height and resolutions swap on odd quarter turns.
    void rotate(int hundredthsOfDegree, int flag, QRgb fill);
    // Resamples to width x height pixels (rounded): area averaging when shrinking (a bilevel
    // sheet stays 1-bit, one-pixel lines kept), nearest neighbour when enlarging. With flag 0 (what
    // every caller passes) the resolution tags stay as they are, so callers set the resolution they
    // want first (the print hand-off sets 200 dpi and then halves a 400 dpi sheet; the print job
    // scales by the print scale and reads the size at the unchanged resolution). With flag 1 the
    // resolution follows so that the size in inches stays the same. In zoom mode the same part of
    // the sheet stays in view (zoom() follows the new pixel size).
    void resample(double width, double height, int flag);
    // Crops to the rectangle (sheet pixels), clamped to the image.
    void crop(double x, double y, double width, double height);

    // User palette entries used by reduceColours(); entry 0 receives dark pixels, entry 1 light.
    void setUserPalette(int entry, QRgb colour);
    [[nodiscard]] QRgb userPalette(int entry) const;
    // Colour reduction. (1, 16, 0, 2): one bit per pixel with the two-entry user palette, no
    // dithering: ink becomes entry 0, paper entry 1.
    void reduceColours(int bitsPerPixel, int paletteType, int dither, int colours);

    // ---- Display ------------------------------------------------------------------------------
    [[nodiscard]] int paintSizeMode() const;
    void setPaintSizeMode(int mode);    // kFit or kZoom
    // The percentage the sheet is shown at: in kZoom the one set (100 initially); while fitted,
    // the fitted scale, which is also where a switch to kZoom starts from.
    [[nodiscard]] double zoom() const;
    // At most view::kMaxZoomPercent (larger values give that); zero, negative and non-finite
    // values are ignored.
    void setZoom(double percent);
    // While on, a change of zoom or paint size mode (and a resize in fit mode) recomputes the
    // display rectangle: fit centres the sheet; zoom keeps the sheet point at the window centre
    // where it is.
    [[nodiscard]] bool autoRect() const;
    void setAutoRect(bool on);
    // While off, changes do not repaint until repaintNow() or the switch is turned on again.
    [[nodiscard]] bool autoRepaint() const;
    void setAutoRepaint(bool on);

    // Where the whole sheet is drawn in the window (may extend beyond it on any side).
    [[nodiscard]] QRectF displayRect() const;
    void setDisplayRect(const QRectF& rect);
    // The clip rectangle, moved by callers together with the display rectangle. Kept and
    // reported; recomputed to the window whenever the display rectangle is recomputed.
    [[nodiscard]] QRectF clipRect() const;
    void setClipRect(const QRectF& rect);
    // Source size: the pixel size of the sheet being displayed.
    [[nodiscard]] QSizeF sourceSize() const;
    // Visible size: the window's client size in pixels.
    [[nodiscard]] QSize visibleSize() const;

    // Zooms so that the rectangle (window pixels) fills the window, its middle at the window's
    // centre, at most to view::kMaxZoomPercent; switches to kZoom.
    void zoomToRect(const QRectF& rect);
    // Repaints at once (synchronously), whatever the automatic-repaint switch says.
    void repaintNow();
    // A line or two drawn in the middle of the window while no image is held ("Loading ...",
    // why a load failed); empty for none.
    void setPlaceholderText(const QString& text);
    [[nodiscard]] QString placeholderText() const;
    // Draws the current view of the sheet into `target` of another paint device.
    void paintInto(QPainter& painter, const QRect& target) const;

    // ---- Rubber band ----------------------------------------------------------------------------
    // While on (and the magnifier is off), a left drag draws a rubber band once the pointer has
    // gone further than the platform's drag distance from the press; at release, when the band
    // from press to release is at least 1 x 1 pixel, rubberBandRect() takes it and
    // rubberBandCompleted() is emitted before mouseUp(). A left click, also one whose pointer
    // shook by a few pixels, completes no band, so only mouseDown() and mouseUp() come.
    [[nodiscard]] bool rubberBand() const;
    void setRubberBand(bool on);
    [[nodiscard]] QRectF rubberBandRect() const;  // the last dragged rectangle, window pixels

    // ---- Magnifier
    // -------------------------------------------------------------------------------
    using MagnifierOptions = imaging::MagnifierOptions;  // imaging/magnifier_options.h
    // The magnifier settings the viewer sets before starting the lens (two numbers, two switches).
    void setMagnifierNumber(int which, int value);
    void setMagnifierSwitch(int which, bool on);
    // Shows a lens (options.width x options.height window pixels, at options.magnification percent
    // of the current view) centred on the pointer while it is over the control; while it runs no
    // rubber band is drawn and toolActive() is true. The pointer notifications still come.
    void startMagnifier(const MagnifierOptions& options);
    void stopMagnifier();
    [[nodiscard]] bool magnifierActive() const;
    // True while a tool (the magnifier) owns the pointer; read at mouse release, where it tells
    // whether the release ends the tool's own operation. A right-button drag is never the lens's:
    // from its press up to and including the notification of its release this is false.
    [[nodiscard]] bool toolActive() const;

    // ---- Annotation overlay ---------------------------------------------------------------------
    // Objects drawn over the sheet, in pixels relative to the display rectangle's top-left corner
    // (they move with the sheet). Used by the print preview.
    struct Annotation {
        enum class Kind { Line, Rectangle };
        Kind kind = Kind::Line;
        QPointF from;  // line start or rectangle corner
        QPointF to;    // line end or opposite corner
        double lineWidth = 1.0;
        int lineStyle = 0;  // 0 solid, 2 dotted
        QColor lineColour = Qt::black;
        QColor fillColour;  // rectangles; invalid = not filled
        int tag = 0;
    };
    [[nodiscard]] int annotationMode() const;  // 1 while objects are made, 2 after
    void setAnnotationMode(int mode);
    [[nodiscard]] int annotationSetting() const;
    void setAnnotationSetting(int setting);
    // Handle of the container of annotation objects; 0 when there is none.
    [[nodiscard]] quintptr annotationContainer() const;
    void removeAnnotations();
    void addAnnotation(const Annotation& object);
    [[nodiscard]] QList<Annotation> annotations() const;

    // ---- Other switches
    // ----------------------------------------------------------------------------
    void setShutdownSwitch(bool on);
    [[nodiscard]] bool shutdownSwitch() const;

signals:
    // Pointer notifications: button code (kLeftButton, ...), keyboard modifiers (1 Shift, 2 Ctrl,
    // 4 Alt), position in window pixels.
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int button, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    // Between the second press and the second release of a double click.
    void dblClick();
    void rubberBandCompleted();
    // The display rectangle changed without a program call: viewChanged() when the control laid
    // the sheet out again (a resize in fit mode), viewScrolled() when the user scrolled it with the
    // wheel or the keyboard (arrows, Page Up/Down, Home, End).
    void viewChanged();
    void viewScrolled();
    void loadProgress(int percent);  // whole percent, 0..100
    void imageLoaded();              // a load from an address completed
    void loadFailed(const QString& reason);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace sw::imaging
