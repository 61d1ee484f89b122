#include "catalogue/scan_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace keldra {
namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using DirectoryHandle = std::unique_ptr<DIR, DirectoryCloser>;

DirectoryHandle open_folder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    DIR* directory = ::fdopendir(fd);
    if (directory == nullptr)
        ::close(fd);
    return DirectoryHandle(directory);
}

char ascii_lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Bytes of the UTF-8 character that `lead` begins.
std::size_t expected_character_length(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    return 1;
}

bool is_one_character(std::string_view tail) {
    if (tail.empty())
        return false;
    const std::size_t length = expected_character_length(static_cast<unsigned char>(tail[0]));
    if (tail.size() != length)
        return false;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(tail[i]) & 0xC0) != 0x80)
            return false;
    }
    return true;
}

// Only regular files can be maps: folders, links to folders, broken links, FIFOs and devices are
// left out before anyone opens them. d_type spares the stat call for the common plain file.
bool is_regular_file(int folder_fd, const dirent& entry) {
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat status {};
    return ::fstatat(folder_fd, entry.d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

} // namespace

bool is_map_file_name(std::string_view file_name) {
    // The last character may be one byte of any value (names need not be UTF-8) or one
    // well-formed multi-byte UTF-8 character.
    for (std::size_t tail_length = 1; tail_length <= 4; ++tail_length) {
        if (file_name.size() < tail_length + 3)
            return false;
        const std::string_view tail = file_name.substr(file_name.size() - tail_length);
        const std::string_view stem = file_name.substr(file_name.size() - tail_length - 3, 3);
        const bool is_w3 = stem[0] == '.' && ascii_lower(stem[1]) == 'w' && stem[2] == '3';
        if (is_w3 && (tail_length == 1 || is_one_character(tail)))
            return true;
    }
    return false;
}

ScanOutcome scan_folder(const std::string& folder, const std::atomic<int>& stop_flag,
                        const std::function<void(const ScanEntry&)>& on_entry) {
    const DirectoryHandle directory = open_folder(folder);
    if (!directory)
        return ScanOutcome::folder_unreadable;
    const int folder_fd = ::dirfd(directory.get());
    // readdir's end and its errors (a folder removed under the scan) both end the enumeration.
    while (const dirent* entry = ::readdir(directory.get())) {
        const std::string_view name(entry->d_name);
        if (!is_map_file_name(name) || !is_regular_file(folder_fd, *entry))
            continue;
        if (stop_flag.load() == 1)
            return ScanOutcome::stopped;
        on_entry(ScanEntry{folder_fd, name});
    }
    return ScanOutcome::completed;
}

} // namespace keldra
