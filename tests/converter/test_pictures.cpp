#include "test_pictures.h"

#include "blp_writer.h"
#include "pictel_flow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <jpeglib.h>
#include <random>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace pictel::test {

Bytes gradient_picture(std::uint32_t width, std::uint32_t height, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-6, 6);
    Bytes pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const int base[4] = {static_cast<int>(x * 200 / width) + 20,
                                 static_cast<int>(y * 200 / height) + 20,
                                 static_cast<int>((x + y) * 100 / (width + height)) + 60,
                                 static_cast<int>(255 - x * 128 / width)};
            for (int value : base) {
                pixels.push_back(
                    static_cast<std::uint8_t>(std::clamp(value + noise(random), 0, 255)));
            }
        }
    }
    return pixels;
}

std::uint32_t u32_at(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes.at(offset)) | bytes.at(offset + 1) << 8 |
           bytes.at(offset + 2) << 16 | static_cast<std::uint32_t>(bytes.at(offset + 3)) << 24;
}

void set_u32(Bytes& bytes, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

Bytes test_palette(std::uint8_t fourth) {
    Bytes palette;
    for (int i = 0; i < 256; ++i) {
        palette.insert(palette.end(),
                       {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                        static_cast<std::uint8_t>(i * 7), fourth});
    }
    return palette;
}

Bytes paletted_blp(std::uint32_t width, std::uint32_t height, std::uint32_t picture_type,
                   const Bytes& palette, const Bytes& indices, const Bytes& alpha) {
    Bytes file(156, 0);
    std::copy_n("BLP1", 4, file.begin());
    set_u32(file, 4, 1);
    set_u32(file, 8, 8);
    set_u32(file, 12, width);
    set_u32(file, 16, height);
    set_u32(file, 20, picture_type);
    set_u32(file, 24, 1);
    set_u32(file, 28, 1180);
    set_u32(file, 92, static_cast<std::uint32_t>(indices.size() + alpha.size()));
    file.insert(file.end(), palette.begin(), palette.end());
    file.insert(file.end(), indices.begin(), indices.end());
    file.insert(file.end(), alpha.begin(), alpha.end());
    return file;
}

Bytes jpeg_blp(const Bytes& pixels, std::uint32_t width, std::uint32_t height) {
    Bytes file(encode_blp(pixels, width, height, 32, {}, blp_jpeg_quality));
    if (file.empty() ||
        encode_blp(pixels, width, height, 32, file, blp_jpeg_quality) != file.size()) {
        throw std::runtime_error("encode_blp failed on a test picture");
    }
    return file;
}

Bytes tga_header(std::uint32_t width, std::uint32_t height, std::uint8_t bits,
                 std::uint8_t image_type, std::uint8_t descriptor, std::uint8_t id_length) {
    return {id_length,
            0,
            image_type,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            0,
            static_cast<std::uint8_t>(width),
            static_cast<std::uint8_t>(width >> 8),
            static_cast<std::uint8_t>(height),
            static_cast<std::uint8_t>(height >> 8),
            bits,
            descriptor};
}

Bytes plain_jpeg(std::uint32_t width, std::uint32_t height, int components) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_CreateCompress(&cinfo, 62, sizeof(cinfo));
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 3 ? JCS_RGB : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * components, 128);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes stream(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer); // NOLINT(cppcoreguidelines-owning-memory): libjpeg allocated it with malloc
    return stream;
}

namespace {

std::vector<jpeg_scan_info> one_scan_per_coefficient() {
    std::vector<jpeg_scan_info> scans;
    scans.push_back({4, {0, 1, 2, 3}, 0, 0, 0, 0});
    for (int component = 0; component < 4; ++component) {
        for (int coefficient = 1; coefficient < 64; ++coefficient) {
            scans.push_back({1, {component}, coefficient, coefficient, 0, 1});
            scans.push_back({1, {component}, coefficient, coefficient, 1, 0});
        }
    }
    return scans;
}

} // namespace

Bytes progressive_jpeg(const Bytes& pixels, std::uint32_t width, std::uint32_t height,
                       bool extra_scans) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_CreateCompress(&cinfo, 62, sizeof(cinfo));
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_UNKNOWN;
    jpeg_set_defaults(&cinfo);
    const std::vector<jpeg_scan_info> scans = one_scan_per_coefficient();
    if (extra_scans) {
        cinfo.scan_info = scans.data();
        cinfo.num_scans = static_cast<int>(scans.size());
    } else {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* row = const_cast<JSAMPLE*>(pixels.data() + cinfo.next_scanline * width * 4);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes stream(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer); // NOLINT(cppcoreguidelines-owning-memory): libjpeg allocated it with malloc
    return stream;
}

Bytes blp_around_stream(const Bytes& stream, std::uint32_t width, std::uint32_t height) {
    Bytes file(160, 0);
    std::copy_n("BLP1", 4, file.begin());
    set_u32(file, 12, width);
    set_u32(file, 16, height);
    set_u32(file, 28, 160);
    set_u32(file, 92, static_cast<std::uint32_t>(stream.size()));
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

void write_file(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

namespace {

std::string drain(int descriptor) {
    std::string text;
    char chunk[4096];
    ssize_t count = 0;
    while ((count = ::read(descriptor, chunk, sizeof chunk)) > 0) {
        text.append(chunk, static_cast<std::size_t>(count));
    }
    return text;
}

[[noreturn]] void become_program(const std::vector<std::string>& arguments,
                                 const std::string& working_folder,
                                 const std::string& temporary_folder, int error_pipe) {
    ::dup2(error_pipe, STDERR_FILENO);
    if (::chdir(working_folder.c_str()) != 0) {
        ::_exit(127);
    }
    ::setenv("TMPDIR", temporary_folder.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(PICTEL_PROGRAM));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    ::execv(PICTEL_PROGRAM, argv.data());
    ::_exit(127);
}

} // namespace

ProgramRun run_program(const std::vector<std::string>& arguments, const std::string& working_folder,
                       const std::string& temporary_folder) {
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_ends[0]);
        become_program(arguments, working_folder, temporary_folder, pipe_ends[1]);
    }
    ::close(pipe_ends[1]);
    ProgramRun run;
    run.messages = drain(pipe_ends[0]);
    ::close(pipe_ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ProgramRun run_in_process(const std::vector<std::string>& arguments,
                          const std::string& temporary_folder) {
    char* text = nullptr;
    std::size_t length = 0;
    std::FILE* messages = ::open_memstream(&text, &length);
    ProgramRun run;
    run.exit_code = run_pictel(arguments, messages, temporary_folder);
    std::fclose(messages); // NOLINT(cppcoreguidelines-owning-memory): from open_memstream
    run.messages.assign(text, length);
    std::free(text); // NOLINT(cppcoreguidelines-owning-memory): open_memstream allocated it
    return run;
}

} // namespace pictel::test
