// JPEG compression and decompression of whole pictures held in memory, through libjpeg's 6b
// interface. Library errors print the library's message (and "\n") on standard error and make the
// call report failure; the library's first warning is printed the same way and work goes on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace pictel {

/// The picture a JPEG stream decodes to with every decompression parameter at its default.
struct JpegFrame {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t components = 0; ///< bytes per output pixel
};

/// Streams with more scans than this are refused: every scan walks the whole picture again, so a
/// small file of many empty scans could otherwise keep the decoder busy for a very long time.
inline constexpr int max_jpeg_scans = 500;

/// Reads the header of the complete JPEG stream `stream` (an image is required) and stores the
/// frame it decodes to in `*frame`. Returns false, leaving `*frame` untouched, when the library
/// reports an error or `stream` is empty. The library's warnings are not printed here (a
/// decompression of the same stream prints them). `stream` is only read, never beyond its end.
bool read_jpeg_frame(std::span<const std::uint8_t> stream, JpegFrame* frame);

/// Decompresses `stream` into `pixels`, rows top row first, `components` bytes per pixel.
/// Succeeds only when the stream decodes to exactly `expected` and `pixels` holds exactly
/// expected.width * expected.height * expected.components bytes; nothing is written past `pixels`.
/// On a library error part of `pixels` may have been written and false is returned.
bool decompress_jpeg(std::span<const std::uint8_t> stream, const JpegFrame& expected,
                     std::span<std::uint8_t> pixels);

/// Compresses `width` x `height` pixels of 4 bytes (rows top row first, `pixels` holding exactly
/// 4 * width * height bytes) as four independent components: no colour conversion, no
/// subsampling, the library's defaults with `quality` and baseline tables, all tables written.
/// On success `*stream` holds the complete stream and true is returned; on failure `*stream` is
/// emptied and false is returned.
bool compress_jpeg(std::span<const std::uint8_t> pixels, std::uint32_t width, std::uint32_t height,
                   int quality, std::vector<std::uint8_t>* stream);

} // namespace pictel
