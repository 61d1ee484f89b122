#include "catalogue/map_header.h"

#include "catalogue/map_name.h"
#include "platform/file_descriptor.h"
#include "platform/text_encoding.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace keldra {
namespace {

constexpr std::size_t name_chunk_size = 512;
constexpr std::string_view map_identifier = "HM3W";

// Reads up to `size` bytes, calling `read_some` until they are there or the data ends.
std::size_t read_fully(const ReadSome& read_some, char* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const std::size_t got = read_some(buffer + total, size - total);
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

bool starts_like_a_map(const ReadSome& read_some) {
    std::array<char, 4> identifier{};
    const std::size_t got = read_fully(read_some, identifier.data(), identifier.size());
    // A short identifier counts as four zero bytes, which never equals "HM3W".
    return got == identifier.size() &&
           std::string_view(identifier.data(), identifier.size()) == map_identifier;
}

// The bytes up to the first zero byte, read in 512-byte chunks, at most max_raw_map_name of them.
std::string read_raw_name(const ReadSome& read_some) {
    std::string name;
    std::array<char, name_chunk_size> chunk{};
    while (name.size() < max_raw_map_name) {
        const std::size_t wanted = std::min(chunk.size(), max_raw_map_name - name.size());
        const std::size_t got = read_some(chunk.data(), wanted);
        if (got == 0)
            break;
        const std::string_view piece(chunk.data(), got);
        const std::size_t zero = piece.find('\0');
        name.append(piece.substr(0, zero));
        if (zero != std::string_view::npos)
            break;
    }
    return name;
}

std::size_t read_from_fd(int fd, char* buffer, std::size_t size) {
    const ssize_t got = read_some(fd, std::as_writable_bytes(std::span(buffer, size)));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

// Serves the header reads and the first name chunk from one read of the file: a scan reads
// thousands of headers, and most names end within that first chunk.
class HeaderReader {
public:
    explicit HeaderReader(int fd) : fd_(fd) {}

    std::size_t read_some(char* buffer, std::size_t size) {
        if (!filled_) {
            filled_ = true;
            buffered_ = read_from_fd(fd_, ahead_.data(), ahead_.size());
        }
        if (position_ == buffered_)
            return read_from_fd(fd_, buffer, size);
        const std::size_t count = std::min(size, buffered_ - position_);
        std::copy_n(ahead_.data() + position_, count, buffer);
        position_ += count;
        return count;
    }

private:
    int fd_;
    std::array<char, 8 + name_chunk_size> ahead_{};
    std::size_t buffered_ = 0;
    std::size_t position_ = 0;
    bool filled_ = false;
};

bool is_regular_file(const struct stat& status) {
    return S_ISREG(status.st_mode);
}

} // namespace

std::string display_map_name(std::string_view raw_name, Gb2312Codec& codec) {
    const std::optional<std::string> gb2312 = codec.utf8_to_gb2312(raw_name);
    if (!gb2312)
        return {};
    return codec.gb2312_to_utf8(clean_map_name(*gb2312));
}

std::string display_map_name(std::string_view raw_name) {
    Gb2312Codec codec;
    return display_map_name(raw_name, codec);
}

std::optional<std::string> parse_map_header(const ReadSome& read_some, Gb2312Codec& codec) {
    if (!starts_like_a_map(read_some))
        return std::nullopt;
    std::array<char, 4> header_integer{};
    read_fully(read_some, header_integer.data(), header_integer.size());
    return display_map_name(read_raw_name(read_some), codec);
}

std::optional<std::string> parse_map_header(const ReadSome& read_some) {
    Gb2312Codec codec;
    return parse_map_header(read_some, codec);
}

std::optional<std::string> parse_map_header_bytes(std::string_view bytes) {
    return parse_map_header([&bytes](char* buffer, std::size_t size) {
        const std::size_t count = std::min(size, bytes.size());
        std::copy_n(bytes.data(), count, buffer);
        bytes.remove_prefix(count);
        return count;
    });
}

std::optional<std::string> read_map_header_at(int folder_fd, const std::string& file_name,
                                              Gb2312Codec& codec) {
    // Read-only, so read-only maps and read-only media are listed; non-blocking, so opening a FIFO
    // returns at once and the type check below turns it away.
    const FileDescriptor file(
        ::openat(folder_fd, file_name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !is_regular_file(status))
        return std::nullopt;
    HeaderReader reader(file.get());
    return parse_map_header(
        [&reader](char* buffer, std::size_t size) { return reader.read_some(buffer, size); },
        codec);
}

std::optional<std::string> read_map_header_at(int folder_fd, const std::string& file_name) {
    Gb2312Codec codec;
    return read_map_header_at(folder_fd, file_name, codec);
}

std::optional<std::string> read_map_header(const std::string& path) {
    // Devices are never opened: opening some of them acts on the hardware.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !is_regular_file(status))
        return std::nullopt;
    return read_map_header_at(AT_FDCWD, path);
}

} // namespace keldra
