// Vector UTF-8 validation: each byte is classified by three table lookups on the nibbles
// of itself and the byte before it, which flags every bad two-byte pattern; a second
// check makes sure the third and fourth bytes of long sequences are continuations and
// nothing else is. The vector pass only says whether a block is clean. The exact prefix
// length, and the tail too short for a block, are left to the scalar code.
#include "storage/utf8_validate.h"

#if PRAXORA_UTF8_X86

#include <immintrin.h>

#include <cstdint>

namespace praxora::utf8::detail {

namespace {

// Error classes, one bit each; a byte pair is bad when a class survives all three tables.
constexpr std::uint8_t kTooShort = 1 << 0;      // lead, then no continuation
constexpr std::uint8_t kTooLong = 1 << 1;       // ASCII, then a continuation
constexpr std::uint8_t kOverlong3 = 1 << 2;     // E0 80..9F
constexpr std::uint8_t kTooLarge = 1 << 3;      // F4 90..BF, F5..FF 90..BF
constexpr std::uint8_t kSurrogate = 1 << 4;     // ED A0..BF
constexpr std::uint8_t kOverlong2 = 1 << 5;     // C0/C1 80..BF
constexpr std::uint8_t kTooLarge1000 = 1 << 6;  // F5..FF 80..8F
constexpr std::uint8_t kOverlong4 = 1 << 6;     // F0 80..8F
constexpr std::uint8_t kTwoConts = 1 << 7;      // continuation, continuation: right only
                                                // in a three- or four-byte sequence
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

// By the high nibble of the previous byte.
alignas(16) constexpr std::uint8_t kPreviousHigh[16] = {
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTooLong,
    kTwoConts,
    kTwoConts,
    kTwoConts,
    kTwoConts,
    kTooShort | kOverlong2,
    kTooShort,
    kTooShort | kOverlong3 | kSurrogate,
    kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};

// By the low nibble of the previous byte.
alignas(16) constexpr std::uint8_t kPreviousLow[16] = {
    kCarry | kOverlong3 | kOverlong2 | kOverlong4,
    kCarry | kOverlong2,
    kCarry,
    kCarry,
    kCarry | kTooLarge,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000 | kSurrogate,
    kCarry | kTooLarge | kTooLarge1000,
    kCarry | kTooLarge | kTooLarge1000};

// By the high nibble of the byte itself.
alignas(16) constexpr std::uint8_t kCurrentHigh[16] = {
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,
    kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,
    kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
    kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
    kTooShort,
    kTooShort,
    kTooShort,
    kTooShort};

// A block ending in a lead byte whose sequence it does not finish: a byte above these
// limits in the last three places. The next block must then not be plain ASCII.
alignas(32) constexpr std::uint8_t kCompleteLimit[32] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xEF, 0xDF, 0xBF};

constexpr char kThirdByteBias = static_cast<char>(0xE0 - 0x80);   // E0.. leads two back
constexpr char kFourthByteBias = static_cast<char>(0xF0 - 0x80);  // F0.. leads three back

constexpr bool IsContinuation(unsigned char byte) noexcept {
    return (byte & 0xC0) == 0x80;
}

// The blocks before `clean` passed: they are well-formed but for one sequence that may
// run on past it. The scalar code takes over at that sequence's lead byte, which is the
// last non-continuation among the three bytes before `clean`; if all three continue,
// they end a four-byte sequence and `clean` itself is a boundary.
std::size_t HandOver(const unsigned char* bytes, std::size_t size, std::size_t clean) noexcept {
    std::size_t start = clean;
    for (std::size_t back = 1; back <= 3 && back <= clean; ++back) {
        if (!IsContinuation(bytes[clean - back])) {
            start = clean - back;
            break;
        }
    }
    return start +
           ValidPrefixLengthScalar(reinterpret_cast<const char*>(bytes) + start, size - start);
}

// ---- AVX2, 32 bytes a step -------------------------------------------------------------

#define PRAXORA_AVX2 __attribute__((target("avx2")))

PRAXORA_AVX2 inline __m256i Table256(const std::uint8_t (&table)[16]) noexcept {
    return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table)));
}

// The block shifted by N bytes, the gap filled from the end of the previous block.
template <int N>
PRAXORA_AVX2 inline __m256i Before256(__m256i block, __m256i previous) noexcept {
    return _mm256_alignr_epi8(block, _mm256_permute2x128_si256(previous, block, 0x21), 16 - N);
}

PRAXORA_AVX2 std::size_t ValidPrefixLengthAvx2(const char* data, std::size_t size) noexcept {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const __m256i previous_high_table = Table256(kPreviousHigh);
    const __m256i previous_low_table = Table256(kPreviousLow);
    const __m256i current_high_table = Table256(kCurrentHigh);
    const __m256i complete_limit =
        _mm256_load_si256(reinterpret_cast<const __m256i*>(kCompleteLimit));
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i high_bit = _mm256_set1_epi8(static_cast<char>(0x80));
    const __m256i third_byte_bias = _mm256_set1_epi8(kThirdByteBias);
    const __m256i fourth_byte_bias = _mm256_set1_epi8(kFourthByteBias);

    __m256i previous = _mm256_setzero_si256();  // as if ASCII went before
    __m256i incomplete = _mm256_setzero_si256();
    std::size_t clean = 0;
    while (size - clean >= 32) {
        const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + clean));
        __m256i error;
        if (_mm256_movemask_epi8(block) == 0) {
            error = incomplete;
            incomplete = _mm256_setzero_si256();
        } else {
            const __m256i before1 = Before256<1>(block, previous);
            const __m256i special = _mm256_and_si256(
                _mm256_and_si256(
                    _mm256_shuffle_epi8(previous_high_table,
                                        _mm256_and_si256(_mm256_srli_epi16(before1, 4), nibble)),
                    _mm256_shuffle_epi8(previous_low_table, _mm256_and_si256(before1, nibble))),
                _mm256_shuffle_epi8(current_high_table,
                                    _mm256_and_si256(_mm256_srli_epi16(block, 4), nibble)));
            const __m256i third = _mm256_subs_epu8(Before256<2>(block, previous), third_byte_bias);
            const __m256i fourth =
                _mm256_subs_epu8(Before256<3>(block, previous), fourth_byte_bias);
            const __m256i must_continue =
                _mm256_and_si256(_mm256_or_si256(third, fourth), high_bit);
            error = _mm256_xor_si256(must_continue, special);
            incomplete = _mm256_subs_epu8(block, complete_limit);
        }
        if (!_mm256_testz_si256(error, error)) {
            break;
        }
        previous = block;
        clean += 32;
    }
    return HandOver(bytes, size, clean);
}

#undef PRAXORA_AVX2

// ---- SSSE3, 16 bytes a step, for CPUs without AVX2 -------------------------------------

#define PRAXORA_SSSE3 __attribute__((target("ssse3")))

PRAXORA_SSSE3 inline __m128i Table128(const std::uint8_t (&table)[16]) noexcept {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(table));
}

PRAXORA_SSSE3 std::size_t ValidPrefixLengthSsse3(const char* data, std::size_t size) noexcept {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    const __m128i previous_high_table = Table128(kPreviousHigh);
    const __m128i previous_low_table = Table128(kPreviousLow);
    const __m128i current_high_table = Table128(kCurrentHigh);
    const __m128i complete_limit =
        _mm_load_si128(reinterpret_cast<const __m128i*>(kCompleteLimit + 16));
    const __m128i zero = _mm_setzero_si128();
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i high_bit = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i third_byte_bias = _mm_set1_epi8(kThirdByteBias);
    const __m128i fourth_byte_bias = _mm_set1_epi8(kFourthByteBias);

    __m128i previous = zero;
    __m128i incomplete = zero;
    std::size_t clean = 0;
    while (size - clean >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + clean));
        __m128i error;
        if (_mm_movemask_epi8(block) == 0) {
            error = incomplete;
            incomplete = zero;
        } else {
            const __m128i before1 = _mm_alignr_epi8(block, previous, 15);
            const __m128i special = _mm_and_si128(
                _mm_and_si128(_mm_shuffle_epi8(previous_high_table,
                                               _mm_and_si128(_mm_srli_epi16(before1, 4), nibble)),
                              _mm_shuffle_epi8(previous_low_table, _mm_and_si128(before1, nibble))),
                _mm_shuffle_epi8(current_high_table,
                                 _mm_and_si128(_mm_srli_epi16(block, 4), nibble)));
            const __m128i third =
                _mm_subs_epu8(_mm_alignr_epi8(block, previous, 14), third_byte_bias);
            const __m128i fourth =
                _mm_subs_epu8(_mm_alignr_epi8(block, previous, 13), fourth_byte_bias);
            const __m128i must_continue = _mm_and_si128(_mm_or_si128(third, fourth), high_bit);
            error = _mm_xor_si128(must_continue, special);
            incomplete = _mm_subs_epu8(block, complete_limit);
        }
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(error, zero)) != 0xFFFF) {
            break;
        }
        previous = block;
        clean += 16;
    }
    return HandOver(bytes, size, clean);
}

#undef PRAXORA_SSSE3

}  // namespace

std::vector<NamedValidator> VectorValidators() {
    std::vector<NamedValidator> validators;
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) {
        validators.push_back({"avx2", ValidPrefixLengthAvx2});
    }
    if (__builtin_cpu_supports("ssse3")) {
        validators.push_back({"ssse3", ValidPrefixLengthSsse3});
    }
    return validators;
}

Validator FastestValidator() noexcept {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2")) {
        return ValidPrefixLengthAvx2;
    }
    if (__builtin_cpu_supports("ssse3")) {
        return ValidPrefixLengthSsse3;
    }
    return ValidPrefixLengthScalar;
}

}  // namespace praxora::utf8::detail

#endif  // PRAXORA_UTF8_X86
