#pragma once

#include <string>

namespace praxora {

// Expands a message format: %n becomes the platform's line break, %s the argument.
std::string FormatMessageText(const std::string& format, const std::string& argument);

}  // namespace praxora
