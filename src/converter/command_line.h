// The converter's command line: which argument is the input, which the output, and where the
// output goes when none is given.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pictel {

enum class PictureFormat { unknown, tga, blp };

/// The arguments after their roles are settled.
struct PictelRoles {
    std::optional<std::string> input;  ///< the first argument that names an existing file
    std::optional<std::string> output; ///< the last other argument that is not the switch
    bool to_temporary_folder = false;  ///< "-t" in any letter case, anywhere
};

/// Settles the roles of `arguments` in order: "-t" (any case) sets the switch; the first argument
/// for which `is_existing_file` is true becomes the input; every other argument becomes the
/// output, a later one replacing an earlier one.
PictelRoles assign_roles(const std::vector<std::string>& arguments,
                         const std::function<bool(const std::string&)>& is_existing_file);

/// The format named by the last four characters of `path`: ".TGA" or ".BLP" in any letter case.
PictureFormat recognise_format(std::string_view path);

/// Whether two path texts are equal when ASCII letters are compared without case.
bool same_path_text(std::string_view a, std::string_view b);

/// The output path for `roles` (input set) and the input's `format`, with `temporary_folder`
/// ending in "/":
/// - a non-empty given output is used unchanged, except that with the switch a bare file name
///   (no "/") goes into the temporary folder;
/// - otherwise the input's file name with its extension replaced by ".TGA" (BLP input) or ".BLP"
///   (TGA input), placed in the temporary folder with the switch, else beside the input. A "."
///   counts only with a character before it in the file name, so ".blp" keeps its name and the
///   derived path can equal the input (the caller refuses that).
std::string choose_output_path(const PictelRoles& roles, PictureFormat format,
                               std::string_view temporary_folder);

/// The folder for the switch: $TMPDIR when set and not empty, else "/tmp", with "/" appended when
/// it does not end in one.
std::string temporary_folder_from_environment();

} // namespace pictel
