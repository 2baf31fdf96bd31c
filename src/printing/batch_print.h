#pragma once

#include <cstdint>

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

// Batch printing as pure logic: the list of sheet addresses the print dialog walks, the names of
// its temporary files, the listing and clearing of the folder that holds them, and the
// process-wide record of running batches that scripts wait on. The dialog (DlgPrint) drives the
// downloads and print jobs; everything here is usable without a display.
namespace sw::printing {

// The batch of one "Download and Print": full sheet addresses and the two 16-bit positions the
// dialog walks them with. batchUrls(batchCursor) is the sheet being downloaded; the batch ends
// when batchCursor reaches batchEnd. Empty texts are the unused slots the array keeps at its
// ends.
//
// Forward: entries at 0 .. batchEnd - 1 in list order, slot batchEnd empty, batchCursor 0.
// Reverse: the array is turned end for end with one more slot, so the entries stand at
// 1 .. batchEnd - 1, last chosen first, slots 0 and batchEnd empty, batchCursor 1. The shifted
// bounds matter: the cursor names the temporary files (1-tmp.tif is the first of a reverse batch).
struct PrintBatch {
    QStringList batchUrls;
    std::int16_t batchEnd = 0;
    std::int16_t batchCursor = 0;

    [[nodiscard]] bool isEmpty() const { return batchEnd == batchCursor; }
};

// Builds the batch from the chosen rows of the batch list, top to bottom (`rows` ascending): row
// i stands for element i of `planUrls`, its address is `urlBase` + that element. Throws
// ScriptError "Subscript out of range" for a row without an element, "Overflow" past 32767 rows.
PrintBatch buildPrintBatch(const QList<int>& rows, const QStringList& planUrls,
                           const QString& urlBase, bool reverse);

// The folder of the temporary files with a trailing separator, or an empty text when `batchSave`
// cannot serve: empty or relative (it would name the working folder, whose files the batch
// deletes).
QString batchFolder(const QString& batchSave);

// The temporary file of position `cursor`: folder + decimal cursor + "-tmp.tif".
QString batchTempFileName(const QString& folder, std::int16_t cursor);

// Names (without folder) of the ordinary files matching `pattern` (a folder ending in a
// separator, or a folder and a wildcard name such as "dir/*.tif"): no folders, no hidden files.
// Sorted as text, without regard to letter case (ties in code-point order), which is the order
// the original platform's file system lists them in: 0-tmp.tif, 1-tmp.tif, 10-tmp.tif,
// 2-tmp.tif. One empty name when nothing matches.
QStringList batchFileList(const QString& pattern);

// Deletes every file in `folder` (see batchFolder), read-only ones included; sub-folders stay.
// Returns one sentence per file that could not be deleted (and one when the folder is unusable);
// empty when all went.
QStringList clearBatchFolder(const QString& folder);

// How a batch went, for the host calls that wait on it and for the summary shown at its end.
struct BatchPrintReport {
    int sheets = 0;        // addresses in the batch
    int printed = 0;       // print jobs run for its sheets
    QStringList problems;  // sheets and files skipped, each with its reason
    bool stopped = false;  // the dialog was closed before the batch ended
};

// The batches running in the process (one per open print dialog at most) and the report of the
// last one that ended. The print dialog reports its batch's start and end; scripts wait here.
// A process-wide object of the UI thread.
class BatchPrintMonitor : public QObject {
    Q_OBJECT

public:
    static BatchPrintMonitor& instance();

    void batchStarted();
    void batchEnded(const BatchPrintReport& report);

    [[nodiscard]] int running() const { return m_running; }
    // False until a batch has ended in this process.
    [[nodiscard]] bool hasReport() const { return m_hasReport; }
    [[nodiscard]] const BatchPrintReport& lastReport() const { return m_last; }

signals:
    void ended();

private:
    BatchPrintMonitor() = default;

    int m_running = 0;
    bool m_hasReport = false;
    BatchPrintReport m_last;
};

}  // namespace sw::printing
