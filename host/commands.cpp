#include "host/commands.h"

#include "host/command_link.h"

namespace praxora {

std::optional<Command> CommandForWord(const std::string& word) {
    const std::string lowered = LowerAscii(word);
    for (const CommandBinding& binding : kCommandTable) {
        if (lowered == binding.word) {
            return binding.command;
        }
    }
    return std::nullopt;
}

std::optional<Command> CommandForMenuId(int menuId) {
    for (const CommandBinding& binding : kCommandTable) {
        if (binding.menuId == menuId) {
            return binding.command;
        }
    }
    return std::nullopt;
}

}  // namespace praxora
