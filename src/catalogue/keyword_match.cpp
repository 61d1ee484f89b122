#include "catalogue/keyword_filter.h"

namespace keldra {
namespace {

unsigned char fold_ascii_letter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool is_continuation_byte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool matches_at(std::string_view text, std::size_t pos, std::string_view keyword) {
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        if (fold_ascii_letter(text[pos + i]) != fold_ascii_letter(keyword[i]))
            return false;
    }
    return true;
}

} // namespace

int find_keyword(std::string_view text, std::string_view keyword) {
    if (keyword.empty())
        return 1;
    if (keyword.size() > text.size())
        return -1;
    const std::size_t last_start = text.size() - keyword.size();
    for (std::size_t pos = 0; pos <= last_start; ++pos) {
        if (!is_continuation_byte(text[pos]) && matches_at(text, pos, keyword))
            return static_cast<int>(pos + 1);
    }
    return -1;
}

std::string match_text(std::string_view file_name, std::string_view map_name) {
    static constexpr std::string_view separator = " 分割 ";
    std::string text;
    text.reserve(file_name.size() + separator.size() + map_name.size());
    text.append(file_name).append(separator).append(map_name);
    return text;
}

} // namespace keldra
