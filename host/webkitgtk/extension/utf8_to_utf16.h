#pragma once

#include <cstddef>
#include <cstdint>

namespace praxora::extension {

// Converts UTF-8 that the host has already checked (or repaired) to UTF-16. out has
// room for size units. A sequence cut short at the end becomes U+FFFD; nothing is
// read past size. Returns the number of units written.
std::size_t Utf8ToUtf16(const char* data, std::size_t size, std::uint16_t* out) noexcept;

}  // namespace praxora::extension
