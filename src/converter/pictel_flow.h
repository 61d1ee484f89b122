// The converter's whole run: command line, reading the input, converting, writing the output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace pictel {

/// JPEG quality of every BLP file the converter writes.
inline constexpr int blp_jpeg_quality = 90;

/// Runs one conversion as the pictel program does. `arguments` are the command-line arguments
/// without the program name; `messages` receives every message of the run (the JPEG library's
/// own texts go to standard error); `temporary_folder`, ending in "/", is where "-t" puts the
/// output.
///
/// Returns the exit code: 1 for a wrong number of arguments, an input not recognised as TGA or
/// BLP, or an output that is the input (same text without regard to case, or the same file);
/// 0 once a conversion was attempted, whether or not it wrote a file. The input is never
/// changed, and an existing output file is replaced only when a converted picture is ready.
int run_pictel(const std::vector<std::string>& arguments, std::FILE* messages,
               const std::string& temporary_folder);

} // namespace pictel
