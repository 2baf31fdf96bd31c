// One libFuzzer target of the host: SW_HOST_FUZZ_BODY names the body it runs
// (host_fuzz_bodies.h).
#include "host_fuzz_bodies.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sw::host::fuzz::SW_HOST_FUZZ_BODY(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
