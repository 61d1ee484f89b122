// Feeds arbitrary bytes to the map header reader (in memory, and from a file through the reader
// the scan uses, which must agree), and to the colour-code cleaning and keyword search on bytes
// they would never get from a well-formed name.
#include "catalogue/keyword_filter.h"
#include "catalogue/map_header.h"
#include "catalogue/map_name.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The header as read_map_header reads it from a file holding `bytes`.
std::optional<std::string> read_through_file(std::string_view bytes) {
    const int fd = ::memfd_create("map", MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    auto map_name = keldra::read_map_header("/proc/self/fd/" + std::to_string(fd));
    ::close(fd);
    return map_name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto map_name = keldra::parse_map_header_bytes(bytes);
    // Each name byte can grow to at most one 3-byte replacement character.
    if (map_name && map_name->size() > 3 * keldra::max_raw_map_name)
        std::abort();
    if (read_through_file(bytes) != map_name)
        std::abort();

    if (keldra::clean_map_name(std::string(bytes)).size() > size)
        std::abort();

    const std::string_view keyword = bytes.substr(0, size / 3);
    const std::string_view text = bytes.substr(size / 3);
    const int position = keldra::find_keyword(text, keyword);
    const bool found_inside =
        position >= 1 && static_cast<std::size_t>(position) - 1 + keyword.size() <= text.size();
    if (position != -1 && !found_inside && !keyword.empty())
        std::abort();
    return 0;
}
