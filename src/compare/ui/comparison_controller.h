#pragma once

#include <memory>

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include "compare/comparison.h"
#include "compare/ui/earlier_chooser.h"

class QKeyEvent;
class QLabel;
class QWidget;

namespace sw::imaging {
class ImagingControl;
class SheetLoader;
}  // namespace sw::imaging

namespace sw::compare {

class CompareHost;

// The viewer's "Compare" command: the sheet on screen (the new revision) shown with an earlier
// revision laid over it. The comparison is a drawing overlay on the imaging control's sheet
// (compare/comparison.h), so zoom, pan, the lens, quarter turns, the rulers, saving and printing
// work on it as on the sheet; loading another sheet ends it.
//
// The earlier revision comes from the "Compare with" dialog (a sheet of the project, a saved
// sheet or a TIFF file; downloaded in the background), or from setEarlier() without a dialog.
// While comparing, keys switch the mode (O overlay, N new only, E earlier only), the arrows move
// the earlier sheet by a pixel (with Shift by 10), A returns to the automatic alignment and Esc
// leaves. A legend in the status bar names the earlier sheet, shows the offset and the colours.
// A sheet that cannot be loaded or compared is reported to the user; the view stays as it was.
//
// Lives on the UI thread; does not own the imaging control, the host or the window (the legend's
// parent), which must outlive it.
class ComparisonController : public QObject {
    Q_OBJECT

public:
    ComparisonController(imaging::ImagingControl& viewer, CompareHost& host, QWidget& window);
    ~ComparisonController() override;

    // The "Compare" command: leaves a comparison (or its download); otherwise compares with the
    // sheet chosen by setEarlier(), or asks for one.
    void command();
    // Chooses the earlier revision without a dialog: an address of the plan list (relative to the
    // plan URL), an http(s) or file URL, or a local path. Loads it at once (waiting for a
    // download); while comparing, compares with it at once, otherwise the next command() does.
    // Throws base::ScriptError with the reason when it cannot be loaded (also shown to the user).
    void setEarlier(const QString& addressOrPath);
    // "overlay", "new", "earlier" or "off" (leaves). A mode while not comparing starts with the
    // sheet chosen by setEarlier(). Throws base::ScriptError for an unknown word or nothing to
    // compare.
    void setMode(const QString& name);
    // A key on the viewer while comparing; true when it was a comparison key.
    bool handleKey(const QKeyEvent& key);
    // Moves the earlier sheet by `step` pixels of the new sheet / back to the automatic shift.
    void moveEarlier(QPoint step);
    void resetAlignment();
    void leave();
    // The imaging control got another sheet (a load or an opened file): a comparison of the old
    // one has ended.
    void sheetReplaced();

    [[nodiscard]] bool isActive() const;
    struct State {
        bool active = false;
        QString earlier;  // the earlier sheet as chosen (shown, or chosen for the next comparison)
        QPoint offset;    // pixels of the new sheet
        QString mode;     // "overlay", "new", "earlier" or "off"
        qint64 added = 0;
        qint64 removed = 0;
    };
    [[nodiscard]] State state() const;

    // Places the legend over the right end of the status bar (`statusBar` in the window).
    void placeLegend(const QRect& statusBar);
    [[nodiscard]] QLabel& legend() const { return *m_legend; }

private:
    [[nodiscard]] const CompareOverlay* shown() const;
    void show(std::shared_ptr<const Comparison> comparison, CompareMode mode);
    void startWith(const imaging::Sheet& earlier, const QString& label);
    void download(const EarlierSheet& sheet);
    void openChooser();
    [[nodiscard]] QString addressOf(const QString& addressOrPath) const;
    void updateLegend(const QString& loading = QString());

    imaging::ImagingControl& m_viewer;
    CompareHost& m_host;
    QLabel* m_legend = nullptr;
    imaging::SheetLoader* m_loader = nullptr;
    QPointer<EarlierChooser> m_chooser;
    QRect m_statusBar;  // where the legend goes, window pixels
    bool m_downloading = false;
    QString m_label;          // the earlier sheet shown or downloading
    imaging::Sheet m_chosen;  // loaded by setEarlier(), for the next comparison
    QString m_chosenLabel;
};

}  // namespace sw::compare
