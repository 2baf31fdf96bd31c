#include "imaging/tiff_io.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace sw::imaging::tiffio {

struct Handle::State {
    Diagnostics diagnostics;
    // Memory source
    const char* data = nullptr;
    qint64 size = 0;
    qint64 pos = 0;
    // Device sink
    QIODevice* device = nullptr;
};

namespace {

QString format(const char* module, const char* fmt, va_list ap) {
    char buffer[1024];
    std::vsnprintf(buffer, sizeof buffer, fmt, ap);
    QString text = QString::fromLocal8Bit(buffer).trimmed();
    if (module && *module && !text.startsWith(QLatin1String(module))) {
        text = QStringLiteral("%1: %2").arg(QString::fromLocal8Bit(module), text);
    }
    return text;
}

int onError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    auto* state = static_cast<Handle::State*>(user);
    if (state->diagnostics.firstError.isEmpty()) {
        state->diagnostics.firstError = format(module, fmt, ap);
    }
    return 1;
}

int onWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    auto* state = static_cast<Handle::State*>(user);
    if (state->diagnostics.warnings.size() < 20) {
        state->diagnostics.warnings.append(format(module, fmt, ap));
    }
    return 1;
}

Handle::State* stateOf(thandle_t h) {
    return static_cast<Handle::State*>(h);
}

tmsize_t memRead(thandle_t h, void* buf, tmsize_t size) {
    auto* s = stateOf(h);
    const qint64 n = std::max<qint64>(0, std::min<qint64>(size, s->size - s->pos));
    if (n > 0) {
        std::memcpy(buf, s->data + s->pos, static_cast<size_t>(n));
    }
    s->pos += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t memWrite(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t memSeek(thandle_t h, toff_t off, int whence) {
    auto* s = stateOf(h);
    qint64 base = whence == SEEK_CUR ? s->pos : whence == SEEK_END ? s->size : 0;
    const qint64 target = base + static_cast<qint64>(off);
    if (target < 0) {
        return static_cast<toff_t>(-1);
    }
    s->pos = target;
    return static_cast<toff_t>(target);
}

int noClose(thandle_t) {
    return 0;
}

toff_t memSize(thandle_t h) {
    return static_cast<toff_t>(stateOf(h)->size);
}

int memMap(thandle_t h, void** base, toff_t* size) {
    auto* s = stateOf(h);
    *base = const_cast<char*>(s->data);
    *size = static_cast<toff_t>(s->size);
    return 1;
}

void memUnmap(thandle_t, void*, toff_t) {}

tmsize_t devRead(thandle_t h, void* buf, tmsize_t size) {
    auto* d = stateOf(h)->device;
    if (!d->isReadable()) {
        return 0;
    }
    const qint64 n = d->read(static_cast<char*>(buf), size);
    return n < 0 ? 0 : static_cast<tmsize_t>(n);
}

tmsize_t devWrite(thandle_t h, void* buf, tmsize_t size) {
    const qint64 n = stateOf(h)->device->write(static_cast<const char*>(buf), size);
    return n < 0 ? -1 : static_cast<tmsize_t>(n);
}

toff_t devSeek(thandle_t h, toff_t off, int whence) {
    auto* d = stateOf(h)->device;
    qint64 base = whence == SEEK_CUR ? d->pos() : whence == SEEK_END ? d->size() : 0;
    const qint64 target = base + static_cast<qint64>(off);
    if (target < 0 || !d->seek(target)) {
        return static_cast<toff_t>(-1);
    }
    return static_cast<toff_t>(target);
}

toff_t devSize(thandle_t h) {
    return static_cast<toff_t>(stateOf(h)->device->size());
}

int noMap(thandle_t, void**, toff_t*) {
    return 0;
}

TIFFOpenOptions* makeOptions(Handle::State* state, qint64 maxSingleAllocation) {
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(opts, onError, state);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, onWarning, state);
    if (maxSingleAllocation > 0) {
        TIFFOpenOptionsSetMaxSingleMemAlloc(opts, static_cast<tmsize_t>(maxSingleAllocation));
    }
    return opts;
}

}  // namespace

Handle::~Handle() {
    close();
}

Handle::Handle(Handle&& other) noexcept : m_tif(other.m_tif), m_state(other.m_state) {
    other.m_tif = nullptr;
    other.m_state = nullptr;
}

Handle& Handle::operator=(Handle&& other) noexcept {
    if (this != &other) {
        close();
        std::swap(m_tif, other.m_tif);
        std::swap(m_state, other.m_state);
    }
    return *this;
}

const Diagnostics& Handle::diagnostics() const {
    static const Diagnostics kNone;
    return m_state ? m_state->diagnostics : kNone;
}

QByteArrayView Handle::memory() const {
    return m_state && m_state->data ? QByteArrayView(m_state->data, m_state->size)
                                    : QByteArrayView();
}

void Handle::clearErrors() {
    if (m_state) {
        m_state->diagnostics.firstError.clear();
    }
}

void Handle::close() {
    if (m_tif) {
        TIFFClose(m_tif);
        m_tif = nullptr;
    }
    delete m_state;
    m_state = nullptr;
}

Handle Handle::openMemory(QByteArrayView data, qint64 maxSingleAllocation) {
    Handle h;
    h.m_state = new State;
    h.m_state->data = data.data();
    h.m_state->size = data.size();
    TIFFOpenOptions* opts = makeOptions(h.m_state, maxSingleAllocation);
    h.m_tif = TIFFClientOpenExt("memory", "r", h.m_state, memRead, memWrite, memSeek, noClose,
                                memSize, memMap, memUnmap, opts);
    TIFFOpenOptionsFree(opts);
    return h;
}

Handle Handle::openDevice(QIODevice& device) {
    Handle h;
    h.m_state = new State;
    h.m_state->device = &device;
    TIFFOpenOptions* opts = makeOptions(h.m_state, 0);
    h.m_tif = TIFFClientOpenExt("output", "w", h.m_state, devRead, devWrite, devSeek, noClose,
                                devSize, noMap, memUnmap, opts);
    TIFFOpenOptionsFree(opts);
    return h;
}

bool hasTiffSignature(QByteArrayView head) {
    if (head.size() < 4) {
        return false;
    }
    const auto* b = reinterpret_cast<const unsigned char*>(head.data());
    const bool little = b[0] == 'I' && b[1] == 'I' && (b[2] == 42 || b[2] == 43) && b[3] == 0;
    const bool big = b[0] == 'M' && b[1] == 'M' && b[2] == 0 && (b[3] == 42 || b[3] == 43);
    return little || big;
}

}  // namespace sw::imaging::tiffio
