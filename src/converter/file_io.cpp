#include "file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace pictel {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    [[nodiscard]] int get() const { return descriptor_; }
    [[nodiscard]] bool is_open() const { return descriptor_ >= 0; }

private:
    int descriptor_;
};

std::size_t read_into(int descriptor, std::span<std::uint8_t> buffer) {
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t count = ::read(descriptor, buffer.data() + done, buffer.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    return done;
}

std::size_t write_from(int descriptor, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        done += static_cast<std::size_t>(count);
    }
    return done;
}

bool try_allocate(std::vector<std::uint8_t>* bytes, std::size_t size) {
    try {
        bytes->resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

} // namespace

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
    if (try_allocate(&contents.bytes, contents.size_on_disk)) {
        contents.bytes.resize(read_into(file.get(), contents.bytes));
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
    return write_from(file.get(), bytes);
}

} // namespace pictel
