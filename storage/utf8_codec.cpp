#include "storage/utf8_codec.h"

#include <cstdint>
#include <cstring>

// Our own validator rather than GLib's: g_utf8_validate stops at NUL bytes, which texts
// may hold, and g_utf8_make_valid turns every bad byte into its own U+FFFD.
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

bool IsAsciiBlock(const unsigned char* data) noexcept {
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    std::memcpy(&first, data, sizeof first);
    std::memcpy(&second, data + sizeof first, sizeof second);
    return ((first | second) & 0x8080808080808080ULL) == 0;
}

}  // namespace

std::size_t ValidPrefixLength(const char* data, std::size_t size) noexcept {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::size_t position = 0;
    while (position < size) {
        if (size - position >= 16 && IsAsciiBlock(bytes + position)) {
            position += 16;
            continue;
        }
        if (bytes[position] < 0x80) {
            ++position;
            continue;
        }
        const Sequence sequence = NextSequence(bytes + position, size - position);
        if (!sequence.well_formed) {
            return position;
        }
        position += sequence.length;
    }
    return size;
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
