#include "platform/text_encoding.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace keldra {
namespace {

struct ToGb2312Case {
    const char* label;
    std::string utf8;
    std::optional<std::string> gb2312;
};

void PrintTo(const ToGb2312Case& test_case, std::ostream* out) {
    *out << test_case.label;
}

class Utf8ToGb2312 : public testing::TestWithParam<ToGb2312Case> {};

TEST_P(Utf8ToGb2312, ConvertsWholeTextOrNothing) {
    EXPECT_EQ(utf8_to_gb2312(GetParam().utf8), GetParam().gb2312);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ToGb2312,
    testing::Values(ToGb2312Case{"empty", "", std::string()},
                    ToGb2312Case{"ascii", "Red Map |cff", "Red Map |cff"},
                    ToGb2312Case{"chinese", "中文", "\xD6\xD0\xCE\xC4"},
                    ToGb2312Case{"embedded_zero", std::string("a\0b", 3), std::string("a\0b", 3)},
                    ToGb2312Case{"hangul", "\xED\x95\x9C", std::nullopt},
                    ToGb2312Case{"chinese_then_hangul_gives_nothing", "中\xED\x95\x9C",
                                 std::nullopt},
                    // U+4E02 exists in GBK (0x8140) but not in GB2312.
                    ToGb2312Case{"gbk_only_character", "\xE4\xB8\x82", std::nullopt},
                    ToGb2312Case{"invalid_byte", "ab\xFF", std::nullopt},
                    ToGb2312Case{"incomplete_at_end", "ab\xE4\xB8", std::nullopt},
                    ToGb2312Case{"overlong_slash", "\xC0\xAF", std::nullopt},
                    ToGb2312Case{"encoded_surrogate", "\xED\xA0\x80", std::nullopt},
                    ToGb2312Case{"lone_continuation", "a\x80", std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Utf8ToGb2312Long, ConvertsTextLongerThanOneConversionBuffer) {
    std::string utf8;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        utf8 += "中a";
        expected += "\xD6\xD0"
                    "a";
    }
    EXPECT_EQ(utf8_to_gb2312(utf8), expected);
    EXPECT_EQ(utf8_to_gb2312(utf8 + "\xED\x95\x9C"), std::nullopt);
}

struct ToUtf8Case {
    const char* label;
    std::string gb2312;
    std::string utf8;
};

void PrintTo(const ToUtf8Case& test_case, std::ostream* out) {
    *out << test_case.label;
}

class Gb2312ToUtf8 : public testing::TestWithParam<ToUtf8Case> {};

TEST_P(Gb2312ToUtf8, ReplacesOnlyTheBrokenBytes) {
    EXPECT_EQ(gb2312_to_utf8(GetParam().gb2312), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Gb2312ToUtf8,
    testing::Values(ToUtf8Case{"empty", "", ""}, ToUtf8Case{"ascii", "Map 1", "Map 1"},
                    ToUtf8Case{"chinese", "\xD6\xD0\xCE\xC4", "中文"},
                    ToUtf8Case{"lone_lead_at_end", "ab\xD6", "ab\xEF\xBF\xBD"},
                    ToUtf8Case{"lead_before_ascii", "\xD0|c", "\xEF\xBF\xBD|c"},
                    ToUtf8Case{"invalid_byte_between", "\xD6\xD0\x80\xCE\xC4", "中\xEF\xBF\xBD文"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Gb2312ToUtf8Long, RoundTripsTextLongerThanOneConversionBuffer) {
    std::string utf8;
    for (int i = 0; i < 3000; ++i)
        utf8 += "地图x";
    const std::optional<std::string> gb2312 = utf8_to_gb2312(utf8);
    ASSERT_TRUE(gb2312.has_value());
    EXPECT_EQ(gb2312_to_utf8(*gb2312), utf8);
}

// One codec serves a whole scan: a failed or cut-off conversion must not leak into the next.
TEST(Gb2312CodecReuse, EachConversionStartsAfresh) {
    Gb2312Codec codec;
    for (const ToGb2312Case& test_case : {ToGb2312Case{"incomplete", "ab\xE4\xB8", std::nullopt},
                                          ToGb2312Case{"after_incomplete", "\xAD", std::nullopt},
                                          ToGb2312Case{"chinese", "中", "\xD6\xD0"},
                                          ToGb2312Case{"hangul", "\xED\x95\x9C", std::nullopt},
                                          ToGb2312Case{"ascii", "ok", "ok"}}) {
        EXPECT_EQ(codec.utf8_to_gb2312(test_case.utf8), test_case.gb2312) << test_case.label;
    }
    for (const ToUtf8Case& test_case : {ToUtf8Case{"lone_lead", "\xD6", "\xEF\xBF\xBD"},
                                        ToUtf8Case{"lone_trail", "\xD0", "\xEF\xBF\xBD"},
                                        ToUtf8Case{"whole", "\xD6\xD0", "中"}}) {
        EXPECT_EQ(codec.gb2312_to_utf8(test_case.gb2312), test_case.utf8) << test_case.label;
    }
}

} // namespace
} // namespace keldra
