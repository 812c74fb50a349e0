#include "host/command_link.h"

#include <cstring>

#include "host/host_texts.h"

namespace praxora {

std::string LowerAscii(const std::string& text) {
    std::string lowered = text;
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

std::optional<std::string> CommandWordOf(const std::string& url) {
    const size_t schemeLength = std::strlen(texts::kCommandLinkScheme);
    if (url.size() < schemeLength ||
        LowerAscii(url.substr(0, schemeLength)) != texts::kCommandLinkScheme) {
        return std::nullopt;
    }
    return url.substr(schemeLength);
}

}  // namespace praxora
