#include "file_io.h"

#include "byte_buffer.h"
#include "platform/file_descriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictel {

using keldra::FileDescriptor;

bool is_existing_file(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool name_same_file(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::optional<FileContents> read_whole_file(const std::string& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!file.is_open() || ::fstat(file.get(), &status) != 0) {
        return std::nullopt;
    }
    FileContents contents;
    contents.size_on_disk = static_cast<std::size_t>(status.st_size);
    if (try_resize(contents.bytes, contents.size_on_disk)) {
        contents.bytes.resize(
            keldra::read_fully(file.get(), std::as_writable_bytes(std::span(contents.bytes))));
    }
    return contents;
}

std::optional<std::size_t> write_new_file(const std::string& path,
                                          std::span<const std::uint8_t> bytes) {
    ::unlink(path.c_str());
    const FileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!file.is_open()) {
        return std::nullopt;
    }
    return keldra::write_fully(file.get(), std::as_bytes(bytes));
}

} // namespace pictel
