#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "storage/scratch_folder.h"

namespace praxora {

namespace {

// "praxora-scratch-<pid>-XXXXXX": the pid tells whether the owner still runs.
constexpr const char* kPrefix = "praxora-scratch-";

std::string ScratchBase() {
    for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* value = std::getenv(variable);
        struct stat info {};
        if (value != nullptr && value[0] == '/' && stat(value, &info) == 0 &&
            S_ISDIR(info.st_mode)) {
            return value;
        }
    }
    return "/tmp";
}

// Removes the files of a folder of ours (no subfolders are ever made) and the folder.
void RemoveFolder(const std::string& path) {
    const int folder = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        return;
    }
    DIR* entries = fdopendir(folder);
    if (entries == nullptr) {
        close(folder);
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = readdir(entries)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    for (const std::string& name : names) {
        unlinkat(dirfd(entries), name.c_str(), 0);
    }
    closedir(entries);
    rmdir(path.c_str());
}

bool ProcessRuns(pid_t pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

ScratchFolder::ScratchFolder() {
    std::string pattern =
        ScratchBase() + "/" + kPrefix + std::to_string(static_cast<long>(getpid())) + "-XXXXXX";
    if (mkdtemp(pattern.data()) != nullptr) {  // mkdtemp makes it 0700
        m_strPath = pattern;
    }
}

ScratchFolder::~ScratchFolder() {
    if (!m_strPath.empty()) {
        RemoveFolder(m_strPath);
    }
}

void RemoveLeftoverScratchFolders() {
    const std::string base = ScratchBase();
    DIR* entries = opendir(base.c_str());
    if (entries == nullptr) {
        return;
    }
    std::vector<std::string> leftovers;
    const std::string prefix = kPrefix;
    while (const dirent* entry = readdir(entries)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        struct stat info {};
        std::string path = base;
        path.append("/").append(name);
        // Only real folders of this user; another user's or a link is never touched.
        if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (!ProcessRuns(static_cast<pid_t>(pid))) {
            leftovers.push_back(path);
        }
    }
    closedir(entries);
    for (const std::string& path : leftovers) {
        RemoveFolder(path);
    }
}

}  // namespace praxora
