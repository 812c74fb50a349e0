#include "host/message_format.h"

#include "host/host_texts.h"

namespace praxora {

std::string FormatMessageText(const std::string& format,
                              std::initializer_list<std::string> arguments) {
    std::string message;
    message.reserve(format.size());
    auto next = arguments.begin();
    for (size_t i = 0; i < format.size(); ++i) {
        const char directive = (format[i] == '%' && i + 1 < format.size()) ? format[i + 1] : '\0';
        if (directive == 'n') {
            message += texts::kLineBreak;
            ++i;
        } else if (directive == 's') {
            if (next != arguments.end()) {
                message += *next++;
            }
            ++i;
        } else {
            message += format[i];
        }
    }
    return message;
}

}  // namespace praxora
