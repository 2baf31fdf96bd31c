// Fuzz target of the strip decoders: a valid header of any kind of image stored in strips, with
// the input as its strips (see tiff_layout_input.h).
#include "tiff_layout_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sw::fuzz::decodeLayout(data, size, false);
    return 0;
}
