// Files made to break the readers: each must end as "not valid", with exit code 0, no output
// file, and no read or write outside the buffers (the sanitizer build checks the last part).
#include "test_pictures.h"

#include <gtest/gtest.h>

namespace pictel::test {
namespace {

struct HostileFile {
    std::string name;
    Bytes bytes;
};

Bytes cut(const Bytes& file, std::size_t length) {
    return Bytes(file.begin(), file.begin() + length);
}

Bytes patched(Bytes file, std::size_t offset, std::uint32_t value) {
    set_u32(file, offset, value);
    return file;
}

Bytes with_data(Bytes header, const Bytes& data) {
    header.insert(header.end(), data.begin(), data.end());
    return header;
}

std::vector<HostileFile> hostile_blps() {
    const Bytes jpeg = jpeg_blp(gradient_picture(8, 8), 8, 8);
    const std::size_t level0_end = u32_at(jpeg, 28) + u32_at(jpeg, 92);
    const Bytes paletted = paletted_blp(4, 4, 4, test_palette(), Bytes(16, 1), Bytes(16, 200));
    std::vector<HostileFile> files;
    for (std::size_t length = 0; length < level0_end; ++length) {
        files.push_back({"jpeg cut at " + std::to_string(length), cut(jpeg, length)});
    }
    for (std::size_t length = 0; length < paletted.size(); ++length) {
        files.push_back({"paletted cut at " + std::to_string(length), cut(paletted, length)});
    }
    // The file stays whole, but the level table cuts the JPEG stream short at every point:
    // inside markers, tables and the picture data (the last 3 bytes of a level follow the
    // stream's end marker).
    for (std::uint32_t length = 0; length + 3 < u32_at(jpeg, 92); ++length) {
        files.push_back(
            {"jpeg stream cut at " + std::to_string(length), patched(jpeg, 92, length)});
    }
    Bytes no_markers = jpeg;
    std::fill(no_markers.begin() + 170, no_markers.begin() + static_cast<long>(level0_end), 0x11);
    files.push_back({"level without markers", no_markers});
    files.push_back({"jpeg header size past the end", patched(jpeg, 156, 0xFFFFFFF0u)});
    files.push_back({"level offset past the end", patched(jpeg, 28, 0x7FFFFFFFu)});
    files.push_back({"level size past the end", patched(jpeg, 92, 0xFFFFFFFFu)});
    files.push_back({"jpeg claims 65535 x 65535", patched(patched(jpeg, 12, 65535), 16, 65535)});
    files.push_back({"jpeg width 65536", patched(jpeg, 12, 65536)});
    Bytes empty_stream = patched(patched(jpeg, 156, 0), 92, 0);
    files.push_back({"empty jpeg stream", empty_stream});
    Bytes huge_paletted = cut(paletted, 300);
    set_u32(huge_paletted, 12, 65535);
    set_u32(huge_paletted, 16, 65535);
    files.push_back({"paletted claims 65535 x 65535 in 300 bytes", huge_paletted});
    files.push_back({"paletted type 9", patched(paletted, 20, 9)});
    files.push_back({"content 7", patched(paletted, 4, 7)});
    return files;
}

std::vector<HostileFile> hostile_tgas() {
    Bytes valid = tga_header(4, 4, 32);
    valid.resize(18 + 64, 50);
    std::vector<HostileFile> files;
    for (std::size_t length = 0; length < valid.size(); ++length) {
        files.push_back({"tga cut at " + std::to_string(length), cut(valid, length)});
    }
    files.push_back(
        {"id field past the end", with_data(tga_header(4, 4, 32, 2, 8, 255), Bytes(64, 1))});
    files.push_back({"run past the picture",
                     with_data(tga_header(4, 4, 24, 10, 0), {0x88, 1, 2, 3, 0x88, 1, 2, 3})});
    files.push_back({"raw packet past the file",
                     with_data(tga_header(4, 4, 24, 10, 0), {0x0F, 1, 2, 3, 4, 5, 6})});
    files.push_back(
        {"packets end early", with_data(tga_header(4, 4, 32, 10, 0), {0x87, 1, 2, 3, 4})});
    files.push_back(
        {"claims 65535 x 65535", with_data(tga_header(65535, 65535, 32, 2), Bytes(300, 0))});
    files.push_back({"rle claims 65535 x 65535",
                     with_data(tga_header(65535, 65535, 32, 10), Bytes(300, 0xFF))});
    files.push_back({"colour map", with_data(tga_header(4, 4, 32, 1), Bytes(64, 0))});
    return files;
}

void expect_refused(const HostileFile& file, const std::string& extension,
                    const std::string& kind) {
    TempFolder folder;
    const std::string input = folder.file("hostile." + extension);
    write_file(input, file.bytes);
    const ProgramRun result = run_in_process({input}, folder.path().string() + "/");
    EXPECT_EQ(result.exit_code, 0) << file.name;
    const std::string expected_end = "The file " + input + " is not a valid " + kind + " file\r\n";
    EXPECT_TRUE(result.messages.ends_with(expected_end)) << file.name << ": " << result.messages;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1)
        << file.name << ": an output was written";
}

TEST(HostileInput, BlpFilesAreNotValid) {
    for (const HostileFile& file : hostile_blps()) {
        expect_refused(file, "blp", "BLP");
    }
}

TEST(HostileInput, TgaFilesAreNotValid) {
    for (const HostileFile& file : hostile_tgas()) {
        expect_refused(file, "tga", "TGA");
    }
}

} // namespace
} // namespace pictel::test
