#pragma once

#include <cstddef>

#include <QImage>

// Memory for the large pixel arrays of the engine: decoded sheets, turned sheets and pyramid
// levels (megabytes each).
//
// Fresh memory is dear: the first write to each 4 KB page of a new allocation is a page fault in
// which the kernel finds and clears a page, and for a 17 MB sheet those faults cost more than
// decoding it. So large buffers come from one pool for the whole process:
//   - a buffer let go (the viewer moved on to the next sheet) is kept and handed to the next
//     request of about its size, already mapped, so a viewer switching sheets faults no pages;
//   - new buffers start on a 2 MB boundary and are advised for transparent huge pages, so where
//     the kernel offers them (/sys/kernel/mm/transparent_hugepage/enabled: always or madvise)
//     one fault maps 2 MB instead of 4 KB;
//   - buffers are never cleared here: whoever takes one writes every byte it later reads.
// Small requests (below kPooledMinimum) are ordinary heap allocations.
//
// Thread-safe: buffers are taken on decoding threads and come back on whichever thread drops the
// last reference to them.
namespace sw::imaging {

class PixelBuffer {
public:
    static constexpr std::size_t kPooledMinimum = std::size_t{1} << 20;
    // Bytes of idle buffers kept for reuse (about two 400 dpi, 36 x 24 in sheets with their
    // levels); buffers let go beyond it are returned to the system.
    static constexpr std::size_t kIdleBudget = std::size_t{96} << 20;

    PixelBuffer() = default;
    // A buffer of at least `bytes` bytes, contents undefined. Throws std::bad_alloc.
    explicit PixelBuffer(std::size_t bytes);
    ~PixelBuffer();
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    [[nodiscard]] unsigned char* data() const { return m_data; }
    [[nodiscard]] std::size_t size() const { return m_size; }

    // Bytes of idle buffers the pool holds now.
    static std::size_t idleBytes();

private:
    unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// A width x height image of `format` whose pixels live in a pooled buffer (rows laid out as
// QImage lays them out itself); null when the memory is not there. The pixels are undefined; a
// Format_Mono image gets QImage's default colour table. Copies share the buffer as any QImage
// does, and it goes back to the pool with the last of them.
QImage pooledImage(int width, int height, QImage::Format format);

}  // namespace sw::imaging
