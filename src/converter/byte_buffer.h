// Growing a byte buffer without letting an allocation failure escape as an exception: the converter
// reports running out of memory as an ordinary failure, and the JPEG callbacks that grow buffers
// must not throw through libjpeg's C frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <vector>

namespace pictel {

/// Resizes `bytes` to `size`; false, with `bytes` unchanged, when the memory cannot be had.
inline bool try_resize(std::vector<std::uint8_t>& bytes, std::size_t size) noexcept {
    try {
        bytes.resize(size);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

} // namespace pictel
