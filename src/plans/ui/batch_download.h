#pragma once

#include <cstdint>

#include <QDialog>
#include <QString>
#include <QStringList>

class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace sw::imaging {
class ImagingControl;
}

namespace sw::plans {

// "Batch Download": the user picks sheets of the project from `thelist` and "Download" fetches
// them one after another through the dialog's own hidden imaging control `viewer` (so the main
// viewer's sheet stays), turns each by the project rotation and stores it in the project folder
// as "Save" does: CleanFileName(sheet name) & ".tif", TIFF Group 4 at one bit.
//
// Two panels, one visible at a time: the selection panel (`thelist`, `Command3` "Select All" /
// "Deselect All", `Command1` "Download", `Command2` "Cancel") and, once the download runs, the
// blue progress panel (`pbar`, a picture, `Label1` with the address being fetched, the sheet's
// place in the batch and its name, and the sheets that failed).
//
// A sheet that fails (HTTP error, corrupt file, a rotate or save error) is listed in the
// progress panel and the batch goes on with the next one. After the last sheet the dialog closes
// by itself when everything was stored; otherwise it stays open with the failures and a "Close"
// button. Closing the window stops the download: the load in flight is dropped and nothing more
// is stored. Files are written whole or not at all (the imaging control's save writes a
// temporary file and renames it).
//
// Ownership: deletes itself when closed (Qt::WA_DeleteOnClose); owns its controls. Modeless.
// UI thread only.
class BatchDownload : public QDialog {
    Q_OBJECT

public:
    explicit BatchDownload(QWidget* parent = nullptr);
    ~BatchDownload() override;

    // Takes the project's sheet labels and addresses (parallel, with the spare empty element),
    // the URL prefix, the project folder (ending in a separator), the rotation in hundredths of
    // a degree and the project name; fills `thelist` and writes folder & "desc.txt" with the
    // project name when the folder has none. Called once, before the dialog is shown. Throws
    // ScriptError when desc.txt cannot be written.
    void LoadPlans(const QStringList& names, const QStringList& files, const QString& url,
                   const QString& folder, std::int16_t rotation, const QString& projectName);

    // ---- Fields ---------------------------------------------------------------------------------
    QStringList batchNames;          // copy of the sheet labels
    QStringList batchFiles;          // copy of the sheet addresses
    QStringList chosenFiles;         // addresses of the selected rows, then one spare empty element
    QStringList chosenNames;         // labels of the selected rows, then one spare empty element
    std::int16_t batchIndex = 0;     // index in chosenFiles of the download in progress
    QString batchUrl;                // URL prefix of the sheets
    QString batchFolder;             // project folder, ends in a separator
    std::int16_t batchRotation = 0;  // hundredths of a degree

    // ---- Controls -------------------------------------------------------------------------------
    QGroupBox* Frame1 = nullptr;  // selection panel
    QListWidget* thelist = nullptr;
    QPushButton* Command3 = nullptr;  // "Select All" / "Deselect All"
    QPushButton* Command1 = nullptr;  // "Download"
    QPushButton* Command2 = nullptr;  // "Cancel"
    imaging::ImagingControl* viewer = nullptr;
    QWidget* Frame2 = nullptr;  // progress panel
    QProgressBar* pbar = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Label1 = nullptr;  // address being fetched

    // Where the dialog is in its life.
    enum class Phase { Selecting, Downloading, Finished, Stopped };
    [[nodiscard]] Phase phase() const { return m_phase; }
    // Files stored so far, and "sheet name: reason" for every sheet that failed.
    [[nodiscard]] const QStringList& savedFiles() const { return m_saved; }
    [[nodiscard]] const QStringList& failures() const { return m_failures; }

    static constexpr int kProgressRed = 58;  // background of the progress panel
    static constexpr int kProgressGreen = 132;
    static constexpr int kProgressBlue = 247;

signals:
    // The batch ended after its last sheet (not when the user stopped it); `failed` sheets were
    // not stored. Emitted before the dialog closes itself.
    void batchFinished(int saved, int failed);

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildSelectionPanel();
    void buildProgressPanel();
    void selectAllClicked();
    void downloadClicked();
    void showProgressPanel();
    void DownloadNext();
    void onLoadProgress(int percent);
    void onImageLoaded();
    void onLoadFailed(const QString& reason);
    void storeLoadedSheet();
    void recordFailure(const QString& reason);
    void advance();
    void finishBatch();
    void stopDownload();
    QString currentSheetName() const;

    QLabel* m_note = nullptr;   // selection panel: why "Download" did nothing
    QLabel* m_count = nullptr;  // "Sheet n of m"
    QLabel* m_sheet = nullptr;  // name of the sheet being fetched
    QLabel* m_failuresTitle = nullptr;
    QListWidget* m_failureList = nullptr;
    QPushButton* m_close = nullptr;  // shown when the batch ends with failures
    Phase m_phase = Phase::Selecting;
    QStringList m_saved;
    QStringList m_failures;
};

}  // namespace sw::plans
