// Reading BLP1 picture files: JPEG content and paletted content, the first (largest) level only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictel {

/// Header fields that decode_blp hands back to its caller.
struct BlpInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t picture_type = 0;
    std::uint32_t picture_subtype = 0;
};

/// A JPEG level that would decode to more than this many bytes per byte of its stream cannot be
/// real: even a stream of nothing but empty blocks spends one bit on every 8x8 block, which
/// gives 64 pixels of 4 bytes, and so 2048 bytes of picture per byte of stream.
inline constexpr std::size_t max_jpeg_expansion = 2048;

/// Largest width or height accepted (the most a TGA file can hold).
inline constexpr std::uint32_t max_blp_side = 65535;

/// Decodes level 0 of the BLP1 file `file` into a pixel image: 4 bytes per pixel (blue, green, red,
/// alpha), rows top row first, no gaps.
///
/// Call it twice. With `pixels` empty it checks the file without decoding and returns the size of
/// the pixel image, 4 * width * height; the caller then allocates that many bytes and calls again
/// with them, and the picture is decoded into `pixels` and the same size returned.
///
/// Returns 0 when the file is not valid: wrong magic or content kind, a width or height of 0 or
/// over max_blp_side, a palette, plane, shared JPEG header or level 0 that the file does not hold,
/// a JPEG level whose picture differs in width, height or component count (4) from the header or
/// is implausibly large for its stream (max_jpeg_expansion), an unknown paletted picture type (only
/// when decoding), a JPEG library error (its message is printed on standard error), or a `pixels`
/// buffer that is neither empty nor exactly the size. So the size a first call returns is always
/// backed by the file's own bytes. Only `file` is read and only `pixels` is written.
///
/// `info`, when not null, receives the header's width, height, picture type and subtype, all 0 on
/// failure.
std::size_t decode_blp(std::span<const std::uint8_t> file, std::span<std::uint8_t> pixels,
                       BlpInfo* info);

} // namespace pictel
