// Where the fields of a BLP1 file lie. Numbers are 32-bit little-endian.
#pragma once

#include <cstddef>

namespace pictel::blp_layout {

inline constexpr std::size_t magic = 0;
inline constexpr std::size_t content = 4;
inline constexpr std::size_t halvings = 8;
inline constexpr std::size_t width = 12;
inline constexpr std::size_t height = 16;
inline constexpr std::size_t picture_type = 20;
inline constexpr std::size_t picture_subtype = 24;
inline constexpr std::size_t level_offsets = 28;
inline constexpr std::size_t level_sizes = 92;
inline constexpr std::size_t level_count = 16;
inline constexpr std::size_t header_size = 156;

inline constexpr std::size_t jpeg_header_size = 156;
inline constexpr std::size_t jpeg_header = 160;

inline constexpr std::size_t palette = 156;
inline constexpr std::size_t palette_size = 1024;
inline constexpr std::size_t index_plane = 1180;

inline constexpr unsigned jpeg_content = 0;
inline constexpr unsigned paletted_content = 1;

} // namespace pictel::blp_layout
