// TGA -> BLP -> TGA through the whole flow: the size is kept, and the picture comes back as the
// same-size level of the encoder (each pixel averaged with its lower-right neighbours) within
// JPEG loss.
#include "blp_writer.h"
#include "pixel_image.h"
#include "test_pictures.h"
#include "tga.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace pictel::test {
namespace {

struct Difference {
    int largest = 0;
    double mean = 0;
};

Difference compare(const Bytes& a, const Bytes& b) {
    Difference difference;
    double total = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int d = std::abs(int(a[i]) - int(b[i]));
        difference.largest = std::max(difference.largest, d);
        total += d;
    }
    difference.mean = a.empty() ? 0 : total / static_cast<double>(a.size());
    return difference;
}

struct RoundTripCase {
    std::uint32_t width;
    std::uint32_t height;
    unsigned bits;
};

class RoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, KeepsSizeAndPicture) {
    const auto [width, height, bits] = GetParam();
    Bytes picture = gradient_picture(width, height, width + height); // top row first
    if (bits == 24) {
        for (std::size_t i = 3; i < picture.size(); i += 4) {
            picture[i] = 255;
        }
    }
    Bytes stored; // bottom row first, as the file holds it
    for (std::size_t i = 0; i < picture.size(); ++i) {
        if (bits == 32 || i % 4 != 3) {
            stored.push_back(picture[i]);
        }
    }
    const std::size_t row_bytes = static_cast<std::size_t>(width) * bits / 8;
    flip_rows(stored, row_bytes, height);
    TempFolder folder;
    const std::string tga = folder.file("in.tga");
    Bytes file(build_tga(stored, width, height, bits, {}));
    build_tga(stored, width, height, bits, file);
    write_file(tga, file);
    ASSERT_EQ(run_in_process({tga}, "/unused/").exit_code, 0);
    ASSERT_EQ(run_in_process({folder.file("in.BLP"), folder.file("out.tga")}, "/unused/").exit_code,
              0);

    const Bytes back = read_file(folder.file("out.tga"));
    TgaInfo info;
    Bytes pixels(parse_tga(back, {}, &info));
    ASSERT_EQ(parse_tga(back, pixels, &info), pixels.size());
    EXPECT_EQ(info.width, width);
    EXPECT_EQ(info.height, height);
    EXPECT_EQ(info.bits_per_pixel, 32u);
    flip_rows(pixels, static_cast<std::size_t>(width) * 4, height);
    const Difference from_level0 =
        compare(pixels, scale_picture(picture, width, height, width, height));
    EXPECT_LE(from_level0.largest, 16);
    EXPECT_LE(from_level0.mean, 2.0);
    const Difference from_input = compare(pixels, picture);
    EXPECT_LE(from_input.mean, 4.0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, RoundTrip,
                         testing::Values(RoundTripCase{64, 32, 32}, RoundTripCase{16, 64, 24},
                                         RoundTripCase{1, 1, 32}, RoundTripCase{256, 256, 32}));

} // namespace
} // namespace pictel::test
