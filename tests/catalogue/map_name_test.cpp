#include "catalogue/map_name.h"

#include <gtest/gtest.h>
#include <string>

namespace keldra {
namespace {

struct CleanCase {
    const char* label;
    std::string name; // GB2312 bytes
    std::string cleaned;
};

void PrintTo(const CleanCase& test_case, std::ostream* out) {
    *out << test_case.label;
}

class CleanMapName : public testing::TestWithParam<CleanCase> {};

TEST_P(CleanMapName, RemovesColourCodes) {
    EXPECT_EQ(clean_map_name(GetParam().name), GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(DesignExamples, CleanMapName,
                         testing::Values(CleanCase{"red_map", "|cffff0000Red|r Map", "Red Map"},
                                         CleanCase{"hello_world", "Hello |cffffcc00World|r",
                                                   "Hello World"},
                                         CleanCase{"capital_markers", "|CFF00FF00Green|R", "Green"},
                                         CleanCase{"identical_codes_in_one_removal",
                                                   "|cff00ff00A|r and |cff00ff00B|r", "A and B"},
                                         CleanCase{"short_code_at_end", "Name|cff12", "Name"}),
                         [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Rules, CleanMapName,
    testing::Values(
        CleanCase{"empty", "", ""}, CleanCase{"plain", "Plain", "Plain"},
        CleanCase{"bare_marker", "|c", ""}, CleanCase{"lone_bar", "a|b|", "a|b|"},
        // The piece is removed only where it occurs with exactly the same letter case.
        CleanCase{"piece_compared_with_case", "|cFF00ff00A|cff00ff00B", "AB"},
        CleanCase{"different_codes", "|cff000000X|cffffffffY", "XY"},
        // Removing the first code can join bytes into a new marker, which the loop then takes.
        CleanCase{"marker_formed_by_removal", "||cff00ff00cAB12345678Z", "78Z"},
        CleanCase{"end_markers_only", "a|rb|Rc", "abc"},
        CleanCase{"chinese_around_code", "\xD6\xD0|cffff0000\xCE\xC4|r", "\xD6\xD0\xCE\xC4"},
        // "|" as the second byte of a double-byte character is not a marker.
        CleanCase{"bar_inside_double_byte", "\xB0|cff00ff00X", "\xB0|cff00ff00X"},
        CleanCase{"end_marker_inside_double_byte", "\xB0|rX|r", "\xB0|rX"},
        // A piece that ends in a double-byte character's first byte leaves its second byte,
        // which then swallows the "|" after it.
        CleanCase{"piece_splits_double_byte", "|c1234567\xD6\xD0|cXYZ", "\xD0|cXYZ"},
        CleanCase{"lead_byte_at_end", "|cff00ff00A\xB0", "A\xB0"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace keldra
