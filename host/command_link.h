#pragma once

#include <optional>
#include <string>

namespace praxora {

// Lowers the ASCII capitals A to Z only; every other byte stays as it is.
std::string LowerAscii(const std::string& text);

// The command word of a command link ("tolv:" in any ASCII case, then the word,
// taken as reported: nothing is decoded or trimmed). Empty optional when the URL
// is no command link; an empty word is still a command link.
std::optional<std::string> CommandWordOf(const std::string& url);

}  // namespace praxora
