#pragma once

#include <string>
#include <vector>

namespace praxora {

struct FileFilter {
    std::string description;
    std::string patterns;  // ";"-separated, e.g. "*.tolv;*.json"
};

// What a file chooser is asked for. The real one is a modal dialog owned by the main
// window; tests answer it with a fake.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string initialFolder;
    std::string proposedName;  // empty: none
    std::vector<FileFilter> filters;
    // Open: only an existing file can be chosen. Save: the dialog asks before it
    // returns an existing file.
};

struct FileDialogChoice {
    std::string path;
    size_t filterIndex = 0;  // the filter selected when the user confirmed
};

// Splits a filter text of description and pattern pairs, each part ended by "|" and
// the whole by a second "|", into its pairs.
std::vector<FileFilter> ParseFileFilters(const std::string& filterText);

// A saved file's path: a name typed without an extension gets the extension of the
// filter that was selected ("*.json" gives "json"); wildcard-only filters add nothing.
std::string WithFilterExtension(const std::string& path, const FileFilter& filter);

}  // namespace praxora
