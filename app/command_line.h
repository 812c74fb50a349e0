#pragma once

#include <optional>
#include <string>
#include <vector>

namespace praxora {

struct CommandLine {
    // The first argument that is not a switch; it names a record file that is
    // remembered but not loaded into the form.
    std::optional<std::string> filePath;
    // --developer: web inspector and the engine's context menu.
    bool developerTools = false;
    // --startup-probe=FILE: write the moment the page completed to FILE (benchmarks).
    std::optional<std::string> startupProbeFile;
    // --version: print the program's version and end, without a window.
    bool showVersion = false;
};

// Parses the arguments after the program's name. Switches begin with "-" or "/";
// unknown switches and arguments after the file are ignored. A lone "/" or a path
// that begins with "/" is a path on systems where "/" is the root.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The message shown when the file named on the command line cannot be read.
std::string UnreadableFileMessage(const std::string& path);

}  // namespace praxora
