#include "blp_writer.h"

#include "blp_layout.h"
#include "byte_order.h"
#include "jpeg_codec.h"
#include "pixel_image.h"

#include <algorithm>
#include <cmath>

namespace pictel {

namespace {

namespace layout = blp_layout;

constexpr std::size_t shared_header_size = 10;
constexpr std::size_t stream_padding = 3;
constexpr std::uint32_t first_level_offset = 170;
constexpr std::uint32_t written_picture_type = 4;
constexpr std::uint32_t written_picture_subtype = 1;

std::uint32_t count_halvings(std::uint32_t side) {
    std::uint32_t halvings = 0;
    for (; side > 1; side /= 2) {
        ++halvings;
    }
    return halvings;
}

float scaling_step(std::uint32_t side, std::uint32_t level_side) {
    const auto span = static_cast<float>(side - 1);
    return level_side > 1 ? span / static_cast<float>(level_side - 1) : span;
}

// First and last input index that output index `index` averages over.
std::pair<std::size_t, std::size_t> source_range(std::size_t index, float step,
                                                 std::uint32_t side) {
    const auto first = static_cast<std::size_t>(std::floor(static_cast<double>(index) * step));
    return {first, std::min<std::size_t>(first + 1, side - 1)};
}

struct LevelTables {
    std::uint32_t offsets[layout::level_count] = {};
    std::uint32_t sizes[layout::level_count] = {};
    std::size_t levels = 0;
    std::size_t end = first_level_offset;
};

void write_header(std::span<std::uint8_t> file, std::uint32_t width, std::uint32_t height,
                  const LevelTables& tables) {
    std::copy_n("BLP1", 4, file.begin());
    write_u32(file, layout::content, layout::jpeg_content);
    write_u32(file, layout::halvings, count_halvings(std::min(width, height)));
    write_u32(file, layout::width, width);
    write_u32(file, layout::height, height);
    write_u32(file, layout::picture_type, written_picture_type);
    write_u32(file, layout::picture_subtype, written_picture_subtype);
    for (std::size_t level = 0; level < layout::level_count; ++level) {
        write_u32(file, layout::level_offsets + 4 * level, tables.offsets[level]);
        write_u32(file, layout::level_sizes + 4 * level, tables.sizes[level]);
    }
    write_u32(file, layout::jpeg_header_size, shared_header_size);
}

// Copies a level's stream behind the shared header into the file, with its 3 zero bytes.
bool place_level(std::span<std::uint8_t> file, std::size_t level, std::size_t offset,
                 const std::vector<std::uint8_t>& stream) {
    const std::size_t stored = stream.size() - shared_header_size + stream_padding;
    if (offset > file.size() || stored > file.size() - offset) {
        return false;
    }
    if (level == 0) {
        std::copy_n(stream.begin(), shared_header_size, file.begin() + layout::jpeg_header);
    }
    auto end = std::copy(stream.begin() + shared_header_size, stream.end(), file.begin() + offset);
    std::fill_n(end, stream_padding, std::uint8_t{0});
    return true;
}

bool acceptable(std::span<const std::uint8_t> pixels, std::uint32_t width, std::uint32_t height,
                unsigned bits_per_pixel) {
    return bits_per_pixel == 32 && is_power_of_two(width) && is_power_of_two(height) &&
           std::min(width, height) <= max_blp_smaller_side &&
           pixels.size() == static_cast<std::size_t>(width) * height * 4;
}

// Compresses every level; with `file` not empty also places each in it. Stops at the first level
// that cannot be compressed.
LevelTables make_levels(std::span<const std::uint8_t> pixels, std::uint32_t width,
                        std::uint32_t height, std::span<std::uint8_t> file, int quality) {
    LevelTables tables;
    const std::size_t level_count = count_halvings(std::min(width, height)) + 3;
    std::uint32_t level_width = width;
    std::uint32_t level_height = height;
    std::vector<std::uint8_t> stream;
    for (std::size_t level = 0; level < level_count; ++level) {
        const auto scaled = scale_picture(pixels, width, height, level_width, level_height);
        if (!compress_jpeg(scaled, level_width, level_height, quality, &stream) ||
            stream.size() <= shared_header_size) {
            break;
        }
        if (!file.empty() && !place_level(file, level, tables.end, stream)) {
            break;
        }
        const std::size_t stored = stream.size() - shared_header_size + stream_padding;
        tables.offsets[level] = static_cast<std::uint32_t>(tables.end);
        tables.sizes[level] = static_cast<std::uint32_t>(stored);
        tables.end += stored;
        tables.levels = level + 1;
        level_width = std::max<std::uint32_t>(1, level_width / 2);
        level_height = std::max<std::uint32_t>(1, level_height / 2);
    }
    return tables;
}

} // namespace

std::vector<std::uint8_t> scale_picture(std::span<const std::uint8_t> pixels, std::uint32_t width,
                                        std::uint32_t height, std::uint32_t level_width,
                                        std::uint32_t level_height) {
    if (width == 0 || height == 0 || level_width == 0 || level_height == 0 ||
        pixels.size() != static_cast<std::size_t>(width) * height * 4) {
        return {};
    }
    const float step_x = scaling_step(width, level_width);
    const float step_y = scaling_step(height, level_height);
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> scaled(static_cast<std::size_t>(level_width) * level_height * 4);
    auto out = scaled.begin();
    for (std::size_t i = 0; i < level_height; ++i) {
        const auto [row_first, row_last] = source_range(i, step_y, height);
        for (std::size_t j = 0; j < level_width; ++j) {
            const auto [column_first, column_last] = source_range(j, step_x, width);
            const std::size_t count = (row_last - row_first + 1) * (column_last - column_first + 1);
            for (std::size_t channel = 0; channel < 4; ++channel) {
                std::size_t sum = 0;
                for (std::size_t row = row_first; row <= row_last; ++row) {
                    for (std::size_t column = column_first; column <= column_last; ++column) {
                        sum += pixels[row * row_bytes + column * 4 + channel];
                    }
                }
                *out++ = static_cast<std::uint8_t>(sum / count);
            }
        }
    }
    return scaled;
}

std::size_t encode_blp(std::span<const std::uint8_t> pixels, std::uint32_t width,
                       std::uint32_t height, unsigned bits_per_pixel, std::span<std::uint8_t> file,
                       int quality) {
    if (!acceptable(pixels, width, height, bits_per_pixel)) {
        return 0;
    }
    if (!file.empty() && file.size() <= first_level_offset) {
        return 0;
    }
    const LevelTables tables = make_levels(pixels, width, height, file, quality);
    if (tables.levels == 0 || (!file.empty() && tables.end != file.size())) {
        return 0;
    }
    if (!file.empty()) {
        write_header(file, width, height, tables);
    }
    return tables.end;
}

} // namespace pictel
