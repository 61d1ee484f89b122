#include "pixel_image.h"
#include "test_pictures.h"
#include "tga.h"

#include <gtest/gtest.h>

namespace pictel::test {
namespace {

Bytes built_tga(const Bytes& pixels, std::uint32_t width, std::uint32_t height, unsigned bits) {
    Bytes file(build_tga(pixels, width, height, bits, {}));
    EXPECT_EQ(build_tga(pixels, width, height, bits, file), file.size());
    return file;
}

Bytes parsed(const Bytes& file, TgaInfo* info = nullptr) {
    Bytes pixels(parse_tga(file, {}, info));
    if (pixels.empty() || parse_tga(file, pixels, info) != pixels.size()) {
        return {};
    }
    return pixels;
}

Bytes with_pixels(Bytes file, const Bytes& pixels) {
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

TEST(BuildTga, FillsTheHeaderAs32BitBottomLeftOrigin) {
    const Bytes pixels = gradient_picture(64, 32);
    const Bytes file = built_tga(pixels, 64, 32, 32);
    ASSERT_EQ(file.size(), 18u + 8192u);
    const Bytes expected_header = {0, 0, 2, 0,    0, 0,    0, 0,    0,
                                   0, 0, 0, 0x40, 0, 0x20, 0, 0x20, 0x08};
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 18), expected_header);
    EXPECT_EQ(Bytes(file.begin() + 18, file.end()), pixels);
}

TEST(BuildTga, Writes24BitFilesWithDescriptorZero) {
    const Bytes pixels(std::size_t{3} * 4 * 2, 7);
    const Bytes file = built_tga(pixels, 4, 2, 24);
    ASSERT_EQ(file.size(), 18u + 24u);
    EXPECT_EQ(file[16], 24);
    EXPECT_EQ(file[17], 0);
}

TEST(BuildTga, RefusesWhatTheHeaderCannotHold) {
    const Bytes pixels(64, 0);
    EXPECT_EQ(build_tga(pixels, 4, 4, 16, {}), 0u);
    EXPECT_EQ(build_tga(pixels, 65536, 1, 32, {}), 0u);
    EXPECT_EQ(build_tga(pixels, 1, 65536, 32, {}), 0u);
    Bytes too_small(18 + 63);
    EXPECT_EQ(build_tga(pixels, 4, 4, 32, too_small), 0u);
    Bytes right_size(18 + 64);
    EXPECT_EQ(build_tga(Bytes(63), 4, 4, 32, right_size), 0u) << "pixels shorter than the picture";
}

TEST(ParseTga, GivesBackWhatBuildTgaWroteByteForByte) {
    const Bytes pixels = gradient_picture(16, 8);
    TgaInfo info;
    EXPECT_EQ(parsed(built_tga(pixels, 16, 8, 32), &info), pixels);
    EXPECT_EQ(info.width, 16u);
    EXPECT_EQ(info.height, 8u);
    EXPECT_EQ(info.bits_per_pixel, 32u);
    EXPECT_EQ(info.image_type, 2u);
    EXPECT_EQ(info.alpha_bits, 8u);
}

TEST(ParseTga, DecodesRunLengthPackets) {
    struct Case {
        const char* name;
        Bytes data;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"repeat 0x83", {0x83, 1, 2, 3}, {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3}},
        {"raw 0x02 then repeat",
         {0x02, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x80, 10, 11, 12},
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"packets across row ends",
         {0x81, 9, 9, 9, 0x01, 1, 1, 1, 2, 2, 2},
         {9, 9, 9, 9, 9, 9, 1, 1, 1, 2, 2, 2}},
    };
    for (const Case& c : cases) {
        const Bytes file = with_pixels(tga_header(2, 2, 24, 10, 0), c.data);
        EXPECT_EQ(parsed(file), c.expected) << c.name;
    }
}

TEST(ParseTga, RefusesFilesOutsideTrueColour24And32) {
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint8_t value;
    };
    const std::vector<Case> cases = {
        {"colour-map type 1", 1, 1}, {"colour-mapped image type 1", 2, 1},
        {"grey image type 3", 2, 3}, {"run-length grey type 11", 2, 11},
        {"16 bits", 16, 16},         {"8 bits", 16, 8},
        {"width 0", 12, 0},          {"height 0", 14, 0},
    };
    for (const Case& c : cases) {
        Bytes file = with_pixels(tga_header(1, 1, 32), {1, 2, 3, 4});
        file[c.offset] = c.value;
        TgaInfo info{1, 1, 1, 1, 1};
        EXPECT_EQ(parse_tga(file, {}, &info), 0u) << c.name;
        EXPECT_EQ(info.width + info.height + info.bits_per_pixel + info.image_type, 0u) << c.name;
    }
}

TEST(ParseTga, SkipsTheIdField) {
    Bytes file = tga_header(1, 1, 32, 2, 8, 20);
    file.resize(38, 0xEE);
    file.insert(file.end(), {1, 2, 3, 4});
    EXPECT_EQ(parsed(file), (Bytes{1, 2, 3, 4}));
}

// A 3x2 picture stored in each of the four origins must come back in the same orientation:
// bottom row first, left to right.
TEST(ParseTga, HonoursTheOriginBits) {
    const Bytes bottom_up_left_to_right = {1, 2, 3, 4, 5, 6};
    struct Case {
        std::uint8_t descriptor;
        Bytes stored;
    };
    const std::vector<Case> cases = {
        {0x00, {1, 2, 3, 4, 5, 6}},
        {0x20, {4, 5, 6, 1, 2, 3}},
        {0x10, {3, 2, 1, 6, 5, 4}},
        {0x30, {6, 5, 4, 3, 2, 1}},
    };
    for (const Case& c : cases) {
        Bytes pixels;
        for (std::uint8_t value : c.stored) {
            pixels.insert(pixels.end(), {value, value, value});
        }
        Bytes expected;
        for (std::uint8_t value : bottom_up_left_to_right) {
            expected.insert(expected.end(), {value, value, value});
        }
        EXPECT_EQ(parsed(with_pixels(tga_header(3, 2, 24, 2, c.descriptor), pixels)), expected)
            << "descriptor " << int(c.descriptor);
    }
}

TEST(ParseTga, RefusesFilesThatDoNotHoldTheirPixels) {
    struct Case {
        const char* name;
        Bytes file;
    };
    const std::vector<Case> cases = {
        {"pixel data one byte short", with_pixels(tga_header(2, 2, 32), Bytes(15, 1))},
        {"ID field past the end", with_pixels(tga_header(1, 1, 24, 2, 0, 200), Bytes(3, 1))},
        {"run overflows the picture", with_pixels(tga_header(2, 2, 24, 10, 0), {0x84, 1, 2, 3})},
        {"raw packet overflows the picture",
         with_pixels(tga_header(1, 1, 24, 10, 0), {0x01, 1, 2, 3, 4, 5, 6})},
        {"raw packet reads past the file",
         with_pixels(tga_header(2, 2, 24, 10, 0), {0x03, 1, 2, 3})},
        {"packets end before the picture",
         with_pixels(tga_header(2, 2, 24, 10, 0), {0x80, 1, 2, 3})},
        {"repeated pixel cut short", with_pixels(tga_header(1, 1, 32, 10, 0), {0x80, 1, 2})},
    };
    for (const Case& c : cases) {
        TgaInfo info;
        const std::size_t size = parse_tga(c.file, {}, &info);
        if (size != 0) {
            Bytes pixels(size);
            EXPECT_EQ(parse_tga(c.file, pixels, &info), 0u) << c.name;
            EXPECT_EQ(info.width, 0u) << c.name;
        }
    }
}

TEST(ParseTga, SizeQueryRefusesPicturesTheFileCannotHold) {
    const std::vector<Bytes> files = {
        with_pixels(tga_header(65535, 65535, 32, 2), Bytes(300, 0)),
        with_pixels(tga_header(65535, 65535, 32, 10), Bytes(300, 0xFF)),
        with_pixels(tga_header(129, 1, 24, 10), {0xFF, 1, 2, 3}),
    };
    for (const Bytes& file : files) {
        EXPECT_EQ(parse_tga(file, {}, nullptr), 0u);
    }
    // One packet of 4 bytes can hold 128 pixels, so exactly that is still plausible.
    EXPECT_EQ(parse_tga(with_pixels(tga_header(128, 1, 24, 10), {0xFF, 1, 2, 3}), {}, nullptr),
              384u);
}

TEST(ParseTga, RefusesABufferOfTheWrongSize) {
    const Bytes file = with_pixels(tga_header(1, 1, 32), {1, 2, 3, 4});
    Bytes small(3);
    Bytes large(5);
    EXPECT_EQ(parse_tga(file, small, nullptr), 0u);
    EXPECT_EQ(parse_tga(file, large, nullptr), 0u);
}

TEST(ExpandTo32, AddsTheAlphaByteBehindEachWholePixel) {
    const Bytes input = {1, 2, 3, 4, 5, 6, 7}; // a trailing partial pixel is ignored
    Bytes output(12, 0xAA);
    EXPECT_EQ(expand_to_32(input, output, 255), 8u);
    EXPECT_EQ(output, (Bytes{1, 2, 3, 255, 4, 5, 6, 255, 0xAA, 0xAA, 0xAA, 0xAA}));
    Bytes short_output(5, 0);
    EXPECT_EQ(expand_to_32(input, short_output, 9), 4u);
    EXPECT_EQ(short_output, (Bytes{1, 2, 3, 9, 0}));
}

TEST(FlipRows, ReversesRowsAndKeepsPixelOrder) {
    struct Case {
        Bytes image;
        std::size_t row_bytes;
        std::size_t rows;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {{1, 2, 3, 4, 5, 6}, 2, 3, {5, 6, 3, 4, 1, 2}},
        {{1, 2, 3, 4, 5, 6, 7, 8}, 2, 4, {7, 8, 5, 6, 3, 4, 1, 2}},
        {{1, 2, 3, 4}, 4, 1, {1, 2, 3, 4}},
        {{1, 2, 3, 4, 9}, 2, 2, {3, 4, 1, 2, 9}},
        {{1, 2, 3, 4}, 2, 3, {1, 2, 3, 4}}, // rows past the buffer: left alone
    };
    for (Case c : cases) {
        flip_rows(c.image, c.row_bytes, c.rows);
        EXPECT_EQ(c.image, c.expected);
    }
}

} // namespace
} // namespace pictel::test
