// readLocalFile (tiff_reader.h): a local sheet read into memory, regular files only.
#include <algorithm>
#include <functional>

#include <QFile>
#include <QFileInfo>

#include "imaging/imaging_error.h"
#include "imaging/load_token.h"
#include "imaging/tiff_reader.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace sw::imaging {

namespace {

// Read in pieces so that a cancelled load stops soon and its owner sees the read move.
constexpr qint64 kChunk = qint64{4} << 20;

[[noreturn]] void cannot(const char* what, const QString& path, const QString& reason) {
    throw ImagingError(QStringLiteral("Cannot %1 %2: %3").arg(QLatin1String(what), path, reason));
}

[[noreturn]] void notRegular(const QString& path, bool folder) {
    cannot("open", path,
           folder ? QStringLiteral("it is a folder, not a file")
                  : QStringLiteral("not a regular file (a device, pipe or socket)"));
}

// Reads `size` bytes with readAt(buffer, offset, count), which returns the bytes read (0 at the
// end of the file) or throws.
using ReadAt = std::function<qint64(char*, qint64, qint64)>;

QByteArray readWhole(const QString& path, qint64 size, qint64 maxBytes, LoadToken* token,
                     const ReadAt& readAt) {
    if (size > maxBytes) {
        cannot("open", path,
               QStringLiteral("the file of %1 MB is larger than a sheet can be (%2 MB)")
                   .arg((size + (1 << 20) - 1) >> 20)
                   .arg(maxBytes >> 20));
    }
    QByteArray bytes;
    try {
        bytes = QByteArray(static_cast<qsizetype>(size), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        cannot("read", path, QStringLiteral("not enough memory for %1 MB").arg(size >> 20));
    }
    for (qint64 got = 0; got < size;) {
        const qint64 n = readAt(bytes.data() + got, got, std::min(kChunk, size - got));
        if (n == 0) {
            cannot("read", path,
                   QStringLiteral("the file was shortened while it was read (%1 of %2 bytes)")
                       .arg(got)
                       .arg(size));
        }
        got += n;
        if (token) {
            token->step();
        }
    }
    return bytes;
}

#ifdef Q_OS_UNIX

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

#endif

}  // namespace

QByteArray readLocalFile(const QString& path, qint64 maxBytes, LoadToken* token) {
#ifdef Q_OS_UNIX
    // O_NONBLOCK: opening a FIFO must not wait for a writer; for a regular file it changes nothing.
    const QByteArray native = QFile::encodeName(path);
    const Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) {
        cannot("open", path, errorText(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        notRegular(path, S_ISDIR(info.st_mode));
    }
    return readWhole(path, info.st_size, maxBytes, token, [&](char* to, qint64 at, qint64 count) {
        for (;;) {
            const auto n = ::pread(fd.get(), to, static_cast<size_t>(count), at);
            if (n >= 0) {
                return static_cast<qint64>(n);
            }
            if (errno != EINTR) {
                cannot("read", path, errorText(errno));
            }
        }
    });
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        notRegular(path, info.isDir());
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        cannot("open", path, file.errorString());
    }
    return readWhole(path, file.size(), maxBytes, token, [&](char* to, qint64, qint64 count) {
        const qint64 n = file.read(to, count);
        if (n < 0) {
            cannot("read", path, file.errorString());
        }
        return n;
    });
#endif
}

}  // namespace sw::imaging
