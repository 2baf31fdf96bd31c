#include "printing/batch_print.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/script_error.h"
#include "base/vb.h"

namespace sw::printing {

PrintBatch buildPrintBatch(const QList<int>& rows, const QStringList& planUrls,
                           const QString& urlBase, bool reverse) {
    PrintBatch batch;
    batch.batchUrls = {QString()};
    for (const int row : rows) {
        if (row < 0 || row >= planUrls.size()) {
            throw base::ScriptError::subscriptOutOfRange();
        }
        batch.batchEnd = base::vb::add16(batch.batchEnd, 1);
        batch.batchUrls.resize(batch.batchEnd + 1);
        batch.batchUrls[batch.batchEnd - 1] = urlBase + planUrls.at(row);
    }
    batch.batchCursor = 0;
    if (!reverse) {
        return batch;
    }
    // Bounds 0 .. batchEnd + 1; element batchEnd - k is element k of the forward array.
    QStringList turned(batch.batchEnd + 2);
    for (int k = 0; k <= batch.batchEnd; ++k) {
        turned[batch.batchEnd - k] = batch.batchUrls.at(k);
    }
    batch.batchUrls = turned;
    batch.batchCursor = 1;
    batch.batchEnd = base::vb::add16(batch.batchEnd, 1);
    return batch;
}

QString batchFolder(const QString& batchSave) {
    if (batchSave.isEmpty() || QDir::isRelativePath(batchSave)) {
        return {};
    }
    const QString folder = QDir::fromNativeSeparators(batchSave);
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString batchTempFileName(const QString& folder, std::int16_t cursor) {
    return folder + QString::number(cursor) + QStringLiteral("-tmp.tif");
}

QStringList batchFileList(const QString& pattern) {
    const QString path = QDir::fromNativeSeparators(pattern);
    const QFileInfo info(path);
    QDir folder = info.dir();
    QString name = info.fileName();
    if (path.endsWith(QLatin1Char('/')) || info.isDir()) {
        folder = QDir(path);
        name = QStringLiteral("*");
    }
    QStringList names =
        folder.entryList({name}, QDir::Files | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return names.isEmpty() ? QStringList{QString()} : names;
}

QStringList clearBatchFolder(const QString& folder) {
    if (folder.isEmpty()) {
        return {QStringLiteral("No folder is set for the temporary files of the batch")};
    }
    QStringList problems;
    for (const QString& name : batchFileList(folder)) {
        if (name.isEmpty()) {
            continue;
        }
        QFile file(folder + name);
        file.setPermissions(file.permissions() | QFile::WriteOwner | QFile::WriteUser);
        if (!file.remove()) {
            problems << QStringLiteral("%1 could not be deleted: %2")
                            .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        }
    }
    return problems;
}

BatchPrintMonitor& BatchPrintMonitor::instance() {
    static BatchPrintMonitor* monitor = new BatchPrintMonitor;
    return *monitor;
}

void BatchPrintMonitor::batchStarted() {
    ++m_running;
}

void BatchPrintMonitor::batchEnded(const BatchPrintReport& report) {
    m_running = std::max(0, m_running - 1);
    m_last = report;
    m_hasReport = true;
    emit ended();
}

}  // namespace sw::printing
