#include "host/file_dialog.h"

#include "storage/paths.h"

namespace praxora {

std::vector<FileFilter> ParseFileFilters(const std::string& filterText) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t bar = filterText.find('|'); bar != std::string::npos;
         bar = filterText.find('|', start)) {
        parts.push_back(filterText.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<FileFilter> filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) {
            break;  // the closing "||"
        }
        filters.push_back({parts[i], parts[i + 1]});
    }
    return filters;
}

namespace {

// "tolv" for "*.tolv;*.json"; empty when the first pattern names no plain extension.
std::string FirstExtensionOf(const std::string& patterns) {
    const std::string first = patterns.substr(0, patterns.find(';'));
    if (first.size() < 3 || first.compare(0, 2, "*.") != 0) {
        return {};
    }
    std::string extension = first.substr(2);
    if (extension.find_first_of("*?") != std::string::npos) {
        return {};
    }
    return extension;
}

}  // namespace

std::string WithFilterExtension(const std::string& path, const FileFilter& filter) {
    const std::string name = FileNameOf(path);
    if (name.empty() || name.find('.') != std::string::npos) {
        return path;
    }
    const std::string extension = FirstExtensionOf(filter.patterns);
    return extension.empty() ? path : path + "." + extension;
}

}  // namespace praxora
