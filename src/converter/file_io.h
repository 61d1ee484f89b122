// Whole-file reading and writing for the converter, on POSIX file descriptors.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pictel {

/// True when `path` names an existing regular file (after following links). Folders and other
/// kinds of files do not count; whether the file may be read is not asked.
bool is_existing_file(const std::string& path);

/// True when both paths exist and name the same file (same device and inode).
bool name_same_file(const std::string& a, const std::string& b);

/// A file's bytes and the size it had when it was opened.
struct FileContents {
    std::size_t size_on_disk = 0;
    std::vector<std::uint8_t> bytes; ///< what could be read; shorter than size_on_disk on a fault
};

/// Reads the whole file at `path` in one piece. Returns nothing when it cannot be opened for
/// reading. A read fault, or too little memory for the file, gives fewer bytes than its size.
std::optional<FileContents> read_whole_file(const std::string& path);

/// Deletes any file at `path` (a failure is ignored), creates it anew (never following a link that
/// appears in between) and writes `bytes`. Returns nothing when it cannot be created, else the
/// count of bytes written, which is less than bytes.size() after a write fault.
std::optional<std::size_t> write_new_file(const std::string& path,
                                          std::span<const std::uint8_t> bytes);

} // namespace pictel
