#include "host/webkitgtk/extension/utf8_to_utf16.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace praxora::extension {

namespace {

// One character from the bytes at i; advances i.
inline std::uint16_t* PutCharacter(const unsigned char* bytes, std::size_t size, std::size_t& i,
                                   std::uint16_t* out) noexcept {
    const std::uint32_t lead = bytes[i];
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (i + length > size) {
        i = size;
        *out++ = 0xFFFD;
        return out;
    }
    std::uint32_t c = 0;
    switch (length) {
        case 1:
            c = lead;
            break;
        case 2:
            c = ((lead & 0x1F) << 6) | (bytes[i + 1] & 0x3F);
            break;
        case 3:
            c = ((lead & 0x0F) << 12) | ((bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F);
            break;
        default:
            c = ((lead & 0x07) << 18) | ((bytes[i + 1] & 0x3F) << 12) |
                ((bytes[i + 2] & 0x3F) << 6) | (bytes[i + 3] & 0x3F);
            break;
    }
    i += length;
    if (c >= 0x10000) {
        c -= 0x10000;
        *out++ = static_cast<std::uint16_t>(0xD800 | (c >> 10));
        *out++ = static_cast<std::uint16_t>(0xDC00 | (c & 0x3FF));
    } else {
        *out++ = static_cast<std::uint16_t>(c);
    }
    return out;
}

}  // namespace

std::size_t Utf8ToUtf16(const char* data, std::size_t size, std::uint16_t* out) noexcept {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    std::uint16_t* const start = out;
    std::size_t i = 0;
#ifdef __SSE2__
    // Sixteen bytes a step: a block of ASCII is widened at once, any other block is
    // converted character by character (the last one may reach past the block).
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= size) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        if (_mm_movemask_epi8(block) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
            out += 16;
            i += 16;
        } else {
            const std::size_t end = i + 16;
            while (i < end) {
                out = PutCharacter(bytes, size, i, out);
            }
        }
    }
#endif
    while (i < size) {
        out = PutCharacter(bytes, size, i, out);
    }
    return static_cast<std::size_t>(out - start);
}

}  // namespace praxora::extension
