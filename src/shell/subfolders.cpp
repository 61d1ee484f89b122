#include "shell/subfolders.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace keldra {
namespace {

struct FolderCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool is_folder_entry(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat info {};
    return ::fstatat(::dirfd(dir), entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

char ascii_lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string folded(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(), ascii_lower);
    return name;
}

bool sorts_before(const std::string& a, const std::string& b) {
    const std::string folded_a = folded(a);
    const std::string folded_b = folded(b);
    return folded_a != folded_b ? folded_a < folded_b : a < b;
}

} // namespace

std::vector<std::string> list_subfolders(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, FolderCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !is_folder_entry(dir.get(), *entry)) {
            continue;
        }
        names.emplace_back(name);
    }
    std::sort(names.begin(), names.end(), sorts_before);
    return names;
}

std::string working_directory() {
    const std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
    return path ? std::string(path.get()) : std::string();
}

} // namespace keldra
