// Feeds arbitrary bytes to the TGA reader through both calls of its size-query convention.
#include "tga.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    pictel::TgaInfo info;
    const std::size_t pixel_bytes = pictel::parse_tga(file, {}, &info);
    if (pixel_bytes == 0) {
        return 0;
    }
    // At most 128 pixels of 4 bytes for every 2 bytes of the file (a run of 24-bit pixels).
    if (pixel_bytes > std::size_t{128} * 4 * size) {
        __builtin_trap();
    }
    std::vector<std::uint8_t> pixels(pixel_bytes);
    pictel::parse_tga(file, pixels, &info);
    return 0;
}
