#include "catalogue/keyword_filter.h"

#include <gtest/gtest.h>
#include <string>

namespace keldra {
namespace {

struct FindCase {
    const char* label;
    std::string text;
    std::string keyword;
    int position;
};

void PrintTo(const FindCase& test_case, std::ostream* out) {
    *out << test_case.label;
}

class FindKeyword : public testing::TestWithParam<FindCase> {};

TEST_P(FindKeyword, GivesTheFirstBytePositionOrMinusOne) {
    EXPECT_EQ(find_keyword(GetParam().text, GetParam().keyword), GetParam().position);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindKeyword,
    testing::Values(FindCase{"extension_any_case", "Map.w3x 分割 Name", "W3X", 5},
                    FindCase{"text_upper_keyword_lower", "MAP.W3X", "w3x", 5},
                    FindCase{"first_of_several", "abab", "b", 2},
                    FindCase{"absent", "Map.w3m 分割 Name", "w3x", -1},
                    FindCase{"keyword_longer_than_text", "ab", "abc", -1},
                    FindCase{"empty_keyword", "abc", "", 1},
                    FindCase{"positions_count_bytes", "中a", "A", 4},
                    FindCase{"separator", "a.w3m 分割 b", "分割", 7},
                    FindCase{"across_the_boundary", "Map.w3m 分割 Name", "3m 分", 6},
                    FindCase{"chinese_exact", "地图 分割 澄海", "澄海", 15},
                    FindCase{"full_width_letters_exact", "\xEF\xBC\xA1", "\xEF\xBC\xA1", 1},
                    FindCase{"full_width_letters_no_case", "\xEF\xBC\xA1", "\xEF\xBD\x81", -1},
                    FindCase{"accented_letters_no_case", "\xC3\x89", "\xC3\xA9", -1},
                    // A match never starts on a continuation byte of a multi-byte character.
                    FindCase{"keyword_of_continuation_bytes", "中", "\xB8\xAD", -1},
                    FindCase{"single_continuation_byte", "é", "\xA9", -1},
                    FindCase{"stray_continuation_bytes", "中\xB8\xAD", "\xB8\xAD", -1},
                    FindCase{"ascii_after_multibyte", "é1", "1", 3}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(MatchText, JoinsFileNameSeparatorAndMapName) {
    EXPECT_EQ(match_text("a.w3m", "Name"), "a.w3m 分割 Name");
    EXPECT_EQ(match_text("", ""), " 分割 ");
}

} // namespace
} // namespace keldra
