#include "storage/data_folders.h"

#include "storage/paths.h"
#include "storage/platform_folders.h"

namespace praxora {

namespace {

constexpr char kVendorFolder[] = "Corvane";
constexpr char kProductFolder[] = "Praxora";
constexpr char kPatientsFolder[] = "Patients";
constexpr char kDefaultsFile[] = "clinic-defaults.json";

// Folder paths never end in a separator, except the root itself.
std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && path.back() == kPathSeparator) {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string GetAppDataFolder() {
    const std::string base = WithoutTrailingSeparators(platform::PerUserDataBase());
    if (base.empty()) {
        return ".";
    }
    std::string folder = JoinPath(JoinPath(base, kVendorFolder), kProductFolder);
    platform::CreateFolderTree(folder);
    return folder;
}

std::string GetPatientsFolder() {
    std::string folder = JoinPath(GetAppDataFolder(), kPatientsFolder);
    platform::CreateFolderTree(folder);
    return folder;
}

std::string GetDefaultsFilePath() {
    return JoinPath(GetAppDataFolder(), kDefaultsFile);
}

}  // namespace praxora
