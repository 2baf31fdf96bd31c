#include "imaging/pixel_buffer.h"

#include <cstdint>
#include <limits>
#include <mutex>
#include <new>
#include <vector>

#if defined(__unix__)
#include <sys/mman.h>
#endif

// Under AddressSanitizer the parts of pooled memory nobody may touch (the idle buffers, the bytes
// past a buffer's size) are poisoned, so overruns are caught as they are in heap memory.
#include <sanitizer/asan_interface.h>

namespace sw::imaging {

namespace {

constexpr std::size_t kPage = 4096;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

// A mapping of `bytes` (a multiple of the page size) starting on a 2 MB boundary, advised for
// huge pages.
unsigned char* mapFresh(std::size_t bytes) {
#if defined(__unix__)
    void* raw = ::mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto first = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t start = roundUp(first, kHugePage);
    if (start > first) {
        ::munmap(raw, start - first);
    }
    const std::size_t tail = first + bytes + kHugePage - (start + bytes);
    if (tail > 0) {
        ::munmap(reinterpret_cast<void*>(start + bytes), tail);
    }
    auto* p = reinterpret_cast<unsigned char*>(start);
#ifdef MADV_HUGEPAGE
    ::madvise(p, bytes, MADV_HUGEPAGE);  // advice only: without huge pages nothing changes
#endif
    return p;
#else
    return static_cast<unsigned char*>(::operator new (bytes, std::align_val_t{kHugePage}));
#endif
}

void unmap(unsigned char* p, std::size_t bytes) {
    ASAN_UNPOISON_MEMORY_REGION(p, bytes);
#if defined(__unix__)
    ::munmap(p, bytes);
#else
    ::operator delete (p, std::align_val_t{kHugePage});
    (void)bytes;
#endif
}

struct Idle {
    unsigned char* data;
    std::size_t capacity;
};

class Pool {
public:
    // A pooled buffer of at least `bytes` bytes; its capacity in `capacity`.
    unsigned char* take(std::size_t bytes, std::size_t& capacity) {
        {
            std::lock_guard lock(m_mutex);
            // The smallest idle buffer that fits without wasting more than half of itself.
            auto best = m_idle.end();
            for (auto it = m_idle.begin(); it != m_idle.end(); ++it) {
                if (it->capacity >= bytes && it->capacity / 2 <= bytes &&
                    (best == m_idle.end() || it->capacity < best->capacity)) {
                    best = it;
                }
            }
            if (best != m_idle.end()) {
                capacity = best->capacity;
                unsigned char* p = best->data;
                m_idleBytes -= capacity;
                m_idle.erase(best);
                return p;
            }
        }
        capacity = roundUp(bytes, kPage);
        return mapFresh(capacity);
    }

    void give(unsigned char* p, std::size_t capacity) {
        std::vector<Idle> surplus;
        {
            std::lock_guard lock(m_mutex);
            m_idle.push_back({p, capacity});
            m_idleBytes += capacity;
            // The buffers let go longest ago go first.
            while (m_idleBytes > PixelBuffer::kIdleBudget) {
                surplus.push_back(m_idle.front());
                m_idleBytes -= m_idle.front().capacity;
                m_idle.erase(m_idle.begin());
            }
        }
        for (const Idle& b : surplus) {
            unmap(b.data, b.capacity);
        }
    }

    std::size_t idleBytes() {
        std::lock_guard lock(m_mutex);
        return m_idleBytes;
    }

private:
    std::mutex m_mutex;
    std::vector<Idle> m_idle;
    std::size_t m_idleBytes = 0;
};

// Never destroyed: buffers may come back while static objects are being torn down.
Pool& pool() {
    static Pool* const instance = new Pool;
    return *instance;
}

void cleanupImageBuffer(void* info) {
    delete static_cast<PixelBuffer*>(info);
}

}  // namespace

PixelBuffer::PixelBuffer(std::size_t bytes) : m_size(bytes) {
    if (bytes < kPooledMinimum) {
        m_data = static_cast<unsigned char*>(::operator new(bytes == 0 ? 1 : bytes));
    } else {
        m_data = pool().take(bytes, m_capacity);
        ASAN_UNPOISON_MEMORY_REGION(m_data, bytes);
        ASAN_POISON_MEMORY_REGION(m_data + bytes, m_capacity - bytes);
    }
}

PixelBuffer::~PixelBuffer() {
    if (m_data == nullptr) {
        return;
    }
    if (m_capacity == 0) {
        ::operator delete(m_data);
    } else {
        ASAN_POISON_MEMORY_REGION(m_data, m_capacity);
        pool().give(m_data, m_capacity);
    }
}

PixelBuffer::PixelBuffer(PixelBuffer&& other) noexcept
    : m_data(other.m_data), m_size(other.m_size), m_capacity(other.m_capacity) {
    other.m_data = nullptr;
    other.m_size = 0;
    other.m_capacity = 0;
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& other) noexcept {
    if (this != &other) {
        PixelBuffer gone(std::move(*this));
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }
    return *this;
}

std::size_t PixelBuffer::idleBytes() {
    return pool().idleBytes();
}

QImage pooledImage(int width, int height, QImage::Format format) {
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (width <= 0 || height <= 0 || depth <= 0) {
        return {};
    }
    const qint64 bytesPerLine = (static_cast<qint64>(width) * depth + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * height;
    if (bytesPerLine > std::numeric_limits<int>::max() || bytes / height != bytesPerLine) {
        return {};
    }
    PixelBuffer* buffer = nullptr;
    try {
        buffer = new PixelBuffer(static_cast<std::size_t>(bytes));
    } catch (const std::bad_alloc&) {
        return {};
    }
    QImage image(buffer->data(), width, height, bytesPerLine, format, cleanupImageBuffer, buffer);
    if (image.isNull()) {
        delete buffer;
        return {};
    }
    if (format == QImage::Format_Mono || format == QImage::Format_MonoLSB) {
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    }
    return image;
}

}  // namespace sw::imaging
