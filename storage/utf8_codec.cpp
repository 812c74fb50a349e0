#include "storage/utf8_codec.h"

#include "storage/utf8_validate.h"

#include <cstdint>
#include <cstring>

// Our own validator rather than GLib's: g_utf8_validate stops at NUL bytes, which texts
// may hold, and g_utf8_make_valid turns every bad byte into its own U+FFFD. It is also
// faster: with the vector validators (utf8_validate_x86.cpp) 16 MiB of ASCII takes under
// 1 ms against GLib's 8-10 ms, of mixed scripts about 1.5 ms against 9-14 ms. The scalar
// code below, kept for other CPUs and to finish what the vector pass hands over, takes
// about 11 ms on the mixed text. bench_files prints both.
namespace praxora::utf8 {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";

struct Sequence {
    std::size_t length;  // bytes consumed: the sequence, or its maximal ill-formed subpart
    bool well_formed;
};

// The sequence starting at data[0] (which is not ASCII), by the table of well-formed
// byte sequences: the first byte fixes the range of the second, the rest are 80..BF.
Sequence NextSequence(const unsigned char* data, std::size_t size) noexcept {
    const unsigned lead = data[0];
    std::size_t trailing = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
    } else if (lead == 0xE0) {
        trailing = 2;
        low = 0xA0;  // below is overlong
    } else if (lead == 0xED) {
        trailing = 2;
        high = 0x9F;  // above are surrogates
    } else if (lead >= 0xE1 && lead <= 0xEF) {
        trailing = 2;
    } else if (lead == 0xF0) {
        trailing = 3;
        low = 0x90;  // below is overlong
    } else if (lead >= 0xF1 && lead <= 0xF3) {
        trailing = 3;
    } else if (lead == 0xF4) {
        trailing = 3;
        high = 0x8F;  // above is past U+10FFFF
    } else {
        return {1, false};  // 80..C1 and F5..FF never start a sequence
    }
    for (std::size_t i = 1; i <= trailing; ++i) {
        if (i >= size || data[i] < low || data[i] > high) {
            return {i, false};
        }
        low = 0x80;
        high = 0xBF;
    }
    return {trailing + 1, true};
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Index of the first byte with its high bit set, given the word's high bits (not 0).
std::size_t FirstHighByte(std::uint64_t high_bits) noexcept {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return static_cast<std::size_t>(__builtin_clzll(high_bits)) / 8;
#else
    return static_cast<std::size_t>(__builtin_ctzll(high_bits)) / 8;
#endif
}

// Number of ASCII bytes at data, looked at sixteen at a time: records are mostly ASCII.
std::size_t AsciiRunLength(const unsigned char* data, std::size_t size) noexcept {
    std::size_t run = 0;
    while (size - run >= 16) {
        std::uint64_t first = 0;
        std::uint64_t second = 0;
        std::memcpy(&first, data + run, sizeof first);
        std::memcpy(&second, data + run + 8, sizeof second);
        if (((first | second) & kHighBits) == 0) {
            run += 16;
            continue;
        }
        if ((first & kHighBits) != 0) {
            return run + FirstHighByte(first & kHighBits);
        }
        return run + 8 + FirstHighByte(second & kHighBits);
    }
    while (run < size && data[run] < 0x80) {
        ++run;
    }
    return run;
}

constexpr bool IsContinuation(unsigned byte) noexcept {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

namespace detail {

std::size_t ValidPrefixLengthScalar(const char* data, std::size_t size) noexcept {
    // Well-formed sequences are accepted by cheap checks on the decoded value; only a
    // failure goes through NextSequence, by the caller, to find the bad subpart.
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t position = 0;
    while (position < size) {
        const unsigned lead = bytes[position];
        const std::size_t rest = size - position;
        if (lead < 0x80) {
            position += AsciiRunLength(bytes + position, rest);
            continue;
        }
        const unsigned second = rest >= 2 ? bytes[position + 1] : 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            if (!IsContinuation(second)) {
                return position;
            }
            position += 2;
        } else if ((lead & 0xF0) == 0xE0) {
            if (rest < 3 || !IsContinuation(second) || !IsContinuation(bytes[position + 2])) {
                return position;
            }
            const unsigned high_bits = ((lead & 0x0F) << 12) | ((second & 0x3F) << 6);
            if (high_bits < 0x800 || (high_bits & 0xF800) == 0xD800) {
                return position;  // overlong or a surrogate
            }
            position += 3;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            if (rest < 4 || !IsContinuation(second) || !IsContinuation(bytes[position + 2]) ||
                !IsContinuation(bytes[position + 3])) {
                return position;
            }
            const unsigned high_bits = ((lead & 0x07) << 18) | ((second & 0x3F) << 12);
            if (high_bits < 0x10000 || high_bits > 0x10FFFF) {
                return position;  // overlong or past U+10FFFF
            }
            position += 4;
        } else {
            return position;
        }
    }
    return size;
}

#if !PRAXORA_UTF8_X86
std::vector<NamedValidator> VectorValidators() {
    return {};
}

Validator FastestValidator() noexcept {
    return ValidPrefixLengthScalar;
}
#endif

}  // namespace detail

std::size_t ValidPrefixLength(const char* data, std::size_t size) noexcept {
    static const detail::Validator validate = detail::FastestValidator();
    return validate(data, size);
}

void AppendWithReplacement(const char* data, std::size_t size, std::string& out) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t position = 0;
    while (position < size) {
        const std::size_t valid = ValidPrefixLength(data + position, size - position);
        out.append(data + position, valid);
        position += valid;
        if (position == size) {
            break;
        }
        out.append(kReplacement, 3);
        position += NextSequence(bytes + position, size - position).length;
    }
}

}  // namespace praxora::utf8
