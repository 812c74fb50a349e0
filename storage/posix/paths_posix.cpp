// POSIX side of the path helpers.
#include "storage/paths.h"

#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <vector>

namespace praxora {

std::string GetExecutablePath() {
    std::vector<char> buffer(PATH_MAX + 1, '\0');
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return {};
    }
    return std::string(buffer.data(), static_cast<size_t>(length));
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

std::string MakeAbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') {
        return path;
    }
    std::unique_ptr<char, decltype(&g_free)> cwd(g_get_current_dir(), &g_free);
    return JoinPath(cwd.get(), path);
}

std::string FileUrlFromPath(const std::string& path) {
    std::unique_ptr<char, decltype(&g_free)> uri(g_filename_to_uri(path.c_str(), nullptr, nullptr),
                                                 &g_free);
    return uri ? std::string(uri.get()) : std::string{};
}

}  // namespace praxora
