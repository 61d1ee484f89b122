// The only place that talks to libjpeg. libjpeg reports errors through a callback that must not
// return, so the replaced error-exit jumps back with longjmp, the way the library's own example
// does. Every function that calls setjmp holds nothing but C structs and a pointer to its job, and
// no frame between setjmp and longjmp owns anything with a destructor.
#include "jpeg_codec.h"

#include "byte_buffer.h"

#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

namespace pictel {

namespace {

constexpr int library_interface_version = 62;
constexpr int too_many_scans_message = 1000;
const char* const our_messages[] = {"Too many scans in the JPEG stream (more than %d)", nullptr};

struct ErrorExit {
    jpeg_error_mgr manager; // first member: the library hands back a pointer to it
    std::jmp_buf resume;
};

[[noreturn]] void print_and_resume(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<ErrorExit*>(cinfo->err)->resume, 1);
}

void install_error_exit(ErrorExit* errors) {
    jpeg_std_error(&errors->manager);
    errors->manager.error_exit = print_and_resume;
    errors->manager.addon_message_table = our_messages;
    errors->manager.first_addon_message = too_many_scans_message;
    errors->manager.last_addon_message = too_many_scans_message;
}

// --- decompression -------------------------------------------------------------------------------

// Offers the whole block again when the library asks for more, so a stream that ends too early
// runs into its own start marker and the library stops with an error instead of waiting for more.
// A marker cut short can swallow that start marker, though, and then every pass through the
// block ends the same way: a complete stream is read in one pass, so after the second the
// source itself reports the premature end.
constexpr int max_block_offers = 2;

struct MemorySource {
    jpeg_source_mgr manager; // first member
    const JOCTET* block;
    std::size_t size;
    int offers;
};

void source_does_nothing(j_decompress_ptr) {}

boolean offer_block(j_decompress_ptr cinfo) {
    auto* source = reinterpret_cast<MemorySource*>(cinfo->src);
    if (++source->offers > max_block_offers) {
        ERREXIT(cinfo, JERR_INPUT_EOF);
    }
    source->manager.next_input_byte = source->block;
    source->manager.bytes_in_buffer = source->size;
    return TRUE;
}

void skip_within_block(j_decompress_ptr cinfo, long count) {
    if (count <= 0) {
        return;
    }
    auto remaining = static_cast<std::size_t>(count);
    jpeg_source_mgr* source = cinfo->src;
    while (remaining > source->bytes_in_buffer) {
        remaining -= source->bytes_in_buffer;
        offer_block(cinfo);
    }
    source->next_input_byte += remaining;
    source->bytes_in_buffer -= remaining;
}

void attach_memory_source(j_decompress_ptr cinfo, MemorySource* source,
                          std::span<const std::uint8_t> stream) {
    source->block = stream.data();
    source->size = stream.size();
    source->offers = 0;
    source->manager.next_input_byte = nullptr;
    source->manager.bytes_in_buffer = 0;
    source->manager.init_source = source_does_nothing;
    source->manager.fill_input_buffer = offer_block;
    source->manager.skip_input_data = skip_within_block;
    source->manager.resync_to_restart = jpeg_resync_to_restart;
    source->manager.term_source = source_does_nothing;
    cinfo->src = &source->manager;
}

void limit_scans(j_common_ptr cinfo) {
    auto* decompressor = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (cinfo->is_decompressor && decompressor->input_scan_number > max_jpeg_scans) {
        cinfo->err->msg_code = too_many_scans_message;
        cinfo->err->msg_parm.i[0] = max_jpeg_scans;
        (*cinfo->err->error_exit)(cinfo);
    }
}

struct DecompressJob {
    jpeg_decompress_struct cinfo;
    ErrorExit errors;
    MemorySource source;
    jpeg_progress_mgr progress;
    std::span<const std::uint8_t> stream;
    JpegFrame frame;           // what the stream decodes to, once its header is read
    const JpegFrame* expected; // null: read the header only
    std::span<std::uint8_t> pixels;
};

// Reading only the header is a check made before the real decoding, which reads the header
// again: its warnings are left to that second reading, so each is printed once.
void count_warnings_quietly(j_common_ptr cinfo, int message_level) {
    if (message_level < 0) {
        ++cinfo->err->num_warnings;
    }
}

bool frames_equal(const JpegFrame& a, const JpegFrame& b) {
    return a.width == b.width && a.height == b.height && a.components == b.components;
}

void read_scanlines_into(j_decompress_ptr cinfo, std::span<std::uint8_t> pixels) {
    const std::size_t row_bytes =
        static_cast<std::size_t>(cinfo->output_width) * cinfo->output_components;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = pixels.data() + cinfo->output_scanline * row_bytes;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
}

bool run_decompression(DecompressJob* job) {
    j_decompress_ptr cinfo = &job->cinfo;
    cinfo->err = &job->errors.manager;
    if (setjmp(job->errors.resume) != 0) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_CreateDecompress(cinfo, library_interface_version, sizeof(jpeg_decompress_struct));
    attach_memory_source(cinfo, &job->source, job->stream);
    job->progress.progress_monitor = limit_scans;
    cinfo->progress = &job->progress;
    jpeg_read_header(cinfo, TRUE);
    jpeg_calc_output_dimensions(cinfo);
    job->frame = {cinfo->output_width, cinfo->output_height,
                  static_cast<std::uint32_t>(cinfo->output_components)};
    const bool wanted = job->expected != nullptr && frames_equal(job->frame, *job->expected) &&
                        job->pixels.size() == static_cast<std::size_t>(job->frame.width) *
                                                  job->frame.height * job->frame.components;
    if (wanted) {
        jpeg_start_decompress(cinfo);
        read_scanlines_into(cinfo, job->pixels);
        jpeg_finish_decompress(cinfo);
    }
    jpeg_destroy_decompress(cinfo);
    return job->expected == nullptr || wanted;
}

bool decompress(std::span<const std::uint8_t> stream, const JpegFrame* expected,
                std::span<std::uint8_t> pixels, JpegFrame* frame) {
    if (stream.empty()) {
        return false; // the library takes a byte after every offer, so a block is never empty
    }
    DecompressJob job{};
    install_error_exit(&job.errors);
    if (expected == nullptr) {
        job.errors.manager.emit_message = count_warnings_quietly;
    }
    job.stream = stream;
    job.expected = expected;
    job.pixels = pixels;
    if (!run_decompression(&job)) {
        return false;
    }
    if (frame != nullptr) {
        *frame = job.frame;
    }
    return true;
}

// --- compression ---------------------------------------------------------------------------------

constexpr std::size_t first_destination_size = 16384;

// Grows the caller's vector whenever the library fills it, so a stream of any length fits.
struct GrowingDestination {
    jpeg_destination_mgr manager; // first member
    std::vector<std::uint8_t>* stream;
};

void grow_or_fail(j_compress_ptr cinfo, std::size_t size) {
    auto* destination = reinterpret_cast<GrowingDestination*>(cinfo->dest);
    const std::size_t used = destination->stream->size() - destination->manager.free_in_buffer;
    if (!try_resize(*destination->stream, size)) {
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    }
    destination->manager.next_output_byte = destination->stream->data() + used;
    destination->manager.free_in_buffer = destination->stream->size() - used;
}

void start_destination(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<GrowingDestination*>(cinfo->dest);
    destination->stream->clear();
    destination->manager.free_in_buffer = 0;
    grow_or_fail(cinfo, first_destination_size);
}

boolean grow_destination(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<GrowingDestination*>(cinfo->dest);
    destination->manager.free_in_buffer = 0; // the library calls this only when the block is full
    grow_or_fail(cinfo, destination->stream->size() * 2);
    return TRUE;
}

void end_destination(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<GrowingDestination*>(cinfo->dest);
    destination->stream->resize(destination->stream->size() - destination->manager.free_in_buffer);
}

struct CompressJob {
    jpeg_compress_struct cinfo;
    ErrorExit errors;
    GrowingDestination destination;
    std::span<const std::uint8_t> pixels;
    std::uint32_t width;
    std::uint32_t height;
    int quality;
};

void write_rows(j_compress_ptr cinfo, std::span<const std::uint8_t> pixels) {
    const std::size_t row_bytes = static_cast<std::size_t>(cinfo->image_width) * 4;
    while (cinfo->next_scanline < cinfo->image_height) {
        // libjpeg's row type is not const, but compression only reads the rows.
        auto* row = const_cast<JSAMPLE*>(pixels.data() + cinfo->next_scanline * row_bytes);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
}

bool run_compression(CompressJob* job) {
    j_compress_ptr cinfo = &job->cinfo;
    cinfo->err = &job->errors.manager;
    if (setjmp(job->errors.resume) != 0) {
        jpeg_destroy_compress(cinfo);
        return false;
    }
    jpeg_CreateCompress(cinfo, library_interface_version, sizeof(jpeg_compress_struct));
    job->destination.manager.init_destination = start_destination;
    job->destination.manager.empty_output_buffer = grow_destination;
    job->destination.manager.term_destination = end_destination;
    cinfo->dest = &job->destination.manager;
    cinfo->image_width = job->width;
    cinfo->image_height = job->height;
    cinfo->input_components = 4;
    cinfo->in_color_space = JCS_UNKNOWN;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, job->quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    write_rows(cinfo, job->pixels);
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return true;
}

} // namespace

bool read_jpeg_frame(std::span<const std::uint8_t> stream, JpegFrame* frame) {
    return decompress(stream, nullptr, {}, frame);
}

bool decompress_jpeg(std::span<const std::uint8_t> stream, const JpegFrame& expected,
                     std::span<std::uint8_t> pixels) {
    return decompress(stream, &expected, pixels, nullptr);
}

bool compress_jpeg(std::span<const std::uint8_t> pixels, std::uint32_t width, std::uint32_t height,
                   int quality, std::vector<std::uint8_t>* stream) {
    const bool fits =
        width != 0 && height != 0 && pixels.size() == static_cast<std::size_t>(width) * height * 4;
    CompressJob job{};
    install_error_exit(&job.errors);
    job.destination.stream = stream;
    job.pixels = pixels;
    job.width = width;
    job.height = height;
    job.quality = quality;
    if (!fits || !run_compression(&job)) {
        stream->clear();
        return false;
    }
    return true;
}

} // namespace pictel
