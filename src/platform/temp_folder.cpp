#include "platform/temp_folder.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace keldra {
namespace {

bool is_private_folder(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return false;
    }
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

} // namespace

std::string system_temp_folder() {
    const char* tmpdir = std::getenv("TMPDIR");
    if (tmpdir != nullptr && tmpdir[0] == '/') {
        return tmpdir;
    }
    return "/tmp";
}

std::optional<std::string> private_temp_folder_in(const std::string& base, bool create) {
    std::string folder = base;
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    folder += "keldra-" + std::to_string(::geteuid());
    if (create && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    if (!is_private_folder(folder)) {
        return std::nullopt;
    }
    return folder + '/';
}

std::optional<std::string> private_temp_folder(bool create) {
    return private_temp_folder_in(system_temp_folder(), create);
}

void remove_converter_file() {
    if (const auto folder = private_temp_folder(false)) {
        ::unlink((*folder + "conv.exe").c_str());
    }
}

} // namespace keldra
