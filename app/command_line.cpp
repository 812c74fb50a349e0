#include "app/command_line.h"

#include "app/app_texts.h"
#include "host/message_format.h"

namespace praxora {

namespace {

constexpr const char* kDeveloperSwitch = "--developer";
constexpr const char* kProbeSwitch = "--startup-probe=";
constexpr const char* kVersionSwitch = "--version";

bool IsSwitch(const std::string& argument) {
#ifdef _WIN32
    return !argument.empty() && (argument[0] == '-' || argument[0] == '/');
#else
    // "/" starts every absolute path here, so only "-" marks a switch.
    return !argument.empty() && argument[0] == '-';
#endif
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine commandLine;
    for (const std::string& argument : arguments) {
        if (argument == kDeveloperSwitch) {
            commandLine.developerTools = true;
        } else if (argument == kVersionSwitch) {
            commandLine.showVersion = true;
        } else if (StartsWith(argument, kProbeSwitch)) {
            commandLine.startupProbeFile = argument.substr(std::string(kProbeSwitch).size());
        } else if (!IsSwitch(argument) && !commandLine.filePath && !argument.empty()) {
            commandLine.filePath = argument;
        }
    }
    return commandLine;
}

std::string UnreadableFileMessage(const std::string& path) {
    return FormatMessageText(texts::kCommandLineFileUnreadable, path);
}

}  // namespace praxora
