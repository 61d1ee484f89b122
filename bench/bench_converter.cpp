// Converter benchmark: prints one "figure: value" line per figure and ends with a non-zero exit
// code when a bound is missed.
//  1. Peak memory of a pictel run converting a 1024x1024 BLP, less that of a 1x1 run.
//  2. decode_blp (both calls) against a bare libjpeg decompression of the same joined stream.
//     The bound applies to the median of the ratios of runs made back to back.
//  3. A whole pictel run converting a 256x256 minimap from BLP to TGA.
//  4. encode_blp (both calls) of a 256x256 picture, with its level count and file size.
#include "blp_reader.h"
#include "blp_writer.h"
#include "pictel_flow.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <jpeglib.h>
#include <random>
#include <span>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

constexpr double max_decode_ratio = 1.10;
constexpr int decode_runs = 41;
constexpr int process_runs = 20;
constexpr long libjpeg_allowance_kib = 1024;

// Gradients in every channel plus noise, like a minimap.
Bytes minimap_like(std::uint32_t width, std::uint32_t height) {
    std::mt19937 random(42);
    std::uniform_int_distribution<int> noise(-12, 12);
    Bytes pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height * 4);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const int base[4] = {
                static_cast<int>(x * 255 / width), static_cast<int>(y * 255 / height),
                static_cast<int>((x ^ y) % 64) * 3 + 40, 255 - static_cast<int>(x * 64 / width)};
            for (int value : base) {
                pixels.push_back(
                    static_cast<std::uint8_t>(std::clamp(value + noise(random), 0, 255)));
            }
        }
    }
    return pixels;
}

Bytes encoded(const Bytes& pixels, std::uint32_t width, std::uint32_t height) {
    Bytes file(pictel::encode_blp(pixels, width, height, 32, {}, pictel::blp_jpeg_quality));
    pictel::encode_blp(pixels, width, height, 32, file, pictel::blp_jpeg_quality);
    return file;
}

std::uint32_t u32_at(const Bytes& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | bytes[offset + 1] << 8 |
           bytes[offset + 2] << 16 | static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
}

Bytes joined_level0(const Bytes& file) {
    const std::size_t shared = u32_at(file, 156);
    const std::size_t offset = u32_at(file, 28);
    const std::size_t size = u32_at(file, 92);
    Bytes stream(file.begin() + 160, file.begin() + 160 + static_cast<long>(shared));
    stream.insert(stream.end(), file.begin() + static_cast<long>(offset),
                  file.begin() + static_cast<long>(offset + size));
    return stream;
}

bool bare_libjpeg_decode(const Bytes& stream, Bytes& pixels) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_CreateDecompress(&cinfo, 62, sizeof(cinfo));
    jpeg_mem_src(&cinfo, stream.data(), stream.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    const std::size_t row_bytes =
        static_cast<std::size_t>(cinfo.output_width) * cinfo.output_components;
    pixels.resize(row_bytes * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = pixels.data() + cinfo.output_scanline * row_bytes;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool decode_with_pictel(const Bytes& file, Bytes& pixels) {
    pixels.resize(pictel::decode_blp(file, {}, nullptr));
    return !pixels.empty() && pictel::decode_blp(file, pixels, nullptr) == pixels.size();
}

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double time_once(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return milliseconds(Clock::now() - start);
}

void print(const char* figure, double value, const char* unit) {
    std::printf("%s: %.3f %s\n", figure, value, unit);
}

bool decode_figures(std::uint32_t side) {
    const Bytes file = encoded(minimap_like(side, side), side, side);
    const Bytes stream = joined_level0(file);
    Bytes ours;
    Bytes bare;
    std::vector<double> ours_ms;
    std::vector<double> bare_ms;
    std::vector<double> ratios;
    decode_with_pictel(file, ours); // warm-up: first touches of the buffers and the code
    bare_libjpeg_decode(stream, bare);
    // Each ratio compares two runs made back to back (in alternating order), so that the load
    // other processes put on the machine affects both sides of it alike.
    for (int run = 0; run < decode_runs; ++run) {
        double ours_time = 0;
        double bare_time = 0;
        if (run % 2 == 0) {
            ours_time = time_once([&] { decode_with_pictel(file, ours); });
            bare_time = time_once([&] { bare_libjpeg_decode(stream, bare); });
        } else {
            bare_time = time_once([&] { bare_libjpeg_decode(stream, bare); });
            ours_time = time_once([&] { decode_with_pictel(file, ours); });
        }
        ours_ms.push_back(ours_time);
        bare_ms.push_back(bare_time);
        ratios.push_back(ours_time / bare_time);
    }
    const double ratio = median(ratios);
    const std::string name = std::to_string(side) + "x" + std::to_string(side);
    print(("decode_blp_" + name + "_median").c_str(), median(ours_ms), "ms");
    print(("bare_libjpeg_" + name + "_median").c_str(), median(bare_ms), "ms");
    std::printf("decode_ratio_%s: %.3f (median of paired runs; bound %.2f)\n", name.c_str(), ratio,
                max_decode_ratio);
    if (ours != bare) {
        std::printf("decode_%s: pixels differ from the bare decompression\n", name.c_str());
        return false;
    }
    return ratio <= max_decode_ratio;
}

void write_file(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

struct ChildRun {
    double milliseconds = 0;
    long peak_kib = 0;
    int exit_code = -1;
};

ChildRun run_pictel_process(const std::string& input, const std::string& output) {
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int quiet = ::open("/dev/null", O_WRONLY);
        ::dup2(quiet, STDERR_FILENO);
        ::execl(PICTEL_PROGRAM, PICTEL_PROGRAM, input.c_str(), output.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    ChildRun run;
    run.milliseconds = milliseconds(Clock::now() - start);
    run.peak_kib = usage.ru_maxrss;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

bool process_figure(const std::filesystem::path& folder) {
    const std::string input = (folder / "minimap.blp").string();
    write_file(input, encoded(minimap_like(256, 256), 256, 256));
    std::vector<double> times;
    for (int run = 0; run < process_runs; ++run) {
        const ChildRun child = run_pictel_process(input, (folder / "minimap.tga").string());
        if (child.exit_code != 0) {
            std::printf("pictel_blp_to_tga_256x256: pictel ended with %d\n", child.exit_code);
            return false;
        }
        times.push_back(child.milliseconds);
    }
    print("pictel_blp_to_tga_256x256_median", median(times), "ms");
    return true;
}

// Makes the two input files in a child process, so that this process stays small: a child
// inherits its parent's resident size as the start of its own peak.
bool write_memory_inputs(const std::string& tiny, const std::string& large,
                         std::size_t* large_size) {
    int size_pipe[2];
    if (::pipe(size_pipe) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        write_file(tiny, encoded(minimap_like(1, 1), 1, 1));
        const Bytes file = encoded(minimap_like(1024, 1024), 1024, 1024);
        write_file(large, file);
        const std::size_t size = file.size();
        const bool sent = ::write(size_pipe[1], &size, sizeof size) == sizeof size;
        ::_exit(sent ? 0 : 1);
    }
    ::close(size_pipe[1]);
    const bool received =
        ::read(size_pipe[0], large_size, sizeof *large_size) == sizeof *large_size;
    ::close(size_pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return received && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Run first, while this process is still small.
bool memory_figure(const std::filesystem::path& folder) {
    const std::string tiny = (folder / "tiny.blp").string();
    const std::string large = (folder / "large.blp").string();
    std::size_t large_size = 0;
    if (!write_memory_inputs(tiny, large, &large_size)) {
        std::printf("pictel_1024x1024_peak_rss: the input files could not be made\n");
        return false;
    }
    long baseline = 0;
    long peak = 0;
    for (int run = 0; run < 3; ++run) {
        const long tiny_peak = run_pictel_process(tiny, (folder / "tiny.tga").string()).peak_kib;
        const long large_peak = run_pictel_process(large, (folder / "large.tga").string()).peak_kib;
        baseline = run == 0 ? tiny_peak : std::min(baseline, tiny_peak);
        peak = run == 0 ? large_peak : std::min(peak, large_peak);
    }
    const long picture_kib = 1024L * 1024 * 4 / 1024;
    const long bound = 3 * picture_kib + libjpeg_allowance_kib;
    std::printf("pictel_1024x1024_blp_file: %zu bytes\n", large_size);
    std::printf("pictel_1x1_peak_rss: %ld KiB\n", baseline);
    std::printf("pictel_1024x1024_peak_rss: %ld KiB\n", peak);
    std::printf(
        "pictel_1024x1024_peak_above_baseline: %ld KiB (bound %ld KiB = 3 x %ld KiB picture + "
        "%ld KiB for libjpeg)\n",
        peak - baseline, bound, picture_kib, libjpeg_allowance_kib);
    return peak - baseline <= bound;
}

void encode_figure() {
    const Bytes pixels = minimap_like(256, 256);
    std::vector<double> times;
    times.reserve(5);
    Bytes file;
    for (int run = 0; run < 5; ++run) {
        times.push_back(time_once([&] { file = encoded(pixels, 256, 256); }));
    }
    std::size_t levels = 0;
    while (levels < 16 && u32_at(file, 92 + 4 * levels) != 0) {
        ++levels;
    }
    print("encode_blp_256x256_median", median(times), "ms");
    std::printf("encode_blp_256x256_levels: %zu\n", levels);
    std::printf("encode_blp_256x256_file_size: %zu bytes\n", file.size());
}

} // namespace

int main() {
    char pattern[] = "/tmp/bench-converter-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    const std::filesystem::path folder = pattern;
    bool within_bounds = memory_figure(folder);
    within_bounds = decode_figures(256) && within_bounds;
    within_bounds = decode_figures(1024) && within_bounds;
    within_bounds = process_figure(folder) && within_bounds;
    encode_figure();
    std::filesystem::remove_all(folder);
    std::printf("within_bounds: %s\n", within_bounds ? "yes" : "no");
    return within_bounds ? 0 : 1;
}
