#include "command_line.h"

#include <algorithm>
#include <cstdlib>

namespace pictel {

namespace {

constexpr char separator = '/';

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

struct SplitPath {
    std::string_view folder; // before the last separator
    std::string_view name;   // after it
    bool has_folder = false;
};

SplitPath split_path(std::string_view path) {
    const auto last = path.rfind(separator);
    if (last == std::string_view::npos) {
        return {{}, path, false};
    }
    return {path.substr(0, last), path.substr(last + 1), true};
}

std::string replace_extension(std::string_view name, std::string_view extension) {
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return std::string(name);
    }
    return std::string(name.substr(0, dot)) + "." + std::string(extension);
}

} // namespace

PictelRoles assign_roles(const std::vector<std::string>& arguments,
                         const std::function<bool(const std::string&)>& is_existing_file) {
    PictelRoles roles;
    for (const std::string& argument : arguments) {
        if (same_path_text(argument, "-t")) {
            roles.to_temporary_folder = true;
        } else if (!roles.input && is_existing_file(argument)) {
            roles.input = argument;
        } else {
            roles.output = argument;
        }
    }
    return roles;
}

PictureFormat recognise_format(std::string_view path) {
    if (path.size() < 4) {
        return PictureFormat::unknown;
    }
    const std::string_view ending = path.substr(path.size() - 4);
    if (same_path_text(ending, ".TGA")) {
        return PictureFormat::tga;
    }
    if (same_path_text(ending, ".BLP")) {
        return PictureFormat::blp;
    }
    return PictureFormat::unknown;
}

bool same_path_text(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return upper(x) == upper(y); });
}

std::string choose_output_path(const PictelRoles& roles, PictureFormat format,
                               std::string_view temporary_folder) {
    if (roles.output && !roles.output->empty()) {
        const bool bare_name = !split_path(*roles.output).has_folder;
        if (bare_name && roles.to_temporary_folder) {
            return std::string(temporary_folder) + *roles.output;
        }
        return *roles.output;
    }
    const std::string input_path = roles.input.value_or(std::string());
    const SplitPath input = split_path(input_path);
    std::string name = replace_extension(input.name, format == PictureFormat::blp ? "TGA" : "BLP");
    if (roles.to_temporary_folder) {
        return std::string(temporary_folder) + name;
    }
    if (input.has_folder) {
        return std::string(input.folder) + separator + name;
    }
    return name;
}

std::string temporary_folder_from_environment() {
    const char* configured = std::getenv("TMPDIR");
    std::string folder = configured != nullptr && *configured != '\0' ? configured : "/tmp";
    if (folder.back() != separator) {
        folder += separator;
    }
    return folder;
}

} // namespace pictel
