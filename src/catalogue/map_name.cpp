#include "catalogue/map_name.h"

#include <string_view>

namespace keldra {
namespace {

constexpr std::size_t colour_code_length = 10;

// Bytes taken by the GB2312 character starting at `pos`: a lead byte of 0x80 or above takes the
// byte after it too (if there is one).
std::size_t character_length(std::string_view text, std::size_t pos) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    return byte >= 0x80 && pos + 1 < text.size() ? 2 : 1;
}

bool is_marker_at(std::string_view text, std::size_t pos, char lower, char upper) {
    return pos + 1 < text.size() && text[pos] == '|' &&
           (text[pos + 1] == lower || text[pos + 1] == upper);
}

// Position of the first "|c" or "|C" that starts on a character boundary, or npos.
std::size_t find_colour_marker(std::string_view name) {
    for (std::size_t pos = 0; pos < name.size(); pos += character_length(name, pos)) {
        if (is_marker_at(name, pos, 'c', 'C'))
            return pos;
    }
    return std::string_view::npos;
}

// Removes every occurrence that `occurs_at` reports, scanning from the start over whole
// characters; `occurs_at` returns the length of the occurrence at a position, or 0.
template <typename OccursAt>
std::string remove_occurrences(std::string_view text, OccursAt occurs_at) {
    std::string kept;
    kept.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (const std::size_t length = occurs_at(text, pos); length > 0) {
            pos += length;
            continue;
        }
        const std::size_t length = character_length(text, pos);
        kept.append(text.substr(pos, length));
        pos += length;
    }
    return kept;
}

} // namespace

std::string clean_map_name(std::string name) {
    for (std::size_t marker = find_colour_marker(name); marker != std::string_view::npos;
         marker = find_colour_marker(name)) {
        const std::string piece = name.substr(marker, colour_code_length);
        name = remove_occurrences(name, [&piece](std::string_view text, std::size_t pos) {
            return text.substr(pos, piece.size()) == piece ? piece.size() : 0;
        });
    }
    return remove_occurrences(name, [](std::string_view text, std::size_t pos) {
        return is_marker_at(text, pos, 'r', 'R') ? std::size_t{2} : std::size_t{0};
    });
}

} // namespace keldra
