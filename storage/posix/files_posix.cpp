// POSIX side of the text files: atomic replacement and non-blocking reads.
#include "storage/paths.h"
#include "storage/platform_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace praxora::platform {

namespace {

constexpr int kMaxLinkHops = 40;  // what the kernel allows before ELOOP

// Follows symbolic links to the name that a write must replace. A name that does not
// exist (yet) is its own target.
bool ResolveLinks(const std::string& path, std::string& target) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                return false;
            }
            target = current;
            return true;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = current;
            return true;
        }
        std::vector<char> link(PATH_MAX + 1, '\0');
        const ssize_t length = readlink(current.c_str(), link.data(), link.size() - 1);
        if (length <= 0) {
            return false;
        }
        const std::string next(link.data(), static_cast<std::size_t>(length));
        // A relative link is relative to the folder that holds it.
        current = next.front() == '/' ? next : JoinPath(RemoveLastComponent(current), next);
    }
    return false;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself durable. Some file systems cannot sync a folder; the new
// content is in place by then either way, so this is best effort.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const ByteRun* runs, std::size_t count) {
    std::string target;
    if (path.empty() || !ResolveLinks(path, target)) {
        return false;
    }
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return false;
    }
    if (!exists && errno != ENOENT) {
        return false;
    }

    const std::string folder = RemoveLastComponent(target);
    std::string temp_name = JoinPath(folder, "." + FileNameOf(target) + ".XXXXXX");
    // mkostemp creates the file with O_EXCL and mode 0600: nobody else can have it open.
    const int fd = mkostemp(temp_name.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }

    bool ok = true;
    if (exists) {
        // Keep the owner where we may (as root, for a file of another user), then the
        // mode; chown first, since it can clear set-id bits.
        if ((existing.st_uid != geteuid() || existing.st_gid != getegid()) &&
            fchown(fd, existing.st_uid, existing.st_gid) != 0) {
            // Not permitted for an ordinary user: the file becomes ours, as any rewrite does.
        }
        ok = fchmod(fd, existing.st_mode & 07777) == 0;
    }
    for (std::size_t i = 0; ok && i < count; ++i) {
        ok = WriteAll(fd, runs[i].data, runs[i].size);
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && rename(temp_name.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temp_name.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (handle_ >= 0) {
        close(static_cast<int>(handle_));
    }
}

bool ReadOnlyFile::Open(const std::string& path) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer. The fstat below then
    // tells what the name really is, on the descriptor, so nothing can swap it meanwhile.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        close(fd);
        return false;
    }
    // Regular files ignore O_NONBLOCK, except where mandatory locks exist; wait there.
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) {
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

std::int64_t ReadOnlyFile::Read(char* buffer, std::size_t size) {
    if (handle_ < 0) {
        return -1;
    }
    for (;;) {
        const ssize_t count = read(static_cast<int>(handle_), buffer, size);
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}

}  // namespace praxora::platform
