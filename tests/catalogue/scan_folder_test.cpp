#include "catalogue/map_header.h"
#include "catalogue/scan_folder.h"
#include "hostile_folder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace keldra {
namespace {

using test::map_file_bytes;
using test::TempFolder;
using test::write_file;
using Rows = std::vector<std::pair<std::string, std::string>>;

struct ScanResult {
    ScanOutcome outcome;
    Rows rows;
};

// What the map list would get: the scan with the header reader, as the worker runs them.
ScanResult scan_rows(const std::string& folder, const std::atomic<int>& stop_flag) {
    ScanResult result{ScanOutcome::completed, {}};
    result.outcome = scan_folder(folder, stop_flag, [&](const ScanEntry& entry) {
        const std::string name(entry.file_name);
        if (auto map_name = read_map_header_at(entry.folder_fd, name))
            result.rows.emplace_back(name, *map_name);
    });
    return result;
}

struct NameCase {
    const char* label;
    std::string name;
    bool taken;
};

void PrintTo(const NameCase& test_case, std::ostream* out) {
    *out << test_case.label;
}

class MapFileName : public testing::TestWithParam<NameCase> {};

TEST_P(MapFileName, TakesDotW3PlusOneCharacter) {
    EXPECT_EQ(is_map_file_name(GetParam().name), GetParam().taken);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapFileName,
    testing::Values(NameCase{"w3m", "a.w3m", true}, NameCase{"w3x_capitals", "A.W3X", true},
                    NameCase{"mixed_case", "a.W3m", true}, NameCase{"only_extension", ".w3m", true},
                    NameCase{"any_last_byte", "a.w3\xFF", true},
                    NameCase{"chinese_last_character", "a.w3图", true},
                    NameCase{"digit_last", "a.w31", true}, NameCase{"no_last", "a.w3", false},
                    NameCase{"two_last", "a.w3mm", false}, NameCase{"wrong_digit", "a.w4m", false},
                    NameCase{"no_dot", "aw3m", false}, NameCase{"short", "w3m", false},
                    NameCase{"empty", "", false}, NameCase{"other", "a.txt", false},
                    NameCase{"two_characters_utf8", "a.w3éé", false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ScanFolder, ListsOnlyMapsOfAHostileFolderInListingOrder) {
    const TempFolder folder;
    const Rows expected = test::in_listing_order(folder.path(), test::make_hostile_folder(folder));
    const std::atomic<int> stop_flag{0};
    const ScanResult result = scan_rows(folder.folder(), stop_flag);
    EXPECT_EQ(result.outcome, ScanOutcome::completed);
    EXPECT_EQ(result.rows, expected);
}

// Everything that is not a regular file is left out before it is opened; regular files with map
// names are handed on whatever they hold.
TEST(ScanFolder, HandsOnOnlyRegularFilesWithMapNames) {
    const TempFolder folder;
    test::make_hostile_folder(folder);
    std::vector<std::string> expected;
    for (const std::string& name : test::entries_in_listing_order(folder.path())) {
        if (is_map_file_name(name) && std::filesystem::is_regular_file(folder / name))
            expected.push_back(name);
    }
    const std::atomic<int> stop_flag{0};
    std::vector<std::string> handed_on;
    scan_folder(folder.folder(), stop_flag,
                [&](const ScanEntry& entry) { handed_on.emplace_back(entry.file_name); });
    EXPECT_EQ(handed_on, expected);
    for (const char* never : {"pipe.w3m", "Campaign.w3m", "folder-link.w3m", "broken.w3m"})
        EXPECT_EQ(std::count(handed_on.begin(), handed_on.end(), never), 0) << never;
    EXPECT_EQ(std::count(handed_on.begin(), handed_on.end(), "text.w3m"), 1);
}

TEST(ScanFolder, NameThatIsNotUtf8StaysReachable) {
    const TempFolder folder;
    write_file(folder / test::not_utf8_name, map_file_bytes("Raw"));
    const std::atomic<int> stop_flag{0};
    const ScanResult result = scan_rows(folder.folder(), stop_flag);
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(read_map_header(folder.folder() + result.rows[0].first), "Raw");
}

TEST(ScanFolder, UnreadableFileGetsNoRow) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads a file whatever its mode";
    const TempFolder folder;
    write_file(folder / "locked.w3m", map_file_bytes("Locked"));
    write_file(folder / "open.w3m", map_file_bytes("Open"));
    ::chmod((folder / "locked.w3m").c_str(), 0);
    const std::atomic<int> stop_flag{0};
    EXPECT_EQ(scan_rows(folder.folder(), stop_flag).rows, (Rows{{"open.w3m", "Open"}}));
}

TEST(ScanFolder, FolderThatCannotBeOpened) {
    const TempFolder folder;
    write_file(folder / "file.w3m", map_file_bytes("File"));
    const std::atomic<int> stop_flag{0};
    for (const std::string& path :
         {(folder / "missing").string(), (folder / "file.w3m").string(), std::string()}) {
        int calls = 0;
        EXPECT_EQ(scan_folder(path, stop_flag, [&](const ScanEntry&) { ++calls; }),
                  ScanOutcome::folder_unreadable)
            << path;
        EXPECT_EQ(calls, 0);
    }
}

TEST(ScanFolder, EmptyFolderCompletes) {
    const TempFolder folder;
    const std::atomic<int> stop_flag{0};
    const ScanResult result = scan_rows(folder.folder(), stop_flag);
    EXPECT_EQ(result.outcome, ScanOutcome::completed);
    EXPECT_TRUE(result.rows.empty());
}

TEST(ScanFolder, FolderPathWithoutTrailingSlash) {
    const TempFolder folder;
    write_file(folder / "a.w3m", map_file_bytes("A"));
    const std::atomic<int> stop_flag{0};
    EXPECT_EQ(scan_rows(folder.path().string(), stop_flag).rows, (Rows{{"a.w3m", "A"}}));
}

void make_maps(const TempFolder& folder, int count) {
    for (int i = 0; i < count; ++i)
        write_file(folder / ("m" + std::to_string(i) + ".w3m"), map_file_bytes("M"));
}

TEST(ScanFolderStop, StopFlagBeforeTheFirstFileReadsNothing) {
    const TempFolder folder;
    make_maps(folder, 3);
    const std::atomic<int> stop_flag{1};
    int calls = 0;
    EXPECT_EQ(scan_folder(folder.folder(), stop_flag, [&](const ScanEntry&) { ++calls; }),
              ScanOutcome::stopped);
    EXPECT_EQ(calls, 0);
}

TEST(ScanFolderStop, StopFlagIsReadBeforeEachFile) {
    const TempFolder folder;
    make_maps(folder, 5);
    std::atomic<int> stop_flag{0};
    int calls = 0;
    const ScanOutcome outcome = scan_folder(folder.folder(), stop_flag, [&](const ScanEntry&) {
        if (++calls == 2)
            stop_flag.store(1);
    });
    EXPECT_EQ(outcome, ScanOutcome::stopped);
    EXPECT_EQ(calls, 2);
}

// The enumeration running out decides completion, whatever the flag holds by then.
TEST(ScanFolderStop, StopDuringTheLastFileStillCompletes) {
    const TempFolder folder;
    make_maps(folder, 1);
    std::atomic<int> stop_flag{0};
    EXPECT_EQ(
        scan_folder(folder.folder(), stop_flag, [&](const ScanEntry&) { stop_flag.store(1); }),
        ScanOutcome::completed);
}

TEST(ScanFolderChanges, FolderRemovedMidScanEnds) {
    const TempFolder parent;
    const auto folder = parent / "maps";
    std::filesystem::create_directory(folder);
    for (int i = 0; i < 200; ++i)
        write_file(folder / ("m" + std::to_string(i) + ".w3m"), map_file_bytes("M"));
    const std::atomic<int> stop_flag{0};
    int calls = 0;
    int rows = 0;
    const ScanOutcome outcome =
        scan_folder(folder.string() + "/", stop_flag, [&](const ScanEntry& entry) {
            if (++calls == 1)
                std::filesystem::remove_all(folder);
            if (read_map_header_at(entry.folder_fd, std::string(entry.file_name)))
                ++rows;
        });
    EXPECT_EQ(outcome, ScanOutcome::completed);
    EXPECT_LE(calls, 200);
    EXPECT_EQ(rows, 0);
}

// Renaming the folder and putting another one at its path does not switch the scan over.
TEST(ScanFolderChanges, ScanReadsTheFolderItStartedOn) {
    const TempFolder parent;
    const auto folder = parent / "maps";
    std::filesystem::create_directory(folder);
    for (int i = 0; i < 20; ++i)
        write_file(folder / ("m" + std::to_string(i) + ".w3m"), map_file_bytes("Original"));
    const std::atomic<int> stop_flag{0};
    Rows rows;
    const ScanOutcome outcome =
        scan_folder(folder.string() + "/", stop_flag, [&](const ScanEntry& entry) {
            if (rows.empty()) {
                std::filesystem::rename(folder, parent / "moved");
                std::filesystem::create_directory(folder);
                for (int i = 0; i < 20; ++i)
                    write_file(folder / ("m" + std::to_string(i) + ".w3m"),
                               map_file_bytes("Impostor"));
            }
            const std::string name(entry.file_name);
            rows.emplace_back(name, read_map_header_at(entry.folder_fd, name).value_or("none"));
        });
    EXPECT_EQ(outcome, ScanOutcome::completed);
    ASSERT_EQ(rows.size(), 20u);
    for (const auto& row : rows)
        EXPECT_EQ(row.second, "Original") << row.first;
}

} // namespace
} // namespace keldra
