#include "platform/text_encoding.h"

#include <array>
#include <cerrno>
#include <iconv.h>

namespace keldra {
namespace {

// One iconv conversion descriptor, closed when it goes out of scope.
class IconvHandle {
public:
    IconvHandle(const char* to_code, const char* from_code)
        : handle_(iconv_open(to_code, from_code)) {}
    ~IconvHandle() {
        if (is_open())
            iconv_close(handle_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool is_open() const { return handle_ != invalid_handle(); }
    iconv_t get() const { return handle_; }
    // Back to the initial conversion state, so one use never depends on the one before.
    void reset() const {
        if (is_open())
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    }

private:
    // iconv_open's documented failure value.
    static iconv_t invalid_handle() {
        return reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }
    iconv_t handle_;
};

enum class StepResult { done, output_full, invalid_input };

// Converts as much of `in` as fits into `out_buffer`, appending it to `out` and advancing `in`.
StepResult convert_step(iconv_t handle, std::string_view& in, std::string& out) {
    std::array<char, 1024> out_buffer{};
    // iconv's interface takes a non-const input pointer but never writes through it.
    char* in_ptr = const_cast<char*>(in.data());
    std::size_t in_left = in.size();
    char* out_ptr = out_buffer.data();
    std::size_t out_left = out_buffer.size();
    const std::size_t result = iconv(handle, &in_ptr, &in_left, &out_ptr, &out_left);
    const int error = errno;
    out.append(out_buffer.data(), out_buffer.size() - out_left);
    in.remove_prefix(in.size() - in_left);
    if (result != static_cast<std::size_t>(-1))
        return StepResult::done;
    return error == E2BIG ? StepResult::output_full : StepResult::invalid_input;
}

bool is_valid_utf8(std::string_view text);

} // namespace

struct Gb2312Codec::Converters {
    IconvHandle to_gb2312{"EUC-CN", "UTF-8"};
    IconvHandle to_utf8{"UTF-8", "EUC-CN"};
};

Gb2312Codec::Gb2312Codec() : converters_(std::make_unique<Converters>()) {}

Gb2312Codec::~Gb2312Codec() = default;

std::optional<std::string> Gb2312Codec::utf8_to_gb2312(std::string_view utf8) {
    // glibc's decoder is lenient about a few ill-formed forms (e.g. encoded surrogates) on some
    // versions, so the input is checked against the UTF-8 rules first.
    if (!is_valid_utf8(utf8))
        return std::nullopt;
    const IconvHandle& converter = converters_->to_gb2312;
    if (!converter.is_open())
        return std::nullopt;
    converter.reset();
    std::string out;
    std::string_view rest = utf8;
    for (;;) {
        switch (convert_step(converter.get(), rest, out)) {
        case StepResult::done:
            if (!rest.empty())
                return std::nullopt;
            return out;
        case StepResult::output_full:
            break;
        case StepResult::invalid_input:
            return std::nullopt;
        }
    }
}

std::string Gb2312Codec::gb2312_to_utf8(std::string_view gb2312) {
    static constexpr std::string_view replacement = "\xEF\xBF\xBD";
    const IconvHandle& converter = converters_->to_utf8;
    converter.reset();
    std::string out;
    std::string_view rest = gb2312;
    while (!rest.empty()) {
        if (!converter.is_open()) {
            out.append(replacement);
            rest.remove_prefix(1);
            continue;
        }
        if (convert_step(converter.get(), rest, out) == StepResult::invalid_input) {
            out.append(replacement);
            rest.remove_prefix(1);
        }
    }
    return out;
}

std::optional<std::string> utf8_to_gb2312(std::string_view utf8) {
    return Gb2312Codec().utf8_to_gb2312(utf8);
}

std::string gb2312_to_utf8(std::string_view gb2312) {
    return Gb2312Codec().gb2312_to_utf8(gb2312);
}

namespace {

// Length of the well-formed UTF-8 sequence at the start of `text`, or 0 when there is none
// (Unicode's table of well-formed byte sequences: no overlong forms, no surrogates, <= U+10FFFF).
std::size_t utf8_sequence_length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const auto in = [](unsigned char b, unsigned char low, unsigned char high) {
        return b >= low && b <= high;
    };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char second_low = 0x80;
    unsigned char second_high = 0xBF;
    if (in(lead, 0xC2, 0xDF)) {
        length = 2;
    } else if (in(lead, 0xE0, 0xEF)) {
        length = 3;
        if (lead == 0xE0)
            second_low = 0xA0;
        if (lead == 0xED)
            second_high = 0x9F;
    } else if (in(lead, 0xF0, 0xF4)) {
        length = 4;
        if (lead == 0xF0)
            second_low = 0x90;
        if (lead == 0xF4)
            second_high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || !in(byte(1), second_low, second_high))
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!in(byte(i), 0x80, 0xBF))
            return 0;
    }
    return length;
}

bool is_valid_utf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = utf8_sequence_length(text);
        if (length == 0)
            return false;
        text.remove_prefix(length);
    }
    return true;
}

} // namespace
} // namespace keldra
