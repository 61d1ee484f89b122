#include "pixel_image.h"

#include <algorithm>

namespace pictel {

namespace {

bool rows_fit(std::span<std::uint8_t> image, std::size_t row_bytes, std::size_t rows) {
    return row_bytes == 0 || rows <= image.size() / row_bytes;
}

} // namespace

void flip_rows(std::span<std::uint8_t> image, std::size_t row_bytes, std::size_t rows) {
    if (rows < 2 || !rows_fit(image, row_bytes, rows)) {
        return;
    }
    std::uint8_t* top = image.data();
    std::uint8_t* bottom = image.data() + (rows - 1) * row_bytes;
    for (; top < bottom; top += row_bytes, bottom -= row_bytes) {
        std::swap_ranges(top, top + row_bytes, bottom);
    }
}

void mirror_rows(std::span<std::uint8_t> image, std::size_t row_bytes, std::size_t rows,
                 std::size_t pixel_bytes) {
    if (pixel_bytes == 0 || row_bytes < 2 * pixel_bytes || !rows_fit(image, row_bytes, rows)) {
        return;
    }
    const std::size_t pixels_per_row = row_bytes / pixel_bytes;
    for (std::size_t row = 0; row < rows; ++row) {
        std::uint8_t* left = image.data() + row * row_bytes;
        std::uint8_t* right = left + (pixels_per_row - 1) * pixel_bytes;
        for (; left < right; left += pixel_bytes, right -= pixel_bytes) {
            std::swap_ranges(left, left + pixel_bytes, right);
        }
    }
}

} // namespace pictel
