#include "storage/paths.h"

#include "storage/platform_files.h"

namespace praxora {

std::string RemoveLastComponent(const std::string& path) {
    const auto separator = path.find_last_of(kPathSeparator);
    if (separator == std::string::npos) {
        return {};
    }
    if (separator == 0) {
        // The parent of "/praxora" is the root itself.
        return path.size() > 1 ? std::string(1, kPathSeparator) : std::string{};
    }
    return path.substr(0, separator);
}

std::string FileNameOf(const std::string& path) {
    const auto separator = path.find_last_of(kPathSeparator);
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string JoinPath(const std::string& folder, const std::string& relative) {
    if (folder.empty()) {
        return relative;
    }
    if (folder.back() == kPathSeparator) {
        return folder + relative;
    }
    return folder + kPathSeparator + relative;
}

bool CanReadRegularFile(const std::string& path) {
    platform::ReadOnlyFile file;
    return file.Open(path);
}

}  // namespace praxora
