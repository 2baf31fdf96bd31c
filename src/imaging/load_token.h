#pragma once

#include <atomic>

#include <QtGlobal>

#include "imaging/imaging_error.h"

// The link between a background load and the worker thread that reads and decodes for it. The
// owner (the UI thread) may cancel at any time and watches the step count to tell a slow read
// from one that no longer moves; the worker counts a step after every unit of work (a chunk of
// the file, a row of the image) and stops at the next one once cancelled. Shared by both threads
// (owned through a shared_ptr); every member is thread-safe.
namespace sw::imaging {

class LoadToken {
public:
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    [[nodiscard]] quint64 steps() const { return m_steps.load(std::memory_order_relaxed); }

    // Counts a step; throws ImagingError "Cancelled" once the load was cancelled.
    void step() {
        m_steps.fetch_add(1, std::memory_order_relaxed);
        if (isCancelled()) {
            throw ImagingError(QStringLiteral("Cancelled"));
        }
    }

private:
    std::atomic<bool> m_cancelled{false};
    std::atomic<quint64> m_steps{0};
};

}  // namespace sw::imaging
