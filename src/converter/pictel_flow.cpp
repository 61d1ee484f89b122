#include "pictel_flow.h"

#include "blp_reader.h"
#include "blp_writer.h"
#include "command_line.h"
#include "file_io.h"
#include "pixel_image.h"
#include "tga.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

namespace pictel {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* banner = "Pictel v0.1 - BLP1/TGA picture converter of Keldra\r\n\r\n";
constexpr const char* usage =
    "Usage : \r\n\tPictel input [output] [-t]\r\n\r\n"
    "  where input can be a TGA or a BLP, output a TGA or a BLP\r\n"
    "  the switch -t tells the program to put the output in the temporary directory\r\n";

void release(Bytes* bytes) {
    Bytes().swap(*bytes);
}

std::optional<Bytes> read_input(const std::string& path, std::FILE* messages) {
    auto contents = read_whole_file(path);
    if (!contents) {
        std::fprintf(messages, "Error : cannot open file %s for reading\r\n", path.c_str());
        return std::nullopt;
    }
    if (contents->size_on_disk == 0) {
        std::fprintf(messages, "Error : file %s is empty or cannot be read\r\n", path.c_str());
    }
    if (contents->bytes.size() == contents->size_on_disk) {
        std::fprintf(messages, "File %s read successfully\r\n", path.c_str());
    } else {
        std::fprintf(messages,
                     "Not all the bytes of the file %s could be read, but going on anyway...\r\n",
                     path.c_str());
    }
    return std::move(contents->bytes);
}

void write_output(const std::string& path, const Bytes& bytes, std::FILE* messages) {
    const auto written = write_new_file(path, bytes);
    if (!written) {
        std::fprintf(messages, "Error : cannot open file %s for writing\r\n", path.c_str());
        return;
    }
    std::fprintf(messages, "Theoretical file size : \t%zu bytes\r\nWritten : \t\t\t%zu bytes\r\n",
                 bytes.size(), *written);
    if (*written == bytes.size()) {
        std::fprintf(messages, "The file %s was written successfully\r\n", path.c_str());
    } else {
        std::fprintf(messages,
                     "Not all the bytes of the file %s can be written, the file may be corrupt\r\n",
                     path.c_str());
    }
}

void convert_blp_to_tga(const std::string& input, const std::string& output, std::FILE* messages) {
    auto file = read_input(input, messages);
    if (!file) {
        return;
    }
    BlpInfo info;
    const std::size_t size = decode_blp(*file, {}, &info);
    Bytes pixels(size);
    if (size == 0 || decode_blp(*file, pixels, &info) != size) {
        std::fprintf(messages, "The file %s is not a valid BLP file\r\n", input.c_str());
        return;
    }
    release(&*file);
    flip_rows(pixels, static_cast<std::size_t>(info.width) * 4, info.height);
    Bytes tga(build_tga(pixels, info.width, info.height, 32, {}));
    build_tga(pixels, info.width, info.height, 32, tga);
    release(&pixels);
    write_output(output, tga, messages);
}

// The TGA's pixels as 4 bytes each, rows bottom row first; nothing when the pixels cannot be read.
std::optional<Bytes> read_tga_pixels(const std::string& input, const Bytes& file,
                                     const TgaInfo& info, std::size_t size, std::FILE* messages) {
    if (info.bits_per_pixel != 32) {
        std::fprintf(messages, "The TGA file %s is 24 bits, adding an opaque alpha channel\r\n",
                     input.c_str());
    }
    Bytes pixels(size);
    if (parse_tga(file, pixels, nullptr) != size) {
        std::fprintf(messages, "The file %s is not a valid TGA file\r\n", input.c_str());
        return std::nullopt;
    }
    if (info.bits_per_pixel == 32) {
        return pixels;
    }
    Bytes widened(static_cast<std::size_t>(info.width) * info.height * 4);
    expand_to_32(pixels, widened, 255);
    return widened;
}

bool tga_size_fits_blp(const TgaInfo& info, std::FILE* messages) {
    if (!is_power_of_two(info.width) || !is_power_of_two(info.height)) {
        std::fprintf(messages,
                     "The width and the height of the input TGA must be power of two\r\n");
        return false;
    }
    if (std::min(info.width, info.height) > max_blp_smaller_side) {
        std::fprintf(messages,
                     "The smaller side of the input TGA must not be larger than %u pixels\r\n",
                     static_cast<unsigned>(max_blp_smaller_side));
        return false;
    }
    return true;
}

void convert_tga_to_blp(const std::string& input, const std::string& output, std::FILE* messages) {
    auto file = read_input(input, messages);
    if (!file) {
        return;
    }
    TgaInfo info;
    const std::size_t size = parse_tga(*file, {}, &info);
    if (size == 0) {
        std::fprintf(messages, "The file %s is not a valid TGA file\r\n", input.c_str());
        return;
    }
    if (!tga_size_fits_blp(info, messages)) {
        return;
    }
    auto pixels = read_tga_pixels(input, *file, info, size, messages);
    if (!pixels) {
        return;
    }
    release(&*file);
    flip_rows(*pixels, static_cast<std::size_t>(info.width) * 4, info.height);
    const std::size_t blp_size =
        encode_blp(*pixels, info.width, info.height, 32, {}, blp_jpeg_quality);
    Bytes blp(blp_size);
    if (blp_size == 0 ||
        encode_blp(*pixels, info.width, info.height, 32, blp, blp_jpeg_quality) != blp_size) {
        std::fprintf(messages, "The file %s could not be encoded as a BLP file\r\n", input.c_str());
        return;
    }
    write_output(output, blp, messages);
}

void convert(PictureFormat format, const std::string& input, const std::string& output,
             std::FILE* messages) {
    try {
        if (format == PictureFormat::tga) {
            convert_tga_to_blp(input, output, messages);
        } else {
            convert_blp_to_tga(input, output, messages);
        }
    } catch (const std::bad_alloc&) {
        std::fprintf(messages, "Error : not enough memory to convert the file %s\r\n",
                     input.c_str());
    }
}

} // namespace

int run_pictel(const std::vector<std::string>& arguments, std::FILE* messages,
               const std::string& temporary_folder) {
    std::fputs(banner, messages);
    if (arguments.empty() || arguments.size() > 3) {
        std::fputs(usage, messages);
        return 1;
    }
    const PictelRoles roles = assign_roles(arguments, is_existing_file);
    const PictureFormat format =
        roles.input ? recognise_format(*roles.input) : PictureFormat::unknown;
    if (format == PictureFormat::unknown) {
        std::fputs("Unknown input file format\r\n", messages);
        return 1;
    }
    const std::string& input = *roles.input;
    const bool given_is_input = roles.output && same_path_text(*roles.output, input);
    const std::string output = choose_output_path(roles, format, temporary_folder);
    // A derived name (".blp" keeps its name) or another spelling of the same path must not make
    // the writing step replace the input.
    if (given_is_input || same_path_text(output, input) || name_same_file(output, input)) {
        std::fputs("Input file and output file must not be the same !\r\n", messages);
        return 1;
    }
    convert(format, input, output, messages);
    return 0;
}

} // namespace pictel
