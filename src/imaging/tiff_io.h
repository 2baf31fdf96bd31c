#pragma once

#include <tiffio.h>

#include <QByteArrayView>
#include <QIODevice>
#include <QString>
#include <QStringList>

// libtiff plumbing shared by the reader and the writer: handles opened on memory or on a
// QIODevice, each with its own error and warning handlers (libtiff 4.5 open options), so that
// decodes on several threads never share a global handler and each failure keeps its own reason.
namespace sw::imaging::tiffio {

// What libtiff reported while a handle was open. Filled by libtiff's callbacks on the thread
// that uses the handle.
struct Diagnostics {
    QString firstError;
    QStringList warnings;
    [[nodiscard]] bool failed() const { return !firstError.isEmpty(); }
};

// Owns an open TIFF handle and the state its callbacks point to. Move-only.
class Handle {
public:
    Handle() = default;
    ~Handle();
    Handle(Handle&& other) noexcept;
    Handle& operator=(Handle&& other) noexcept;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    [[nodiscard]] TIFF* get() const { return m_tif; }
    [[nodiscard]] explicit operator bool() const { return m_tif != nullptr; }
    [[nodiscard]] const Diagnostics& diagnostics() const;
    // The bytes a handle opened with openMemory() reads (empty for other handles).
    [[nodiscard]] QByteArrayView memory() const;
    // Forgets the errors reported so far (those of reading the directory, once it was accepted).
    void clearErrors();
    void close();

    // Read-only handle over `data`, which must outlive the handle. No libtiff allocation may
    // exceed maxSingleAllocation bytes.
    static Handle openMemory(QByteArrayView data, qint64 maxSingleAllocation);
    // Write handle over an open, writable, seekable device, which must outlive the handle.
    static Handle openDevice(QIODevice& device);

    struct State;

private:
    TIFF* m_tif = nullptr;
    State* m_state = nullptr;
};

// True when the bytes start with a TIFF or BigTIFF header.
bool hasTiffSignature(QByteArrayView head);

}  // namespace sw::imaging::tiffio
