#include "host/window_title.h"

#include "host/host_texts.h"
#include "storage/paths.h"

namespace praxora {

std::string StartupTitle(const std::string& commandLineFilePath) {
    const std::string documentName =
        commandLineFilePath.empty() ? texts::kAppTitle : FileNameOf(commandLineFilePath);
    return documentName + texts::kTitleSeparator + texts::kFrameTitle;
}

std::string RecordTitle(const std::string& currentRecordPath) {
    std::string title = texts::kAppTitle;
    if (!currentRecordPath.empty()) {
        title += texts::kTitleSeparator;
        title += FileNameOf(currentRecordPath);
    }
    return title;
}

}  // namespace praxora
