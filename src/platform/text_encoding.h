// The program's one text-encoding helper: map names arrive in UTF-8 and are cleaned as GB2312
// (EUC-CN) bytes, the code page the program's rules were written for.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace keldra {

// The two conversions below, opened once and reused: a folder scan converts thousands of names
// and opening the converters costs more than converting a short name. Each call starts from a
// fresh conversion state. Not thread-safe: one object per thread.
class Gb2312Codec {
public:
    Gb2312Codec();
    ~Gb2312Codec();
    Gb2312Codec(const Gb2312Codec&) = delete;
    Gb2312Codec& operator=(const Gb2312Codec&) = delete;

    // As the free function utf8_to_gb2312 below.
    std::optional<std::string> utf8_to_gb2312(std::string_view utf8);
    // As the free function gb2312_to_utf8 below.
    std::string gb2312_to_utf8(std::string_view gb2312);

private:
    struct Converters;
    std::unique_ptr<Converters> converters_;
};

// Converts UTF-8 text to GB2312 in its EUC-CN form (not the larger GBK), all or nothing.
//   utf8: any bytes; embedded zero bytes are converted like any other ASCII character.
// Returns the GB2312 bytes (empty for empty input), or std::nullopt when the input is not valid
// UTF-8, ends inside a multi-byte sequence, or holds any character GB2312 cannot represent. No
// partly converted text is ever returned. Also std::nullopt when the C library lacks the
// converter. Thread-safe: every call uses its own conversion state.
std::optional<std::string> utf8_to_gb2312(std::string_view utf8);

// Converts GB2312 (EUC-CN) bytes to UTF-8 for display. Never fails: each byte that does not begin
// a valid GB2312 character becomes U+FFFD, so a name whose colour-code removal split a
// double-byte character is still shown with the rest of its text.
//   gb2312: any bytes.
// Returns the UTF-8 text (empty for empty input). Thread-safe.
std::string gb2312_to_utf8(std::string_view gb2312);

} // namespace keldra
