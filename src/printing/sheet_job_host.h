#pragma once

#include <QString>

#include "imaging/sheet.h"
#include "imaging/sheet_overlay.h"
#include "printing/print_job.h"

namespace sw::printing {

// A print job host over a plain sheet, for headless printing (`sheetwise print`, print-to-folder
// runs without a dialog, tests): the options are fixed at construction, the status display is
// dropped, and failures are kept for the caller instead of being shown.
class SheetJobHost : public PrintJobHost {
public:
    SheetJobHost(imaging::Sheet sheet, LayoutOptions options, TileMarks marks = {});

    [[nodiscard]] LayoutSheet layoutSheet() const override;
    // Resamples like the imaging control with flag 0: area averaging that keeps one-pixel lines,
    // bilevel sheets stay one bit per pixel, the resolution tags stay as they are.
    void resampleSheet(double width, double height) override;
    // The sheet's pixels, or the picture of a drawing overlay it carries (a comparison).
    [[nodiscard]] QImage sheetPicture() const override {
        return m_sheet.overlay() ? m_sheet.overlay()->picture(m_sheet) : m_sheet.image();
    }
    // Marks over the sheet, given in pixels of the sheet's source and printed where they lie on
    // the sheet as resampled by the job.
    void setSheetMarks(SheetMarks sourcePx) { m_sourceMarks = std::move(sourcePx); }
    [[nodiscard]] SheetMarks sheetMarks() const override;
    [[nodiscard]] LayoutOptions layoutOptions() const override { return m_options; }
    [[nodiscard]] TileMarks tileMarks() const override { return m_marks; }
    void showPageCountLabels(const PageCountLabels& labels) override { m_labels = labels; }
    void showFailure(const QString& description) override { m_failure = description; }

    [[nodiscard]] const imaging::Sheet& sheet() const { return m_sheet; }
    [[nodiscard]] const PageCountLabels& labels() const { return m_labels; }
    [[nodiscard]] QString failure() const { return m_failure; }

private:
    imaging::Sheet m_sheet;
    LayoutOptions m_options;
    TileMarks m_marks;
    SheetMarks m_sourceMarks;
    PageCountLabels m_labels;
    QString m_failure;
};

}  // namespace sw::printing
