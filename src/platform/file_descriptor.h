// An owned POSIX file descriptor and the read and write loops every file reader of the program
// shares: they retry interrupted calls and never report a short transfer as complete.
#pragma once

#include <cstddef>
#include <span>
#include <sys/types.h>

namespace keldra {

// Owns one descriptor (a file, folder or socket) and closes it when it goes out of scope.
// A negative value means "none": open() and socket() failures can be wrapped directly.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) noexcept : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const noexcept { return fd_; }
    [[nodiscard]] bool is_open() const noexcept { return fd_ >= 0; }
    // Closes now and reports whether the kernel accepted the close, which is where delayed write
    // errors of some file systems surface. Closing nothing reports false.
    bool close() noexcept;

private:
    int fd_;
};

// One read(2) that is retried when a signal interrupts it: the byte count, 0 at the end of the
// data, -1 on an error (errno set).
ssize_t read_some(int fd, std::span<std::byte> buffer) noexcept;

// Reads until `buffer` is full, the data ends or an error occurs; returns the bytes read.
std::size_t read_fully(int fd, std::span<std::byte> buffer) noexcept;

// Writes until every byte is written or an error occurs; returns the bytes written, so a result
// smaller than bytes.size() means the write failed there.
std::size_t write_fully(int fd, std::span<const std::byte> bytes) noexcept;

} // namespace keldra
