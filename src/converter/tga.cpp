#include "tga.h"

#include "byte_order.h"
#include "pixel_image.h"

#include <algorithm>
#include <optional>

namespace pictel {

namespace {

constexpr std::uint8_t uncompressed_true_colour = 2;
constexpr std::uint8_t run_length_true_colour = 10;
constexpr std::uint8_t origin_right_to_left = 0x10;
constexpr std::uint8_t origin_top_to_bottom = 0x20;
constexpr std::uint32_t max_tga_side = 65535;
constexpr std::size_t max_run = 128;

struct TgaLayout {
    TgaInfo info;
    std::uint8_t descriptor = 0;
    std::size_t pixel_bytes = 0;
    std::size_t data_bytes = 0;         // size of pixel data in the picture
    std::span<const std::uint8_t> data; // the file from the first pixel byte on
};

std::optional<TgaLayout> read_header(std::span<const std::uint8_t> file) {
    if (file.size() < tga_header_size) {
        return std::nullopt;
    }
    const std::uint8_t image_type = file[2];
    const std::uint8_t depth = file[16];
    TgaLayout layout;
    layout.info = {read_u16(file, 12), read_u16(file, 14), depth, image_type,
                   static_cast<std::uint32_t>(file[17] & 0x0F)};
    layout.descriptor = file[17];
    const bool accepted =
        file[1] == 0 &&
        (image_type == uncompressed_true_colour || image_type == run_length_true_colour) &&
        layout.info.width != 0 && layout.info.height != 0 && (depth == 24 || depth == 32);
    const std::size_t data_offset = tga_header_size + file[0];
    if (!accepted || data_offset > file.size()) {
        return std::nullopt;
    }
    layout.pixel_bytes = depth / 8;
    layout.data_bytes =
        layout.pixel_bytes * static_cast<std::size_t>(layout.info.width) * layout.info.height;
    layout.data = file.subspan(data_offset);
    return layout;
}

// Whether the file could hold the announced picture, so that nobody allocates for a picture a
// few bytes merely claim.
bool data_could_fit(const TgaLayout& layout) {
    if (layout.info.image_type == uncompressed_true_colour) {
        return layout.data.size() >= layout.data_bytes;
    }
    const std::size_t longest_packets = layout.data.size() / (1 + layout.pixel_bytes);
    return layout.data_bytes / layout.pixel_bytes <= longest_packets * max_run;
}

bool unpack_runs(std::span<const std::uint8_t> data, std::size_t pixel_bytes,
                 std::span<std::uint8_t> pixels) {
    std::size_t in = 0;
    std::size_t out = 0;
    while (out < pixels.size()) {
        if (in >= data.size()) {
            return false;
        }
        const std::uint8_t packet = data[in++];
        const std::size_t run_bytes = ((packet & 0x7F) + 1u) * pixel_bytes;
        const bool repeated = (packet & 0x80) != 0;
        const std::size_t read_bytes = repeated ? pixel_bytes : run_bytes;
        if (run_bytes > pixels.size() - out || read_bytes > data.size() - in) {
            return false;
        }
        if (repeated) {
            for (std::size_t done = 0; done < run_bytes; done += pixel_bytes) {
                std::copy_n(data.begin() + in, pixel_bytes, pixels.begin() + out + done);
            }
        } else {
            std::copy_n(data.begin() + in, run_bytes, pixels.begin() + out);
        }
        in += read_bytes;
        out += run_bytes;
    }
    return true;
}

bool decode_pixels(const TgaLayout& layout, std::span<std::uint8_t> pixels) {
    if (layout.info.image_type == run_length_true_colour) {
        if (!unpack_runs(layout.data, layout.pixel_bytes, pixels)) {
            return false;
        }
    } else {
        std::copy_n(layout.data.begin(), layout.data_bytes, pixels.begin());
    }
    const std::size_t row_bytes = layout.pixel_bytes * layout.info.width;
    if ((layout.descriptor & origin_top_to_bottom) != 0) {
        flip_rows(pixels, row_bytes, layout.info.height);
    }
    if ((layout.descriptor & origin_right_to_left) != 0) {
        mirror_rows(pixels, row_bytes, layout.info.height, layout.pixel_bytes);
    }
    return true;
}

} // namespace

std::size_t build_tga(std::span<const std::uint8_t> pixels, std::uint32_t width,
                      std::uint32_t height, unsigned bits_per_pixel, std::span<std::uint8_t> file) {
    if ((bits_per_pixel != 24 && bits_per_pixel != 32) || width > max_tga_side ||
        height > max_tga_side) {
        return 0;
    }
    const std::size_t data_bytes = static_cast<std::size_t>(bits_per_pixel / 8) * width * height;
    const std::size_t size = tga_header_size + data_bytes;
    if (file.empty()) {
        return size;
    }
    if (file.size() != size || pixels.size() < data_bytes) {
        return 0;
    }
    std::fill_n(file.begin(), tga_header_size, std::uint8_t{0});
    file[2] = uncompressed_true_colour;
    write_u16(file, 12, width);
    write_u16(file, 14, height);
    file[16] = static_cast<std::uint8_t>(bits_per_pixel);
    file[17] = bits_per_pixel == 32 ? 8 : 0;
    std::copy_n(pixels.begin(), data_bytes, file.begin() + tga_header_size);
    return size;
}

std::size_t parse_tga(std::span<const std::uint8_t> file, std::span<std::uint8_t> pixels,
                      TgaInfo* info) {
    const auto layout = read_header(file);
    bool valid = layout && data_could_fit(*layout);
    if (valid && !pixels.empty()) {
        valid = pixels.size() == layout->data_bytes && decode_pixels(*layout, pixels);
    }
    if (info != nullptr) {
        *info = valid ? layout->info : TgaInfo{};
    }
    return valid ? layout->data_bytes : 0;
}

std::size_t expand_to_32(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                         std::uint8_t alpha) {
    const std::size_t pixels = std::min(input.size() / 3, output.size() / 4);
    for (std::size_t i = 0; i < pixels; ++i) {
        std::copy_n(input.begin() + 3 * i, 3, output.begin() + 4 * i);
        output[4 * i + 3] = alpha;
    }
    return pixels * 4;
}

} // namespace pictel
