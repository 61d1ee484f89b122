// The converter's in-memory picture: 4 bytes per pixel (blue, green, red, alpha), rows without
// gaps. The BLP reader and writer keep rows top row first; TGA files keep them bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace pictel {

/// Reverses the order of the first `rows` rows of `image`, each `row_bytes` long, in place; the
/// bytes within a row keep their order. Does nothing when the rows would reach past the end of
/// `image` (the caller's sizes are wrong, and touching the buffer would be worse).
void flip_rows(std::span<std::uint8_t> image, std::size_t row_bytes, std::size_t rows);

/// Reverses the order of the pixels (`pixel_bytes` each) within every row of `image`, in place.
/// Same guard as flip_rows.
void mirror_rows(std::span<std::uint8_t> image, std::size_t row_bytes, std::size_t rows,
                 std::size_t pixel_bytes);

/// True for 1, 2, 4, 8 ...; false for 0.
constexpr bool is_power_of_two(std::uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

} // namespace pictel
