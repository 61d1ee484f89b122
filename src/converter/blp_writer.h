// Writing BLP1 files with JPEG content and a chain of picture levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pictel {

/// The level tables hold 16 entries, enough for a smaller side of up to 8192 pixels
/// (13 halvings + 3 levels).
inline constexpr std::uint32_t max_blp_smaller_side = 8192;

/// Encodes `width` x `height` pixels of 4 bytes (blue, green, red, alpha; rows top row first;
/// `pixels` holding exactly 4 * width * height bytes) as a BLP1 file with JPEG content: halvings
/// + 3 levels, each scaled from the full picture (scale_picture) and compressed with `quality`.
///
/// Call it twice. With `file` empty it does all the work and returns the file's length without
/// writing; the caller allocates that many bytes and calls again to have them filled, and the
/// same length is returned. The 3 bytes behind each level's JPEG stream are written as zeros.
///
/// Returns 0, and writes nothing, when `bits_per_pixel` is not 32, a side is not a power of two,
/// the smaller side is over max_blp_smaller_side, `pixels` has the wrong size, or level 0 cannot
/// be compressed. Also returns 0 when a non-empty `file` is not exactly the length; its content
/// is then unspecified, but nothing is written outside it. A JPEG library error at a later
/// level prints the library's message and ends the chain there: the file holds the levels before.
std::size_t encode_blp(std::span<const std::uint8_t> pixels, std::uint32_t width,
                       std::uint32_t height, unsigned bits_per_pixel, std::span<std::uint8_t> file,
                       int quality);

/// Scales a picture of `width` x `height` pixels of 4 bytes to `level_width` x `level_height` as
/// the levels of a BLP file need it: every output pixel is the average (fraction dropped, each
/// byte a channel of its own) of the input pixels at rows i0..i1 and columns j0..j1, where
/// i0 = floor(i * step_y), i1 = min(i0 + 1, height - 1), likewise for columns, and the steps are
/// (side - 1) / (level side - 1) rounded to single precision ((side - 1) for a level side of 1).
/// So a same-size level is each pixel averaged with its right, lower and lower-right
/// neighbours. Returns the 4 * level_width * level_height bytes; an empty vector when `pixels`
/// does not hold the picture or a size is 0.
std::vector<std::uint8_t> scale_picture(std::span<const std::uint8_t> pixels, std::uint32_t width,
                                        std::uint32_t height, std::uint32_t level_width,
                                        std::uint32_t level_height);

} // namespace pictel
