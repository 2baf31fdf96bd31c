#pragma once

#include <map>
#include <memory>

#include <QFont>
#include <QPageLayout>
#include <QPainter>

#include "printing/printable_image.h"
#include "printing/printer_device.h"

class QPagedPaintDevice;
class QPdfWriter;

namespace sw::printing {

// The page operations of PrinterDevice on a Qt paged paint device (a PDF writer or a printer),
// shared by the PDF device here and the printer device of the dialog library.
//
// The device is driven in full-page mode: painter coordinates start at the paper's corner, and
// twips of the printable area are placed by adding the printable area's offset, so offsets,
// tiles and overlaps land on exact device pixels. The metrics follow the page layout: LOGPIXELS
// is the device resolution, PHYSICALOFFSET the left and top margins, HORZRES/VERTRES the paper
// minus all four margins, PHYSICALWIDTH/HEIGHT the whole paper, all in device pixels.
//
// A QPainter is opened at the first drawing operation and closed by endDoc(), which then lets the
// device finish the file (finishDocument). One-bit pictures of coloured ink on white are drawn as
// their bits in black and white and become stencils of the ink in the finished file (BilevelInk),
// so a sheet in blue costs what a black one does.
class PagedPrinterDevice : public PrinterDevice {
public:
    ~PagedPrinterDevice() override;

    [[nodiscard]] double pageWidthTwips() const override;
    [[nodiscard]] double pageHeightTwips() const override;
    [[nodiscard]] int deviceCaps(DeviceCap cap) const override;

    [[nodiscard]] QPointF currentPosition() const override { return m_position; }
    void setCurrentPosition(QPointF twips) override { m_position = twips; }
    void circle(QPointF centreTwips, double radiusTwips) override;
    void line(QPointF fromTwips, QPointF toTwips) override;
    void paintPicture(const QImage& picture, const QRectF& destTwips,
                      const QRectF& sourcePx) override;
    void drawMarks(const SheetMarks& marksTwips, const QRectF& clipTwips) override;
    void printText(const QString& text) override;
    void newPage() override;
    void endDoc() override;

    // True between the first drawing operation and endDoc().
    [[nodiscard]] bool documentOpen() const { return m_painter != nullptr; }
    // Pages begun in the current or last document.
    [[nodiscard]] int pagesStarted() const { return m_pagesStarted; }

protected:
    PagedPrinterDevice();

    // The device the painter opens. It must stay valid for this object's life.
    [[nodiscard]] virtual QPagedPaintDevice& paintDevice() const = 0;
    [[nodiscard]] virtual QPageLayout pageLayout() const = 0;
    [[nodiscard]] virtual int resolution() const = 0;
    // Prepares the device before the painter opens (full-page mode and the like).
    virtual void prepareDocument() {}
    // Description of why the painter could not open the device.
    [[nodiscard]] virtual QString openFailure() const = 0;
    // The painter has written the whole file: when `stencilInkBit` is given, turn its one-bit
    // images into stencils of that ink bit (turnBilevelImagesIntoStencils); then deliver it.
    // Throws ScriptError.
    virtual void finishDocument(std::optional<int> stencilInkBit) = 0;
    // The document was not written completely (the painter failed, or the device goes away
    // with a document open): drop what there is.
    virtual void abandonDocument() {}
    // Ends an open document without finishing it; for the destructors of derived devices, which
    // own the paint device the painter still draws on.
    void closeOpenDocument() noexcept;

    // Whether changing the page layout now would split a document.
    void requireNoDocument() const;

    // The paper size code the user chose, kept together with the page size the device took for
    // it: paperCode() gives it back while the page size stays that one, so that codes of one size
    // (Letter 1, Letter Small 2, Note 18; Tabloid 3 and "11 x 17 in" 17) read back as chosen, and
    // otherwise the code of the current page size (paperCodeForPageSize).
    void rememberPaperCode(int code);
    [[nodiscard]] int paperCode() const;

private:
    QPainter& painter();
    [[nodiscard]] QPointF toDevice(QPointF twips) const;
    [[nodiscard]] double toDeviceX(double twips) const;
    [[nodiscard]] double toDeviceY(double twips) const;

    std::unique_ptr<QPainter> m_painter;
    BilevelInk m_ink;
    int m_paperCode = 0;        // 0: none chosen
    QPageSize m_paperCodeSize;  // the page size taken for m_paperCode
    bool m_pendingNewPage = false;
    int m_pagesStarted = 0;
    QPointF m_position;
    QFont m_font;
};

// A PDF file as a printer: page size, orientation, margins and resolution as given; the file is
// written when the document ends. Used by `sheetwise print --pdf` and by print-to-folder.
class PdfPrinterDevice : public PagedPrinterDevice {
public:
    static constexpr int kDefaultResolution = 600;

    PdfPrinterDevice(const QString& path, const QPageSize& pageSize, int orientation,
                     int resolution = kDefaultResolution, const QMarginsF& marginsPoints = {});
    ~PdfPrinterDevice() override;

    // A PDF device with the page size, orientation, resolution and unprintable margins of
    // `printer`, so that a job laid out for the printer comes out the same in the file.
    static std::unique_ptr<PdfPrinterDevice> mimicking(const PrinterDevice& printer,
                                                       const QString& path);

    [[nodiscard]] QString path() const { return m_path; }
    [[nodiscard]] QString deviceName() const override;
    [[nodiscard]] int paperSize() const override;
    [[nodiscard]] int orientation() const override;
    [[nodiscard]] std::optional<int> setting(PrinterSetting which) const override;
    void setSetting(PrinterSetting which, int value) override;

protected:
    [[nodiscard]] QPagedPaintDevice& paintDevice() const override;
    [[nodiscard]] QPageLayout pageLayout() const override;
    [[nodiscard]] int resolution() const override;
    void prepareDocument() override;
    [[nodiscard]] QString openFailure() const override;
    void finishDocument(std::optional<int> stencilInkBit) override;

private:
    QString m_path;
    std::unique_ptr<QPdfWriter> m_writer;
    QPageLayout m_layout;
    int m_resolution;
    std::map<PrinterSetting, int> m_plainSettings;
};

}  // namespace sw::printing
