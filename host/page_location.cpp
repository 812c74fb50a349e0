#include "host/page_location.h"

#include "host/host_texts.h"
#include "host/message_format.h"
#include "storage/paths.h"

namespace praxora {

std::string PagePathForExecutable(const std::string& executablePath) {
    const std::string programFolder = RemoveLastComponent(executablePath);
    if (programFolder.empty()) {
        return {};
    }
    std::string relative = texts::kPageRelativePath;
    for (char& c : relative) {
        if (c == '/') {
            c = kPathSeparator;
        }
    }
    return JoinPath(programFolder, relative);
}

std::string MissingPageMessage(const std::string& pagePath) {
    return FormatMessageText(texts::kMissingPageFormat, pagePath);
}

}  // namespace praxora
