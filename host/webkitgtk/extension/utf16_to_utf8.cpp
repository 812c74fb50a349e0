#include "host/webkitgtk/extension/utf16_to_utf8.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace praxora::extension {

namespace {

// One code point from the units at i, which are not all consumed yet; advances i.
inline char* PutCodePoint(const std::uint16_t* units, std::size_t count, std::size_t& i,
                          char* out) noexcept {
    std::uint32_t c = units[i++];
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i < count && units[i] >= 0xDC00 && units[i] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (units[i++] - 0xDC00);
                *out++ = static_cast<char>(0xF0 | (c >> 18));
                *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                *out++ = static_cast<char>(0x80 | (c & 0x3F));
                return out;
            }
            c = 0xFFFD;
        }
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

}  // namespace

std::size_t Utf16ToUtf8(const std::uint16_t* units, std::size_t count, char* out) noexcept {
    char* const start = out;
    std::size_t i = 0;
#ifdef __SSE2__
    // Eight units a step: a block of ASCII is packed at once, any other block is
    // converted unit by unit (a surrogate pair may reach one unit past it).
    const __m128i nonAscii = _mm_set1_epi16(static_cast<short>(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    while (i + 8 <= count) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(block, zero)) != 0) {
            break;  // a NUL ends the text: the tail loop finds it
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(block, nonAscii), zero)) == 0xFFFF) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(block, block));
            out += 8;
            i += 8;
        } else {
            const std::size_t end = i + 8;
            while (i < end) {
                out = PutCodePoint(units, count, i, out);
            }
        }
    }
#endif
    while (i < count && units[i] != 0) {
        out = PutCodePoint(units, count, i, out);
    }
    return static_cast<std::size_t>(out - start);
}

}  // namespace praxora::extension
