#include "blp_reader.h"
#include "blp_writer.h"
#include "test_pictures.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace pictel::test {
namespace {

// Both calls of the size-query convention; empty when either fails.
Bytes decoded(const Bytes& file, BlpInfo* info = nullptr) {
    Bytes pixels(decode_blp(file, {}, info));
    if (pixels.empty() || decode_blp(file, pixels, info) != pixels.size()) {
        return {};
    }
    return pixels;
}

int largest_difference(const Bytes& a, const Bytes& b) {
    int largest = a.size() == b.size() ? 0 : 256;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    }
    return largest;
}

TEST(DecodeBlpPaletted, TakesColourFromThePaletteAndAlphaFromThePlane) {
    for (std::uint32_t type : {3u, 4u}) {
        const Bytes file = paletted_blp(1, 1, type, test_palette(0x55), {10}, {77});
        BlpInfo info;
        EXPECT_EQ(decoded(file, &info), (Bytes{10, 245, 70, 77})) << "type " << type;
        EXPECT_EQ(info.width, 1u);
        EXPECT_EQ(info.picture_type, type);
        EXPECT_EQ(info.picture_subtype, 1u);
    }
}

TEST(DecodeBlpPaletted, Type5TakesAlphaFromThePaletteInverted) {
    struct Case {
        std::uint8_t fourth;
        std::uint8_t alpha;
    };
    for (const Case c : {Case{0, 255}, Case{255, 0}, Case{5, 250}}) {
        const Bytes file = paletted_blp(2, 1, 5, test_palette(c.fourth), {1, 2}, {});
        EXPECT_EQ(decoded(file), (Bytes{1, 254, 7, c.alpha, 2, 253, 14, c.alpha}));
    }
}

TEST(DecodeBlpPaletted, KeepsRowsTopRowFirst) {
    const Bytes file = paletted_blp(2, 2, 5, test_palette(), {1, 2, 3, 4}, {});
    const Bytes pixels = decoded(file);
    ASSERT_EQ(pixels.size(), 16u);
    EXPECT_EQ(pixels[0], 1);
    EXPECT_EQ(pixels[12], 4);
}

TEST(DecodeBlpPaletted, UnknownPictureTypePassesTheSizeQueryButFailsDecoding) {
    const Bytes file = paletted_blp(1, 1, 2, test_palette(), {1}, {});
    BlpInfo info;
    ASSERT_EQ(decode_blp(file, {}, &info), 4u);
    Bytes pixels(4);
    EXPECT_EQ(decode_blp(file, pixels, &info), 0u);
    EXPECT_EQ(info.width, 0u);
    EXPECT_EQ(info.picture_type, 0u);
}

TEST(DecodeBlpPaletted, IgnoresTheLevelTable) {
    Bytes file = paletted_blp(1, 1, 4, test_palette(), {3}, {9});
    set_u32(file, 28, 0);
    set_u32(file, 92, 0);
    EXPECT_EQ(decoded(file), (Bytes{3, 252, 21, 9}));
}

TEST(DecodeBlp, RefusesWrongMagicContentAndSides) {
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
    };
    const std::vector<Case> cases = {
        {"BLP2", 0, 0x32504C42},    {"blp1", 0, 0x31706C62},
        {"BLP0", 0, 0x30504C42},    {"content 2", 4, 2},
        {"width 0", 12, 0},         {"height 0", 16, 0},
        {"width 65536", 12, 65536}, {"height 2^31", 16, 0x80000000u},
    };
    for (const Case& c : cases) {
        Bytes file = paletted_blp(1, 1, 4, test_palette(), {3}, {9});
        set_u32(file, c.offset, c.value);
        BlpInfo info{1, 1, 1, 1};
        EXPECT_EQ(decode_blp(file, {}, &info), 0u) << c.name;
        EXPECT_EQ(info.width + info.height + info.picture_type + info.picture_subtype, 0u)
            << c.name;
    }
}

TEST(DecodeBlpJpeg, DecodesLevelZeroOfTheEncodedPicture) {
    const Bytes picture = gradient_picture(32, 16);
    BlpInfo info;
    const Bytes pixels = decoded(jpeg_blp(picture, 32, 16), &info);
    EXPECT_EQ(info.width, 32u);
    EXPECT_EQ(info.height, 16u);
    EXPECT_EQ(info.picture_type, 4u);
    EXPECT_LE(largest_difference(pixels, scale_picture(picture, 32, 16, 32, 16)), 12);
}

TEST(DecodeBlpJpeg, IgnoresThePictureType) {
    const Bytes picture = gradient_picture(8, 8);
    const Bytes reference = decoded(jpeg_blp(picture, 8, 8));
    ASSERT_FALSE(reference.empty());
    for (std::uint32_t type : {0u, 2u, 77u}) {
        Bytes file = jpeg_blp(picture, 8, 8);
        set_u32(file, 20, type);
        EXPECT_EQ(decoded(file), reference) << "type " << type;
    }
}

TEST(DecodeBlpJpeg, ReadsOnlyLevelZero) {
    const Bytes picture = gradient_picture(16, 16);
    const Bytes original = jpeg_blp(picture, 16, 16);
    const Bytes reference = decoded(original);
    Bytes changed = original;
    const std::size_t level1 = u32_at(changed, 28 + 4);
    for (std::size_t i = level1; i < changed.size(); ++i) {
        changed[i] ^= 0x5A;
    }
    set_u32(changed, 92 + 4 * 15, 12345);
    EXPECT_EQ(decoded(changed), reference);
}

// Every way the header can disagree with the JPEG stream or point outside the file.
TEST(DecodeBlpJpeg, RefusesLevelsTheFileDoesNotHoldOrThatDisagreeWithTheHeader) {
    const Bytes original = jpeg_blp(gradient_picture(16, 8), 16, 8);
    const std::uint32_t size = static_cast<std::uint32_t>(original.size());
    const std::uint32_t level0_size = u32_at(original, 92);
    struct Case {
        const char* name;
        std::size_t offset;
        std::uint32_t value;
    };
    const std::vector<Case> cases = {
        {"shared header past the end", 156, size},
        {"shared header size 2^32-1", 156, 0xFFFFFFFFu},
        {"level offset past the end", 28, size + 1},
        {"level offset 2^32-1", 28, 0xFFFFFFFFu},
        {"level reaches past the end", 92, size},
        {"level size 2^32-1", 92, 0xFFFFFFFFu},
        {"level cut short", 92, level0_size / 2},
        {"level of nothing", 92, 0},
        {"header wider than the stream", 12, 32},
        {"header lower than the stream", 16, 4},
    };
    for (const Case& c : cases) {
        Bytes file = original;
        set_u32(file, c.offset, c.value);
        EXPECT_TRUE(decoded(file).empty()) << c.name;
    }
}

TEST(DecodeBlpJpeg, RefusesStreamsWithOtherThanFourComponents) {
    for (int components : {1, 3}) {
        const Bytes stream = plain_jpeg(8, 8, components);
        Bytes file = jpeg_blp(gradient_picture(8, 8), 8, 8);
        file.resize(160);
        set_u32(file, 156, 0);
        set_u32(file, 28, 160);
        set_u32(file, 92, static_cast<std::uint32_t>(stream.size()));
        file.insert(file.end(), stream.begin(), stream.end());
        EXPECT_EQ(decode_blp(file, {}, nullptr), 0u) << components << " components";
        Bytes pixels(std::size_t{8} * 8 * 4);
        EXPECT_EQ(decode_blp(file, pixels, nullptr), 0u) << components << " components";
    }
}

// Every scan walks the whole picture again, so a stream of very many scans is refused.
TEST(DecodeBlpJpeg, DecodesProgressiveStreamsButNotEndlessScans) {
    const Bytes picture = gradient_picture(16, 16);
    const Bytes simple = blp_around_stream(progressive_jpeg(picture, 16, 16, false), 16, 16);
    EXPECT_LE(largest_difference(decoded(simple), picture), 12);
    const Bytes many = blp_around_stream(progressive_jpeg(picture, 16, 16, true), 16, 16);
    ASSERT_EQ(decode_blp(many, {}, nullptr), 16u * 16u * 4u);
    Bytes pixels(16 * 16 * 4);
    EXPECT_EQ(decode_blp(many, pixels, nullptr), 0u);
}

// A tiny file whose header and JPEG frame agree on 65535 x 65535 must be refused by the size
// query, before anyone allocates 16 GiB for it.
TEST(DecodeBlpJpeg, SizeQueryRefusesAHugePictureInATinyFile) {
    Bytes file = jpeg_blp(gradient_picture(8, 8), 8, 8);
    file.resize(u32_at(file, 28) + u32_at(file, 92));
    set_u32(file, 12, 65535);
    set_u32(file, 16, 65535);
    // The frame header (SOF0) lies in the level data: find it and patch its height and width.
    bool patched = false;
    for (std::size_t i = 160; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            for (std::size_t k : {i + 5, i + 6, i + 7, i + 8}) {
                file[k] = 0xFF;
            }
            patched = true;
            break;
        }
    }
    ASSERT_TRUE(patched);
    EXPECT_EQ(decode_blp(file, {}, nullptr), 0u);
}

TEST(DecodeBlpPaletted, SizeQueryRefusesPlanesTheFileDoesNotHold) {
    Bytes huge = paletted_blp(1, 1, 5, test_palette(), {1}, {});
    huge.resize(300);
    set_u32(huge, 12, 65535);
    set_u32(huge, 16, 65535);
    EXPECT_EQ(decode_blp(huge, {}, nullptr), 0u);

    const Bytes missing_alpha = paletted_blp(2, 2, 4, test_palette(), {1, 2, 3, 4}, {9, 9, 9});
    EXPECT_EQ(decode_blp(missing_alpha, {}, nullptr), 0u);
    const Bytes no_alpha_needed = paletted_blp(2, 2, 5, test_palette(), {1, 2, 3, 4}, {});
    EXPECT_EQ(decode_blp(no_alpha_needed, {}, nullptr), 16u);
}

TEST(DecodeBlp, RefusesABufferOfTheWrongSize) {
    const Bytes file = paletted_blp(1, 1, 5, test_palette(), {1}, {});
    Bytes small(3);
    Bytes large(8);
    EXPECT_EQ(decode_blp(file, small, nullptr), 0u);
    EXPECT_EQ(decode_blp(file, large, nullptr), 0u);
}

} // namespace
} // namespace pictel::test
