// A folder holding maps among everything that looks like a map but is not one.
#pragma once

#include "test_folder.h"

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace keldra::test {

// A file name that is not valid UTF-8.
inline const std::string not_utf8_name = "\xFF\xFEmap.w3m";

// Fills `folder` and returns the rows a scan must give: (file name, map name) for every map,
// in no particular order.
inline std::vector<std::pair<std::string, std::string>>
make_hostile_folder(const TempFolder& folder) {
    write_file(folder / "one.w3m", map_file_bytes("|cffff0000Red|r Map"));
    write_file(folder / "Two.W3X", map_file_bytes("中文地图"));
    write_file(folder / ".hidden.w3x", map_file_bytes("Hidden"));
    write_file(folder / "korean.w3m", map_file_bytes("\xED\x95\x9C"));
    write_file(folder / "header-only.w3n", "HM3W");
    write_file(folder / not_utf8_name, map_file_bytes("Raw Name"));
    write_file(folder / "linked-target.dat", map_file_bytes("Through Link"));
    std::filesystem::create_symlink(folder / "linked-target.dat", folder / "link.w3m");
    // Names that match but whose contents are not maps.
    write_file(folder / "text.w3m", "just some text");
    write_file(folder / "short.w3x", "HM");
    write_file(folder / "small.w3m", std::string("hm3w\0\0\0\0lower\0", 14));
    write_file(folder / "empty.w3m", "");
    // Maps whose names do not match.
    write_file(folder / "map.w3", map_file_bytes("No Letter"));
    write_file(folder / "map.w3mm", map_file_bytes("Two Letters"));
    write_file(folder / "map.w4m", map_file_bytes("Wrong Digit"));
    write_file(folder / "map.txt", map_file_bytes("Text"));
    // Things that are not files.
    std::filesystem::create_directory(folder / "Campaign.w3m");
    write_file(folder / "Campaign.w3m" / "inner.w3m", map_file_bytes("Inner"));
    std::filesystem::create_directory_symlink(folder / "Campaign.w3m", folder / "folder-link.w3m");
    std::filesystem::create_symlink(folder / "nowhere", folder / "broken.w3m");
    ::mkfifo((folder / "pipe.w3m").c_str(), 0644);
    return {{"one.w3m", "Red Map"},      {"Two.W3X", "中文地图"}, {".hidden.w3x", "Hidden"},
            {"korean.w3m", ""},          {"header-only.w3n", ""}, {not_utf8_name, "Raw Name"},
            {"link.w3m", "Through Link"}};
}

// Orders `rows` as the file system lists their names.
inline std::vector<std::pair<std::string, std::string>>
in_listing_order(const std::filesystem::path& folder,
                 std::vector<std::pair<std::string, std::string>> rows) {
    std::vector<std::pair<std::string, std::string>> ordered;
    for (const std::string& name : entries_in_listing_order(folder)) {
        for (const auto& row : rows) {
            if (row.first == name)
                ordered.push_back(row);
        }
    }
    return ordered;
}

} // namespace keldra::test
