#pragma once

#include <memory>

#include <QObject>
#include <QString>

#include "imaging/sheet.h"
#include "imaging/tiff_reader.h"

// Loads a sheet in the background from an http(s) URL, a file URL or a local path: the transfer
// runs on Qt's network stack, reading the file and decoding on a worker thread of a pool of the
// loader's own (never Qt's global pool, which painting waits on), and every signal comes on the
// thread that owns the loader (the UI thread). Nothing on that thread ever waits for a worker.
//
// Signals of one load: progress(0) first, then rising whole percentages, each value at most once;
// it ends in exactly one of loaded() (preceded by progress(100)) or failed(reason). A new start()
// or cancel() supersedes the load in progress: it is aborted (a worker stops at its next row)
// and nothing more is signalled for it; destroying the loader cancels too. A transfer that
// receives nothing, or a read or decode that makes no progress, for transferTimeout()
// milliseconds fails. Local files must be regular files no larger than maxFileBytes(); a
// response larger than that is cut off.
//
// Failure reasons are sentences for a status bar: "HTTP 404 Not Found", "The response was cut short
// (500 of 1000 bytes received)", "No data received for 60 s", "Cannot open <path>: not a regular
// file ...", "Reading <path> made no progress for 60 s", the network's own error text, or the
// decoder's ("Not a TIFF file", "Corrupt data: ...").
namespace sw::imaging {

class SheetLoader : public QObject {
    Q_OBJECT

public:
    static constexpr int kDefaultTransferTimeout = 60000;  // milliseconds

    explicit SheetLoader(QObject* parent = nullptr);
    ~SheetLoader() override;

    void setTransferTimeout(int milliseconds);
    [[nodiscard]] int transferTimeout() const;
    void setDecodeOptions(const DecodeOptions& options);

    void start(const QString& address);
    void cancel();
    [[nodiscard]] bool isLoading() const;

signals:
    void progress(int percent);
    void loaded(const sw::imaging::Sheet& sheet);
    void failed(const QString& reason);

private:
    struct Private;
    std::unique_ptr<Private> d;

    void startNetwork(const QUrl& url, quint64 generation);
    // Reads `path` (when given, else decodes `bytes`) on a worker, watched by the stall timer.
    void startDecode(quint64 generation, const QString& path, const QByteArray& bytes);
    void finish(quint64 generation, const Sheet& sheet, const QString& error);
    void report(quint64 generation, int percent);
};

// Builds the pyramid levels a fitted view of the sheet on a large screen is drawn from (called on
// the decoding thread, so that the first frame on the UI thread is quick; other levels follow
// from them in a few milliseconds when first needed).
void prepareForDisplay(const Sheet& sheet);

}  // namespace sw::imaging

Q_DECLARE_METATYPE(sw::imaging::Sheet)
