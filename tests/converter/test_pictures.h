// Pictures and files the converter tests build, a temporary folder, and running pictel.
#pragma once

#include "support/temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace pictel::test {

using Bytes = std::vector<std::uint8_t>;

/// 4 bytes per pixel, rows top row first: smooth gradients in every channel plus a little noise,
/// like a minimap. Deterministic for a given seed.
Bytes gradient_picture(std::uint32_t width, std::uint32_t height, unsigned seed = 1);

/// A BLP1 file with paletted content. `indices` (and `alpha` for types 3 and 4) hold one byte per
/// pixel; `palette` 256 entries of 4 bytes.
Bytes paletted_blp(std::uint32_t width, std::uint32_t height, std::uint32_t picture_type,
                   const Bytes& palette, const Bytes& indices, const Bytes& alpha);

/// A palette whose entry i is (i, 255 - i, i * 7, fourth).
Bytes test_palette(std::uint8_t fourth = 0);

/// A BLP1 file with JPEG content made by encode_blp from `pixels`.
Bytes jpeg_blp(const Bytes& pixels, std::uint32_t width, std::uint32_t height);

/// A TGA header of 18 bytes.
Bytes tga_header(std::uint32_t width, std::uint32_t height, std::uint8_t bits,
                 std::uint8_t image_type = 2, std::uint8_t descriptor = 8,
                 std::uint8_t id_length = 0);

/// A JPEG stream of `components` (1 or 3) channels, made with libjpeg directly.
Bytes plain_jpeg(std::uint32_t width, std::uint32_t height, int components);

/// A progressive JPEG stream of 4 components (as the BLP writer makes them): with libjpeg's
/// simple progression, or with `extra_scans` true one scan per AC coefficient, first pass and
/// refinement, for every component (505 scans).
Bytes progressive_jpeg(const Bytes& pixels, std::uint32_t width, std::uint32_t height,
                       bool extra_scans);

/// A BLP file whose level 0 is `stream` whole (no shared header).
Bytes blp_around_stream(const Bytes& stream, std::uint32_t width, std::uint32_t height);

std::uint32_t u32_at(const Bytes& bytes, std::size_t offset);
void set_u32(Bytes& bytes, std::size_t offset, std::uint32_t value);

using keldra::test::TempFolder;

void write_file(const std::string& path, std::span<const std::uint8_t> bytes);
Bytes read_file(const std::string& path);
bool exists(const std::string& path);

/// What a run of the built pictel program left behind.
struct ProgramRun {
    int exit_code = -1;
    std::string messages; ///< everything written to standard error
};

/// Runs the built pictel with `arguments` in `working_folder`, with TMPDIR set to
/// `temporary_folder`.
ProgramRun run_program(const std::vector<std::string>& arguments, const std::string& working_folder,
                       const std::string& temporary_folder);

/// Runs run_pictel in this process and captures its messages.
ProgramRun run_in_process(const std::vector<std::string>& arguments,
                          const std::string& temporary_folder);

} // namespace pictel::test
