// Reads a map's display name from the start of a map file.
//
// A map file starts with "HM3W", a 4-byte integer (ignored), and the map name in UTF-8 ended by a
// zero byte. The name is converted to GB2312, cleaned of colour codes there, and turned back into
// UTF-8 for display.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace keldra {

class Gb2312Codec;

// The longest raw map name read; a file with no zero byte before it gives this many bytes.
inline constexpr std::size_t max_raw_map_name = std::size_t{64} * 1024;

// Reads up to `size` bytes into `buffer`; returns how many were read, 0 at the end of the data or
// on a read error. Short reads are allowed.
using ReadSome = std::function<std::size_t(char* buffer, std::size_t size)>;

// Reads a map header through `read_some`, which is called for 4 bytes, 4 bytes, then 512-byte
// chunks until a zero byte, the end of the data, or max_raw_map_name name bytes. Nothing past the
// chunk that holds the zero byte is requested.
// Returns the cleaned map name in UTF-8 (possibly empty: no name, or one that is not UTF-8 or
// holds characters outside GB2312), or std::nullopt when the data does not start with the four
// bytes "HM3W" (letter case significant), so the file gets no row.
std::optional<std::string> parse_map_header(const ReadSome& read_some);
// The same, converting with `codec` (used only during the call).
std::optional<std::string> parse_map_header(const ReadSome& read_some, Gb2312Codec& codec);

// parse_map_header over bytes in memory; reads only the bytes of `bytes`.
std::optional<std::string> parse_map_header_bytes(std::string_view bytes);

// Turns a raw map name (UTF-8 as stored in the file) into the name shown in the list: UTF-8 to
// GB2312 all or nothing (failure gives empty text), clean_map_name, then GB2312 to UTF-8.
std::string display_map_name(std::string_view raw_name);
// The same, converting with `codec` (used only during the call).
std::string display_map_name(std::string_view raw_name, Gb2312Codec& codec);

// Reads the map header of the file `file_name` in the folder open as `folder_fd` (AT_FDCWD to
// resolve `file_name` as a path). The file is opened read-only and non-blocking, and only a regular
// file (after following links) is read, so a FIFO never blocks or feeds the scan. Opening a device
// can act on the hardware, so callers pass only names they found to be regular files (scan_folder
// hands on nothing else). The file is read ahead by the header and one name chunk, then in 512-byte
// chunks, and closed before returning.
// Returns the cleaned UTF-8 map name, or std::nullopt (no row) when the file cannot be opened, is
// not a regular file, or does not start with "HM3W". Never reports an error otherwise.
std::optional<std::string> read_map_header_at(int folder_fd, const std::string& file_name);
// The same, converting with `codec` (used only during the call): what a scan calls per file.
std::optional<std::string> read_map_header_at(int folder_fd, const std::string& file_name,
                                              Gb2312Codec& codec);

// read_map_header_at for a full path: the current folder followed by the found file name. Anything
// but a regular file (after following links) is turned away before it is opened.
std::optional<std::string> read_map_header(const std::string& path);

} // namespace keldra
