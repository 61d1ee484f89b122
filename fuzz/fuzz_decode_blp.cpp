// Feeds arbitrary bytes to the BLP reader through both calls of its size-query convention.
#include "blp_reader.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    pictel::BlpInfo info;
    const std::size_t pixel_bytes = pictel::decode_blp(file, {}, &info);
    if (pixel_bytes == 0) {
        return 0;
    }
    // The size query promises a size the file's own bytes back; keep the fuzzer to that promise.
    if (pixel_bytes > 4 * pictel::max_jpeg_expansion * size + 4 * size) {
        __builtin_trap();
    }
    std::vector<std::uint8_t> pixels(pixel_bytes);
    pictel::decode_blp(file, pixels, &info);
    return 0;
}
