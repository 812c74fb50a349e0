#pragma once

#include <cstddef>
#include <string>

// Well-formedness by the Unicode definition (no overlongs, no surrogates, nothing past
// U+10FFFF). NUL is an ordinary character here: texts may carry it.
namespace praxora::utf8 {

// Length of the longest well-formed prefix; size when all of it is well-formed.
std::size_t ValidPrefixLength(const char* data, std::size_t size) noexcept;

// Appends the bytes to out with each maximal ill-formed subpart replaced by U+FFFD,
// the way decoders that follow the Unicode recommendation do.
void AppendWithReplacement(const char* data, std::size_t size, std::string& out);

}  // namespace praxora::utf8
