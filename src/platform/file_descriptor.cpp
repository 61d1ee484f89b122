#include "platform/file_descriptor.h"

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace keldra {

FileDescriptor::~FileDescriptor() {
    close();
}

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool FileDescriptor::close() noexcept {
    if (fd_ < 0) {
        return false;
    }
    // Not retried on EINTR: on Linux the descriptor is released even then.
    return ::close(std::exchange(fd_, -1)) == 0;
}

ssize_t read_some(int fd, std::span<std::byte> buffer) noexcept {
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

std::size_t read_fully(int fd, std::span<std::byte> buffer) noexcept {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = read_some(fd, buffer.subspan(done));
        if (got <= 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

std::size_t write_fully(int fd, std::span<const std::byte> bytes) noexcept {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            break;
        }
        done += static_cast<std::size_t>(written);
    }
    return done;
}

} // namespace keldra
