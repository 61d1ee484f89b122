#include "platform/ini_file.h"

#include "platform/file_descriptor.h"

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace keldra {
namespace {

// One line of the file: its text without the line ending, and the ending itself.
struct IniLine {
    std::string text;
    std::string ending;
};

constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && is_blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ascii_lower(a[i]) != ascii_lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The file's whole contents; nullopt when it exists but cannot be read or is no regular file (a
// FIFO would block the program, a device would never end), empty when it is missing.
std::optional<std::string> read_whole_file(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        return errno == ENOENT ? std::optional<std::string>(std::string()) : std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    std::string contents;
    std::array<char, 8192> chunk{};
    for (;;) {
        const ssize_t got = read_some(file.get(), std::as_writable_bytes(std::span(chunk)));
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return contents;
        }
        contents.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

std::vector<IniLine> split_lines(std::string_view contents) {
    std::vector<IniLine> lines;
    while (!contents.empty()) {
        const std::size_t newline = contents.find('\n');
        std::string_view text = contents.substr(0, newline);
        std::string_view ending;
        if (newline != std::string_view::npos) {
            ending = "\n";
            if (!text.empty() && text.back() == '\r') {
                text.remove_suffix(1);
                ending = "\r\n";
            }
        }
        lines.push_back({std::string(text), std::string(ending)});
        contents.remove_prefix(newline == std::string_view::npos ? contents.size() : newline + 1);
    }
    return lines;
}

// The text of a line as the parser sees it: the first line loses a UTF-8 byte order mark.
std::string_view parsed_text(const std::vector<IniLine>& lines, std::size_t index) {
    std::string_view text = lines[index].text;
    if (index == 0 && text.starts_with(utf8_bom)) {
        text.remove_prefix(utf8_bom.size());
    }
    return text;
}

std::optional<std::string_view> section_name_of(std::string_view text) {
    text = trim(text);
    if (!text.starts_with('[')) {
        return std::nullopt;
    }
    text.remove_prefix(1);
    return trim(text.substr(0, text.find(']')));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> key_line_of(std::string_view text) {
    const std::string_view content = trim(text);
    if (content.empty() || content.front() == ';') {
        return std::nullopt;
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = text.substr(equals + 1);
    while (!value.empty() && is_blank(value.front())) {
        value.remove_prefix(1);
    }
    return KeyLine{trim(text.substr(0, equals)), value};
}

// Index of the header line of the first section named `section`.
std::optional<std::size_t> find_section(const std::vector<IniLine>& lines,
                                        std::string_view section) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = section_name_of(parsed_text(lines, i));
        if (name && same_name(*name, section)) {
            return i;
        }
    }
    return std::nullopt;
}

// One past the last line of the section whose header is at `header`.
std::size_t section_end(const std::vector<IniLine>& lines, std::size_t header) {
    std::size_t end = header + 1;
    while (end < lines.size() && !section_name_of(parsed_text(lines, end))) {
        ++end;
    }
    return end;
}

std::optional<std::size_t> find_key(const std::vector<IniLine>& lines, std::size_t header,
                                    std::string_view key) {
    const std::size_t end = section_end(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto line = key_line_of(parsed_text(lines, i));
        if (line && same_name(line->key, key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string cut_to_limit(std::string_view value) {
    return std::string(value.substr(0, ini_value_limit));
}

bool holds_line_break(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool is_storable(std::string_view section, const std::vector<IniEntry>& entries) {
    if (holds_line_break(section) || section.find(']') != std::string_view::npos) {
        return false;
    }
    for (const auto& [key, value] : entries) {
        if (key.empty() || holds_line_break(key) || key.find('=') != std::string::npos ||
            holds_line_break(value)) {
            return false;
        }
    }
    return true;
}

std::string line_ending_of(std::string_view contents) {
    const std::size_t newline = contents.find('\n');
    if (newline != std::string_view::npos && newline > 0 && contents[newline - 1] == '\r') {
        return "\r\n";
    }
    return "\n";
}

// Inserts `line` after line `after`, giving that line an ending when it was the unterminated last.
void insert_line_after(std::vector<IniLine>& lines, std::size_t after, IniLine line,
                       const std::string& ending) {
    if (lines[after].ending.empty()) {
        lines[after].ending = ending;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(after) + 1, std::move(line));
}

// Where a new key of the section goes: after its last line that is not blank.
std::size_t last_filled_line(const std::vector<IniLine>& lines, std::size_t header) {
    std::size_t last = header;
    const std::size_t end = section_end(lines, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (!trim(lines[i].text).empty()) {
            last = i;
        }
    }
    return last;
}

void store_entry(std::vector<IniLine>& lines, std::size_t header, const IniEntry& entry,
                 const std::string& ending) {
    std::string text = entry.first + "=" + entry.second;
    if (const auto key_line = find_key(lines, header, entry.first)) {
        lines[*key_line].text = std::move(text);
        return;
    }
    insert_line_after(lines, last_filled_line(lines, header), {std::move(text), ending}, ending);
}

std::size_t add_section(std::vector<IniLine>& lines, std::string_view section,
                        const std::string& ending) {
    IniLine header{"[" + std::string(section) + "]", ending};
    if (lines.empty()) {
        lines.push_back(std::move(header));
        return 0;
    }
    insert_line_after(lines, lines.size() - 1, std::move(header), ending);
    return lines.size() - 1;
}

std::string join_lines(const std::vector<IniLine>& lines) {
    std::string contents;
    for (const auto& line : lines) {
        contents += line.text;
        contents += line.ending;
    }
    return contents;
}

// The file the write replaces: the target of a symbolic link, else `path` itself.
std::string replaced_file(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::array<char, PATH_MAX> resolved{};
        if (::realpath(path.c_str(), resolved.data()) != nullptr) {
            return resolved.data();
        }
    }
    return path;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new file beside `target` under a name nobody else uses; -1 on failure.
int create_temporary_beside(const std::string& target, mode_t mode, std::string& temporary) {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = target + ".tmp" + std::to_string(random() % 1000000000U);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

void sync_folder(const std::string& folder) {
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

// Replaces the file at `path` with `contents` whole, keeping its permission bits when it existed.
bool replace_file(const std::string& path, std::string_view contents) {
    const std::string target = replaced_file(path);
    struct stat old_info {};
    const bool existed = ::stat(target.c_str(), &old_info) == 0;
    const mode_t mode = existed ? (old_info.st_mode & 07777) : 0666;
    std::string temporary;
    FileDescriptor file(create_temporary_beside(target, mode, temporary));
    if (file.get() < 0) {
        return false;
    }
    const bool written =
        write_fully(file.get(), std::as_bytes(std::span(contents))) == contents.size() &&
        (!existed || ::fchmod(file.get(), mode) == 0) && ::fsync(file.get()) == 0 && file.close();
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    sync_folder(folder_of(target));
    return true;
}

} // namespace

std::string read_ini_value(const std::string& path, std::string_view section, std::string_view key,
                           std::string_view default_value) {
    const auto contents = read_whole_file(path);
    if (!contents) {
        return cut_to_limit(default_value);
    }
    const std::vector<IniLine> lines = split_lines(*contents);
    const auto header = find_section(lines, section);
    if (!header) {
        return cut_to_limit(default_value);
    }
    const auto key_line = find_key(lines, *header, key);
    if (!key_line) {
        return cut_to_limit(default_value);
    }
    return cut_to_limit(key_line_of(parsed_text(lines, *key_line))->value);
}

bool write_ini_values(const std::string& path, std::string_view section,
                      const std::vector<IniEntry>& entries) {
    if (!is_storable(section, entries)) {
        return false;
    }
    const auto contents = read_whole_file(replaced_file(path));
    if (!contents) {
        return false;
    }
    const std::string ending = line_ending_of(*contents);
    std::vector<IniLine> lines = split_lines(*contents);
    auto header = find_section(lines, section);
    if (!header) {
        header = add_section(lines, section, ending);
    }
    for (const auto& entry : entries) {
        store_entry(lines, *header, entry, ending);
    }
    return replace_file(path, join_lines(lines));
}

} // namespace keldra
