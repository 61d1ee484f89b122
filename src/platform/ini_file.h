// The settings file: reading and writing single keys of an INI file while keeping the rest of it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace keldra {

// The most bytes of a value that reading yields; a longer value is cut to its first bytes.
inline constexpr std::size_t ini_value_limit = 10239;

// One key of a section and the value to store under it.
using IniEntry = std::pair<std::string, std::string>;

// Reads the value of `key` in `[section]` of the INI file at `path`.
// The file is read as bytes (UTF-8 in practice); section and key names compare with ASCII letters
// taken without case, the first matching section and key win, blanks around the key name and
// before the value are ignored, a trailing "\r" is dropped and lines starting with ";" are
// comments. The value is everything else up to the line's end, cut to ini_value_limit bytes.
// Returns `default_value` (also cut to the limit) when the file cannot be read, is no regular file
// or holds no such section or key.
std::string read_ini_value(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view default_value);

// Stores each of `entries` under its key in `[section]` of the INI file at `path`: an existing key
// line is replaced, a missing key is added at the end of the section, a missing section (or file)
// is added at the end. Every other byte of the file stays as it was; new lines take the file's
// line ending ("\r\n" or "\n").
// The new contents go to a temporary file beside the old one, which is flushed to disk and then
// renamed over it, so the old file is replaced whole or not at all. When `path` is a symbolic
// link, the file it points to is the one replaced.
// Returns false, leaving the file as it was and no temporary file behind, when the file cannot be
// read or written or is no regular file, or when a name or value holds a line break (which would
// corrupt the file), a section name holds "]" or a key is empty or holds "=".
bool write_ini_values(const std::string& path, std::string_view section,
                      const std::vector<IniEntry>& entries);

} // namespace keldra
