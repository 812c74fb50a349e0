#pragma once

#include <initializer_list>
#include <string>

namespace praxora {

// Expands a message format: %n becomes the platform's line break, and each %s the next
// argument in turn (an empty text once they run out).
std::string FormatMessageText(const std::string& format,
                              std::initializer_list<std::string> arguments);

inline std::string FormatMessageText(const std::string& format, const std::string& argument) {
    return FormatMessageText(format, {argument});
}

}  // namespace praxora
