// TGA files: the 32-bit writer of the BLP-to-TGA direction, and a reader of true-colour files
// (image types 2 and 10, 24 or 32 bits per pixel) that the TGA-to-BLP direction and the main
// program's preview display share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictel {

inline constexpr std::size_t tga_header_size = 18;

/// Builds a TGA file (image type 2, no ID field, no colour map, origin bottom left) from `pixels`,
/// `bits_per_pixel` / 8 bytes per pixel in file order: rows bottom row first.
///
/// With `file` empty returns the file size, 18 + bits_per_pixel / 8 * width * height. With `file`
/// of exactly that size fills the header (descriptor 8 for 32 bits, 0 for 24), copies the pixels
/// behind it unchanged and returns the same size. Returns 0 when `bits_per_pixel` is neither 24
/// nor 32, a side is over 65535 (the header could not hold it), `pixels` is shorter than the
/// picture, or a non-empty `file` has the wrong size.
std::size_t build_tga(std::span<const std::uint8_t> pixels, std::uint32_t width,
                      std::uint32_t height, unsigned bits_per_pixel, std::span<std::uint8_t> file);

/// What parse_tga found in a TGA header.
struct TgaInfo {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t bits_per_pixel = 0; ///< 24 or 32
    std::uint32_t image_type = 0;     ///< 2 (uncompressed) or 10 (run-length encoded)
    /// The low 4 bits of the image descriptor: how many bits of each 32-bit pixel are alpha.
    /// A display may treat a 32-bit picture with 0 here as opaque.
    std::uint32_t alpha_bits = 0;
};

/// Reads the TGA file `file` into a pixel image of bits_per_pixel / 8 bytes per pixel (blue,
/// green, red, and alpha for 32 bits).
///
/// Whatever the file's origin bits, the pixels come back in one orientation: rows bottom row
/// first, pixels of a row left to right. A file stored top to bottom (descriptor bit 5) has its
/// rows reversed, a file stored right to left (bit 4) has the pixels of each row reversed. So a
/// file that build_tga wrote comes back byte for byte, and a display that draws top row first
/// applies flip_rows (row length width * bits_per_pixel / 8) to show any file upright.
///
/// Call it twice. With `pixels` empty only the header is examined and the pixel data size,
/// bits_per_pixel / 8 * width * height, is returned; the caller then allocates that many bytes and
/// calls again to have them filled, and the same size is returned.
///
/// Returns 0 when the file is not accepted: shorter than its 18-byte header, a colour map, an image
/// type other than 2 or 10, a width or height of 0, a depth other than 24 or 32, an ID field or
/// pixel data the file does not hold (for type 10, more pixels than its bytes could encode even
/// as the longest runs), run-length packets that would read past the file or write past the
/// picture, or a `pixels` buffer that is neither empty nor exactly the size. So the size a first
/// call returns is always backed by the file's own bytes. Only `file` is read and only `pixels`
/// is written.
///
/// `info`, when not null, receives the header's values, all 0 when the file is not accepted.
std::size_t parse_tga(std::span<const std::uint8_t> file, std::span<std::uint8_t> pixels,
                      TgaInfo* info);

/// Widens 3-byte pixels to 4 bytes: for each whole group of 3 bytes of `input`, while `output`
/// has room for 4 more, writes the 3 bytes and then `alpha`. Returns the bytes written.
std::size_t expand_to_32(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                         std::uint8_t alpha);

} // namespace pictel
