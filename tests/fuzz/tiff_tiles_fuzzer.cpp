// Fuzz target of the tile decoders: a valid header of any kind of image stored in tiles, with the
// input as its tiles (see tiff_layout_input.h).
#include "tiff_layout_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sw::fuzz::decodeLayout(data, size, true);
    return 0;
}
