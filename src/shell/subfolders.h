// Folders on disk by their raw names: the working directory and the folders inside a folder.
#pragma once

#include <string>
#include <vector>

namespace keldra {

// The names of the folders directly inside `folder` (links to folders included, "." and ".."
// not), as the raw bytes the file system returns, sorted with ASCII letters taken without case and
// ties broken by the bytes. Hidden folders are included. Empty when `folder` cannot be read.
std::vector<std::string> list_subfolders(const std::string& folder);

// The process's working directory as raw bytes; empty when it cannot be read (removed, say).
std::string working_directory();

} // namespace keldra
