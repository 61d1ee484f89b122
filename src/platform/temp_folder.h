// The program's private temporary folder, where the picture converter is written and run.
#pragma once

#include <optional>
#include <string>

namespace keldra {

// The system's temporary folder: $TMPDIR when it is set to an absolute path, else "/tmp".
std::string system_temp_folder();

// The private folder "keldra-<uid>" inside `base` (no trailing "/" needed), with "/" appended.
// With `create`, a missing folder is made with mode 0700 first.
// Returns nullopt when the folder is missing, is not a real folder (a symbolic link, say), is not
// owned by the calling user or grants any access to group or others: files at fixed names in a
// folder someone else controls could be swapped under the program.
std::optional<std::string> private_temp_folder_in(const std::string& base, bool create);

// private_temp_folder_in(system_temp_folder(), create).
std::optional<std::string> private_temp_folder(bool create);

// Deletes the converter file "conv.exe" from the private temporary folder when that folder is
// usable; a missing file or folder and failures are ignored. Never creates the folder.
void remove_converter_file();

} // namespace keldra
