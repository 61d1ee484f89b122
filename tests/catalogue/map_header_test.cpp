#include "catalogue/map_header.h"
#include "test_folder.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace keldra {
namespace {

using test::map_file_bytes;
using test::TempFolder;
using test::write_file;
using namespace std::string_literals;

struct HeaderCase {
    const char* label;
    std::string file_bytes;
    std::optional<std::string> map_name; // nullopt: the file gets no row
};

void PrintTo(const HeaderCase& test_case, std::ostream* out) {
    *out << test_case.label;
}

std::vector<HeaderCase> header_cases() {
    const std::string header("HM3W\x01\x00\x00\x00", 8);
    return {
        {"empty_file", "", std::nullopt},
        {"one_byte", "H", std::nullopt},
        {"three_bytes", "HM3", std::nullopt},
        {"identifier_only", "HM3W", std::string()},
        {"five_bytes", "HM3W\x01", std::string()},
        {"seven_bytes", "HM3W123", std::string()},
        {"header_without_name", header, std::string()},
        {"small_letters", "hm3w\x01\x00\x00\x00Name\0"s, std::nullopt},
        {"zero_inside_identifier", "HM3\0W\0\0\0Name"s, std::nullopt},
        {"other_identifier", "MPQ\x1A\0\0\0\0Name"s, std::nullopt},
        {"plain_name", map_file_bytes("Footmen Frenzy"), "Footmen Frenzy"},
        {"empty_name", map_file_bytes(""), std::string()},
        {"name_without_zero_byte", header + "Last Stand", "Last Stand"},
        {"colour_codes", map_file_bytes("|cffff0000Red|r Map"), "Red Map"},
        {"chinese_name", map_file_bytes("澄海|cff00ff003C|r地图"), "澄海3C地图"},
        {"hangul_name", map_file_bytes("\xED\x95\x9C\xEA\xB5\xAD"), std::string()},
        {"gbk_only_name", map_file_bytes("\xE4\xB8\x82"), std::string()},
        {"invalid_utf8", map_file_bytes("Map\xFF"), std::string()},
        {"incomplete_utf8_at_end", header + "Map\xE4\xB8", std::string()},
        {"name_over_several_chunks", map_file_bytes(std::string(1500, 'n')),
         std::string(1500, 'n')},
        {"name_of_exactly_one_chunk", map_file_bytes(std::string(512, 'k')), std::string(512, 'k')},
        {"longest_name", map_file_bytes(std::string(max_raw_map_name, 'x')),
         std::string(max_raw_map_name, 'x')},
        {"five_mib_without_zero", header + std::string(std::size_t{5} * 1024 * 1024, 'z'),
         std::string(max_raw_map_name, 'z')},
    };
}

class MapHeaderFile : public testing::TestWithParam<HeaderCase> {};

TEST_P(MapHeaderFile, ReadsTheCleanedNameOrGivesNoRow) {
    const TempFolder folder;
    write_file(folder / "map.w3x", GetParam().file_bytes);
    EXPECT_EQ(read_map_header((folder / "map.w3x").string()), GetParam().map_name);
}

TEST_P(MapHeaderFile, GivesTheSameInMemoryAndThroughOneByteReads) {
    const std::string& bytes = GetParam().file_bytes;
    EXPECT_EQ(parse_map_header_bytes(bytes), GetParam().map_name);
    std::size_t offset = 0;
    const auto one_byte_at_a_time = [&](char* buffer, std::size_t size) -> std::size_t {
        if (size == 0 || offset == bytes.size())
            return 0;
        buffer[0] = bytes[offset++];
        return 1;
    };
    EXPECT_EQ(parse_map_header(one_byte_at_a_time), GetParam().map_name);
}

INSTANTIATE_TEST_SUITE_P(Cases, MapHeaderFile, testing::ValuesIn(header_cases()),
                         [](const auto& info) { return std::string(info.param.label); });

// The reader asks for no more than the header and the 512-byte chunks up to the zero byte.
TEST(MapHeaderReads, StopAtTheChunkHoldingTheZeroByte) {
    const std::string bytes = map_file_bytes(std::string(600, 'a')) + std::string(100000, 'b');
    std::size_t consumed = 0;
    std::vector<std::size_t> requests;
    const auto reader = [&](char* buffer, std::size_t size) {
        requests.push_back(size);
        const std::size_t count = std::min(size, bytes.size() - consumed);
        std::copy_n(bytes.data() + consumed, count, buffer);
        consumed += count;
        return count;
    };
    EXPECT_EQ(parse_map_header(reader), std::string(600, 'a'));
    EXPECT_EQ(requests, (std::vector<std::size_t>{4, 4, 512, 512}));
    EXPECT_EQ(consumed, 8u + 1024u);
}

TEST(MapHeaderReads, StopAfterTheLongestNameWithoutAZeroByte) {
    const std::string bytes = "HM3W1234" + std::string(std::size_t{1024} * 1024, 'q');
    std::size_t consumed = 0;
    const auto reader = [&](char* buffer, std::size_t size) {
        const std::size_t count = std::min(size, bytes.size() - consumed);
        std::copy_n(bytes.data() + consumed, count, buffer);
        consumed += count;
        return count;
    };
    EXPECT_EQ(parse_map_header(reader)->size(), max_raw_map_name);
    EXPECT_EQ(consumed, 8u + max_raw_map_name);
}

TEST(MapHeaderFileKinds, ReadOnlyMapIsListedAndLeftUnchanged) {
    const TempFolder folder;
    const auto path = folder / "read-only.w3m";
    write_file(path, map_file_bytes("Guarded"));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(read_map_header(path.string()), "Guarded");
    EXPECT_EQ(test::read_file(path), map_file_bytes("Guarded"));
}

TEST(MapHeaderFileKinds, NonRegularAndMissingFilesGiveNoRow) {
    const TempFolder folder;
    ASSERT_EQ(::mkfifo((folder / "pipe.w3m").c_str(), 0644), 0);
    std::filesystem::create_directory(folder / "folder.w3m");
    std::filesystem::create_symlink(folder / "nowhere", folder / "broken.w3m");
    // A FIFO with no writer would block a plain open; the reader must return at once.
    EXPECT_EQ(read_map_header((folder / "pipe.w3m").string()), std::nullopt);
    EXPECT_EQ(read_map_header((folder / "folder.w3m").string()), std::nullopt);
    EXPECT_EQ(read_map_header((folder / "broken.w3m").string()), std::nullopt);
    EXPECT_EQ(read_map_header((folder / "missing.w3m").string()), std::nullopt);
    EXPECT_EQ(read_map_header("/dev/null"), std::nullopt);
}

TEST(MapHeaderFileKinds, LinkToAMapIsFollowed) {
    const TempFolder folder;
    write_file(folder / "real.w3x", map_file_bytes("Linked"));
    std::filesystem::create_symlink(folder / "real.w3x", folder / "link.w3x");
    EXPECT_EQ(read_map_header((folder / "link.w3x").string()), "Linked");
}

TEST(MapHeaderFileKinds, UnreadableFileGivesNoRow) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file whatever its mode";
    const TempFolder folder;
    const auto path = folder / "locked.w3m";
    write_file(path, map_file_bytes("Locked"));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    EXPECT_EQ(read_map_header(path.string()), std::nullopt);
}

} // namespace
} // namespace keldra
