// POSIX side of the data folders: the XDG base and mkdir.
#include "storage/paths.h"
#include "storage/platform_folders.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdlib>

namespace praxora::platform {

namespace {

// Only absolute values count: a relative XDG_DATA_HOME or HOME would make the data
// folder depend on the current directory.
const char* AbsoluteEnvironmentValue(const char* name) {
    const char* value = std::getenv(name);  // NOLINT(concurrency-mt-unsafe): UI thread only
    return value != nullptr && value[0] == '/' ? value : nullptr;
}

}  // namespace

std::string PerUserDataBase() {
    if (const char* data_home = AbsoluteEnvironmentValue("XDG_DATA_HOME")) {
        return data_home;
    }
    if (const char* home = AbsoluteEnvironmentValue("HOME")) {
        return JoinPath(JoinPath(home, ".local"), "share");
    }
    return {};
}

void CreateFolderTree(const std::string& path) {
    if (path.empty()) {
        return;
    }
    // The common case is a folder that exists already: one call, EEXIST, done.
    if (mkdir(path.c_str(), 0700) == 0 || errno != ENOENT) {
        return;
    }
    const std::string parent = RemoveLastComponent(path);
    if (parent.empty() || parent == path) {
        return;
    }
    CreateFolderTree(parent);
    mkdir(path.c_str(), 0700);
}

}  // namespace praxora::platform
