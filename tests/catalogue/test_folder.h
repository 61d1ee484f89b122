// Temporary folders and files the catalogue tests build their cases in.
#pragma once

#include "support/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace keldra::test {

inline void write_file(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of a map file whose header carries `raw_name` (UTF-8), zero-terminated, followed by
// archive bytes the reader must not take into the name.
inline std::string map_file_bytes(std::string_view raw_name) {
    std::string bytes("HM3W\x12\x34\x56\x78", 8);
    bytes.append(raw_name);
    bytes.push_back('\0');
    bytes.append("MPQ\x1A-archive-data");
    return bytes;
}

// Names of the entries of `folder` in the order the file system lists them.
inline std::vector<std::string> entries_in_listing_order(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

} // namespace keldra::test
