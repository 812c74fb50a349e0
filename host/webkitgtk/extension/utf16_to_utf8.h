#pragma once

#include <cstddef>
#include <cstdint>

namespace praxora::extension {

// The most bytes Utf16ToUtf8 writes for count UTF-16 units.
constexpr std::size_t MaxUtf8Size(std::size_t count) {
    return count * 3;
}

// Converts UTF-16 to UTF-8 up to the first U+0000 (not written), an unpaired
// surrogate becoming U+FFFD. out has room for MaxUtf8Size(count) bytes. Returns the
// number of bytes written.
std::size_t Utf16ToUtf8(const std::uint16_t* units, std::size_t count, char* out) noexcept;

}  // namespace praxora::extension
