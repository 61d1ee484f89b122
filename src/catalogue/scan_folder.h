// Enumerates the map files of one folder: the worker side of the folder scan, without Qt.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

namespace keldra {

// One entry the scan hands on: a candidate map file in the open folder.
struct ScanEntry {
    int folder_fd; // the scanned folder, open for the whole scan; valid during the call
    std::string_view file_name; // raw bytes as the file system returned them; valid during the call
};

enum class ScanOutcome {
    completed,         // the enumeration ran out of entries
    stopped,           // the stop flag was 1 before a file
    folder_unreadable, // the folder could not be opened; nothing was enumerated
};

// True when `file_name` ends in ".w3" plus one character (one byte, or one well-formed UTF-8
// sequence), letters compared without case: the names "*.w3?" takes.
bool is_map_file_name(std::string_view file_name);

// Enumerates `folder` in the file system's order and calls `on_entry` for each entry whose name
// passes is_map_file_name and that is a regular file after following links (folders, broken links,
// FIFOs and devices can never be maps and are left out unopened); hidden files are included. Before
// each such entry the stop flag is read, and a value of 1 ends the scan. The folder is opened once,
// so the whole scan reads the folder it started on even if its path is renamed or replaced
// meanwhile; a folder removed mid-scan simply ends the enumeration. `on_entry` runs on the calling
// thread.
//   folder: path of the folder, with or without a trailing "/".
//   stop_flag: read atomically, never written.
// Returns how the scan ended.
ScanOutcome scan_folder(const std::string& folder, const std::atomic<int>& stop_flag,
                        const std::function<void(const ScanEntry&)>& on_entry);

} // namespace keldra
