#include "blp_reader.h"

#include "blp_layout.h"
#include "byte_order.h"
#include "jpeg_codec.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace pictel {

namespace {

namespace layout = blp_layout;

struct BlpHeader {
    std::uint32_t content = 0;
    BlpInfo info;
    std::size_t pixel_count = 0;
};

std::optional<BlpHeader> read_header(std::span<const std::uint8_t> file) {
    if (file.size() < layout::header_size || std::memcmp(file.data(), "BLP1", 4) != 0) {
        return std::nullopt;
    }
    BlpHeader header;
    header.content = read_u32(file, layout::content);
    header.info = {read_u32(file, layout::width), read_u32(file, layout::height),
                   read_u32(file, layout::picture_type), read_u32(file, layout::picture_subtype)};
    const bool known_content =
        header.content == layout::jpeg_content || header.content == layout::paletted_content;
    const bool sides_fit = header.info.width != 0 && header.info.height != 0 &&
                           header.info.width <= max_blp_side && header.info.height <= max_blp_side;
    if (!known_content || !sides_fit) {
        return std::nullopt;
    }
    header.pixel_count = static_cast<std::size_t>(header.info.width) * header.info.height;
    return header;
}

bool has_alpha_plane(std::uint32_t picture_type) {
    return picture_type == 3 || picture_type == 4;
}

// The planes must lie inside the file, which also bounds the picture by the file's size.
bool planes_fit(std::span<const std::uint8_t> file, const BlpHeader& header) {
    const std::size_t planes = has_alpha_plane(header.info.picture_type) ? 2 : 1;
    return file.size() >= layout::index_plane &&
           (file.size() - layout::index_plane) / planes >= header.pixel_count;
}

bool decode_paletted(std::span<const std::uint8_t> file, const BlpHeader& header,
                     std::span<std::uint8_t> pixels) {
    const std::uint32_t type = header.info.picture_type;
    if (!has_alpha_plane(type) && type != 5) {
        return false;
    }
    const std::uint8_t* palette = file.data() + layout::palette;
    const std::uint8_t* index = file.data() + layout::index_plane;
    const std::uint8_t* alpha = index + header.pixel_count;
    for (std::size_t i = 0; i < header.pixel_count; ++i) {
        const std::uint8_t* entry = palette + 4 * static_cast<std::size_t>(index[i]);
        std::uint8_t* pixel = pixels.data() + 4 * i;
        pixel[0] = entry[0];
        pixel[1] = entry[1];
        pixel[2] = entry[2];
        pixel[3] = type == 5 ? static_cast<std::uint8_t>(255 - entry[3]) : alpha[i];
    }
    return true;
}

// The shared JPEG header joined with level 0: one complete stream, or nothing when the file does
// not hold the bytes its fields name.
std::optional<std::vector<std::uint8_t>> join_level0_stream(std::span<const std::uint8_t> file) {
    if (file.size() < layout::jpeg_header) {
        return std::nullopt;
    }
    const std::size_t shared_size = read_u32(file, layout::jpeg_header_size);
    const std::size_t level_offset = read_u32(file, layout::level_offsets);
    const std::size_t level_size = read_u32(file, layout::level_sizes);
    const bool shared_fits = shared_size <= file.size() - layout::jpeg_header;
    const bool level_fits = level_offset <= file.size() && level_size <= file.size() - level_offset;
    if (!shared_fits || !level_fits || shared_size + level_size == 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> stream(shared_size + level_size);
    const auto shared = file.subspan(layout::jpeg_header, shared_size);
    const auto level = file.subspan(level_offset, level_size);
    std::copy(level.begin(), level.end(), std::copy(shared.begin(), shared.end(), stream.begin()));
    return stream;
}

JpegFrame expected_frame(const BlpHeader& header) {
    return {header.info.width, header.info.height, 4};
}

bool plausible_for_stream(const BlpHeader& header, std::span<const std::uint8_t> stream) {
    return header.pixel_count * 4 / max_jpeg_expansion <= stream.size();
}

bool jpeg_level_matches(const BlpHeader& header, std::span<const std::uint8_t> stream) {
    JpegFrame frame;
    if (!plausible_for_stream(header, stream) || !read_jpeg_frame(stream, &frame)) {
        return false;
    }
    const JpegFrame expected = expected_frame(header);
    return frame.width == expected.width && frame.height == expected.height &&
           frame.components == expected.components;
}

bool check_content(std::span<const std::uint8_t> file, const BlpHeader& header) {
    if (header.content == layout::paletted_content) {
        return planes_fit(file, header);
    }
    const auto stream = join_level0_stream(file);
    return stream && jpeg_level_matches(header, *stream);
}

bool decode_content(std::span<const std::uint8_t> file, const BlpHeader& header,
                    std::span<std::uint8_t> pixels) {
    if (header.content == layout::paletted_content) {
        return planes_fit(file, header) && decode_paletted(file, header, pixels);
    }
    const auto stream = join_level0_stream(file);
    return stream && plausible_for_stream(header, *stream) &&
           decompress_jpeg(*stream, expected_frame(header), pixels);
}

} // namespace

std::size_t decode_blp(std::span<const std::uint8_t> file, std::span<std::uint8_t> pixels,
                       BlpInfo* info) {
    const auto header = read_header(file);
    const std::size_t size = header ? header->pixel_count * 4 : 0;
    bool valid = header.has_value();
    if (valid && pixels.empty()) {
        valid = check_content(file, *header);
    } else if (valid) {
        valid = pixels.size() == size && decode_content(file, *header, pixels);
    }
    if (info != nullptr) {
        *info = valid ? header->info : BlpInfo{};
    }
    return valid ? size : 0;
}

} // namespace pictel
