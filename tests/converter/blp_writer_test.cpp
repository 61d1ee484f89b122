#include "blp_reader.h"
#include "blp_writer.h"
#include "jpeg_codec.h"
#include "test_pictures.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace pictel::test {
namespace {

// Level `level` of an encoded file as the complete JPEG stream it was made from.
Bytes level_stream(const Bytes& file, std::size_t level) {
    const std::size_t offset = u32_at(file, 28 + 4 * level);
    const std::size_t size = u32_at(file, 92 + 4 * level);
    Bytes stream(10 + size);
    std::copy_n(file.begin() + 160, 10, stream.begin());
    std::copy_n(file.begin() + static_cast<long>(offset), size, stream.begin() + 10);
    return stream;
}

Bytes picture_with_channel0(std::uint32_t width, std::uint32_t height,
                            const std::vector<std::uint8_t>& values) {
    Bytes pixels(static_cast<std::size_t>(width) * height * 4, 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        pixels[4 * i] = values[i];
    }
    return pixels;
}

Bytes channel0(const Bytes& pixels) {
    Bytes values;
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
        values.push_back(pixels[i]);
    }
    return values;
}

struct HeaderCase {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t halvings;
};

class EncodeBlpHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(EncodeBlpHeader, FillsTheFieldsAndChainsTheLevels) {
    const auto [width, height, halvings] = GetParam();
    const Bytes file = jpeg_blp(gradient_picture(width, height), width, height);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "BLP1");
    EXPECT_EQ(u32_at(file, 4), 0u);
    EXPECT_EQ(u32_at(file, 8), halvings);
    EXPECT_EQ(u32_at(file, 12), width);
    EXPECT_EQ(u32_at(file, 16), height);
    EXPECT_EQ(u32_at(file, 20), 4u);
    EXPECT_EQ(u32_at(file, 24), 1u);
    EXPECT_EQ(u32_at(file, 156), 10u);
    const std::size_t levels = halvings + 3;
    std::size_t end = 170;
    for (std::size_t level = 0; level < levels; ++level) {
        EXPECT_EQ(u32_at(file, 28 + 4 * level), end) << "level " << level;
        end += u32_at(file, 92 + 4 * level);
        EXPECT_EQ(Bytes(file.begin() + end - 3, file.begin() + end), Bytes(3, 0))
            << "level " << level;
    }
    EXPECT_EQ(file.size(), end);
    for (std::size_t level = levels; level < 16; ++level) {
        EXPECT_EQ(u32_at(file, 28 + 4 * level), 0u) << "level " << level;
        EXPECT_EQ(u32_at(file, 92 + 4 * level), 0u) << "level " << level;
    }
}

// Each level joined behind the shared 10 bytes is a complete stream of the halved size.
TEST_P(EncodeBlpHeader, EveryLevelDecodesAtItsOwnSize) {
    const auto [width, height, halvings] = GetParam();
    const Bytes file = jpeg_blp(gradient_picture(width, height), width, height);
    std::uint32_t level_width = width;
    std::uint32_t level_height = height;
    for (std::size_t level = 0; level < halvings + 3; ++level) {
        Bytes pixels(static_cast<std::size_t>(level_width) * level_height * 4);
        EXPECT_TRUE(
            decompress_jpeg(level_stream(file, level), {level_width, level_height, 4}, pixels))
            << "level " << level;
        level_width = std::max(1u, level_width / 2);
        level_height = std::max(1u, level_height / 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, EncodeBlpHeader,
                         testing::Values(HeaderCase{256, 256, 8}, HeaderCase{64, 32, 5},
                                         HeaderCase{1, 1, 0}, HeaderCase{1, 16, 0},
                                         HeaderCase{128, 2, 1}));

TEST(EncodeBlp, OnePixelPictureKeepsItsPixelOnEveryLevel) {
    const Bytes pixel = {40, 120, 200, 255};
    const Bytes file = jpeg_blp(pixel, 1, 1);
    for (std::size_t level = 0; level < 3; ++level) {
        Bytes decoded(4);
        ASSERT_TRUE(decompress_jpeg(level_stream(file, level), {1, 1, 4}, decoded));
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_NEAR(decoded[i], pixel[i], 3) << "level " << level << " channel " << i;
        }
    }
}

TEST(EncodeBlp, SizeQueryWritesNothingAndMatchesTheWrittenFile) {
    const Bytes picture = gradient_picture(32, 32);
    const std::size_t size = encode_blp(picture, 32, 32, 32, {}, 90);
    Bytes file(size, 0xCD);
    EXPECT_EQ(encode_blp(picture, 32, 32, 32, file, 90), size);
    Bytes wrong(size + 1, 0);
    EXPECT_EQ(encode_blp(picture, 32, 32, 32, wrong, 90), 0u);
}

TEST(EncodeBlp, RefusesWhatItCannotEncode) {
    const Bytes picture = gradient_picture(4, 4);
    struct Case {
        const char* name;
        std::uint32_t width;
        std::uint32_t height;
        unsigned bits;
        std::size_t pixel_bytes;
    };
    const std::vector<Case> cases = {
        {"24 bits", 4, 4, 24, 64},      {"width 3", 3, 4, 32, 48},     {"height 0", 4, 0, 32, 0},
        {"pixels short", 4, 4, 32, 60}, {"pixels long", 2, 2, 32, 64},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            encode_blp(std::span(picture).first(c.pixel_bytes), c.width, c.height, c.bits, {}, 90),
            0u)
            << c.name;
    }
}

// Pure noise at the highest quality makes streams longer than the raw picture plus 10,000
// bytes; every one of them must still be stored whole.
TEST(EncodeBlp, StoresStreamsOfAnyLength) {
    std::mt19937 random(7);
    Bytes noise(std::size_t{256} * 256 * 4);
    for (auto& byte : noise) {
        byte = static_cast<std::uint8_t>(random());
    }
    Bytes file(encode_blp(noise, 256, 256, 32, {}, 100));
    ASSERT_EQ(encode_blp(noise, 256, 256, 32, file, 100), file.size());
    ASSERT_GT(u32_at(file, 92) + 7u, 256u * 256u * 4u + 10000u)
        << "the case no longer shows the fault";
    Bytes pixels(std::size_t{256} * 256 * 4);
    EXPECT_EQ(decode_blp(file, pixels, nullptr), pixels.size());
}

TEST(ScalePicture, SameSizeAveragesEachPixelWithItsLowerRightNeighbours) {
    const Bytes scaled = scale_picture(picture_with_channel0(2, 2, {0, 100, 200, 60}), 2, 2, 2, 2);
    EXPECT_EQ(channel0(scaled), (Bytes{90, 80, 130, 60}));
}

TEST(ScalePicture, FourToTwoTakesTheRightColumnFromColumnThreeAlone) {
    // Column c holds 10 * c in every row.
    const Bytes picture =
        picture_with_channel0(4, 4, {0, 10, 20, 30, 0, 10, 20, 30, 0, 10, 20, 30, 0, 10, 20, 30});
    EXPECT_EQ(channel0(scale_picture(picture, 4, 4, 2, 2)), (Bytes{5, 30, 5, 30}));
}

TEST(ScalePicture, HalvingAveragesExactPairsUpToTheLastColumn) {
    std::vector<std::uint8_t> columns(256);
    for (std::size_t i = 0; i < 256; ++i) {
        columns[i] = static_cast<std::uint8_t>(i);
    }
    const Bytes scaled = scale_picture(picture_with_channel0(256, 1, columns), 256, 1, 128, 1);
    for (std::size_t j = 0; j < 128; ++j) {
        ASSERT_EQ(scaled[4 * j], 2 * j) << "column " << j;
    }
}

TEST(ScalePicture, OnePixelLevelIsTheTopLeftBlock) {
    const Bytes picture = picture_with_channel0(
        4, 4, {10, 20, 99, 99, 30, 40, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99});
    EXPECT_EQ(channel0(scale_picture(picture, 4, 4, 1, 1)), (Bytes{25}));
    const Bytes one_row = picture_with_channel0(4, 1, {10, 21, 99, 99});
    EXPECT_EQ(channel0(scale_picture(one_row, 4, 1, 1, 1)), (Bytes{15}));
}

TEST(ScalePicture, RefusesPixelsThatDoNotHoldThePicture) {
    EXPECT_TRUE(scale_picture(Bytes(15), 2, 2, 1, 1).empty());
    EXPECT_TRUE(scale_picture(Bytes(16), 2, 2, 0, 1).empty());
}

} // namespace
} // namespace pictel::test
