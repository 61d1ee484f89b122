#include "shell/run_directory.h"

#include <array>
#include <climits>
#include <unistd.h>

namespace keldra {

QByteArray run_directory() {
    std::array<char, PATH_MAX> target{};
    const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) {
        return {};
    }
    const QByteArray executable(target.data(), static_cast<qsizetype>(length));
    const qsizetype slash = executable.lastIndexOf('/');
    if (slash < 0) {
        return {};
    }
    return slash == 0 ? QByteArray("/") : executable.left(slash);
}

} // namespace keldra
