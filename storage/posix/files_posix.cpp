// POSIX side of the text files: atomic replacement and non-blocking reads.
#include "storage/paths.h"
#include "storage/platform_files.h"
#include "storage/utf8_text_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

namespace praxora {

void PrepareProcessForFileWrites() noexcept {
    // Past RLIMIT_FSIZE the kernel sends SIGXFSZ, whose default kills the process with the
    // user's form unsaved; ignored, the write fails with EFBIG and the save reports it.
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGXFSZ, &action, nullptr);
}

}  // namespace praxora

namespace praxora::platform {

namespace {

constexpr int kMaxLinkHops = 40;  // what the kernel allows before ELOOP
constexpr std::size_t kTempRandomLength = 6;
constexpr int kTempNameAttempts = 100;
constexpr time_t kLeftoverAgeSeconds = 60;  // a save in progress is never that old
constexpr char kTempAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kTempAlphabetSize = sizeof kTempAlphabet - 1;

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }

private:
    int fd_;
};

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

// A user who marked the record read-only meant it, so root honours a file without any
// write bit as well; otherwise the kernel's own rules for this user decide (ACLs too).
bool MayReplace(const std::string& target, const struct stat& existing) {
    if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return false;
    }
    return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

// A short name that fits beside any legal file name, never derived from the target's.
std::string RandomTempName() {
    unsigned char bytes[kTempRandomLength] = {};
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // No entropy yet (early boot): time and process still make collisions rare, and
        // every name is taken with O_EXCL or a link that fails on an existing name.
        static unsigned long long counter = 0;
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        unsigned long long mixed = static_cast<unsigned long long>(now.tv_nsec) ^
                                   (static_cast<unsigned long long>(getpid()) << 32) ^
                                   (++counter * 0x9E3779B97F4A7C15ULL);
        for (unsigned char& byte : bytes) {
            byte = static_cast<unsigned char>(mixed);
            mixed = (mixed >> 8) | (mixed << 56);
        }
    }
    std::string name = kTempNamePrefix;
    for (const unsigned char byte : bytes) {
        name += kTempAlphabet[byte % kTempAlphabetSize];
    }
    return name;
}

bool IsTempName(const char* name) {
    const std::size_t prefix_length = sizeof kTempNamePrefix - 1;
    if (std::strncmp(name, kTempNamePrefix, prefix_length) != 0 ||
        std::strlen(name) != prefix_length + kTempRandomLength) {
        return false;
    }
    for (const char* c = name + prefix_length; *c != '\0'; ++c) {
        if (std::strchr(kTempAlphabet, *c) == nullptr) {
            return false;
        }
    }
    return true;
}

// Removes what killed saves left in the folder: only names of our own pattern, only
// plain files with no other link, and only those untouched for a minute, so a save that
// another instance is running at this moment keeps its file.
void SweepLeftovers(int folder) {
    const int scan = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (scan < 0) {
        return;
    }
    DIR* listing = fdopendir(scan);
    if (listing == nullptr) {
        close(scan);
        return;
    }
    const time_t now = time(nullptr);
    while (const dirent* entry = readdir(listing)) {
        if (!IsTempName(entry->d_name)) {
            continue;
        }
        struct stat info {};
        if (fstatat(folder, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(info.st_mode) || info.st_nlink != 1) {
            continue;
        }
        // The last write: a save in progress writes, flushes and renames within moments.
        if (now - info.st_mtime >= kLeftoverAgeSeconds) {
            unlinkat(folder, entry->d_name, 0);
        }
    }
    closedir(listing);
}

// O_TMPFILE is refused by file systems without it (EOPNOTSUPP) and by old kernels,
// which see a folder opened for writing (EISDIR) or an unknown flag (EINVAL).
bool UnnamedFileRefused(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

int CreateNamedTemp(int folder, std::string& temp_name) {
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::string name = RandomTempName();
        const int fd = openat(folder, name.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            temp_name = name;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
    }
    return -1;
}

// Gives the unnamed file a short name in its folder, only for the rename that follows.
bool LinkUnnamed(int fd, int folder, std::string& temp_name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const std::string name = RandomTempName();
        int linked = linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW);
        if (linked != 0 && errno == ENOENT) {
            // No /proc: the direct form, which needs CAP_DAC_READ_SEARCH.
            linked = linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH);
        }
        if (linked == 0) {
            temp_name = name;
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

// The replaced file's owner and group where the process may set them (root, or a
// member of the group), then its mode; chown first, since it clears set-id bits.
bool TakeOverOwnerAndMode(int fd, const struct stat& existing) {
    if (existing.st_uid != geteuid() || existing.st_gid != getegid()) {
        if (fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
            fchown(fd, static_cast<uid_t>(-1), existing.st_gid) != 0) {
            // Neither is permitted: the file becomes the user's, as any rewrite makes it.
        }
    }
    return fchmod(fd, existing.st_mode & 07777) == 0;
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

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const ByteRun* runs, std::size_t count,
                           StagingFile staging) {
    std::string target;
    if (path.empty() || !ResolveLinks(path, target)) {
        return false;
    }
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) {
        return false;
    }
    if (exists && (!S_ISREG(existing.st_mode) || !MayReplace(target, existing))) {
        return false;
    }

    const std::string folder_path = RemoveLastComponent(target);
    const std::string name = FileNameOf(target);
    Descriptor folder(
        open(folder_path.empty() ? "." : folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) {
        return false;
    }
    SweepLeftovers(folder.get());

    // Until it is linked, nobody can open the unnamed file by any name: a kill leaves
    // nothing. Its mode (0600) matters only once it has one.
    std::string temp_name;
    int fd = -1;
    if (staging == StagingFile::Automatic) {
        fd = openat(folder.get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0 && !UnnamedFileRefused(errno)) {
            return false;
        }
    }
    if (fd < 0) {
        fd = CreateNamedTemp(folder.get(), temp_name);
    }
    Descriptor file(fd);
    if (file.get() < 0) {
        return false;
    }

    bool ok = true;
    for (std::size_t i = 0; ok && i < count; ++i) {
        ok = WriteAll(file.get(), runs[i].data, runs[i].size);
    }
    // Data first, still private; the target's mode only once the data is whole. The
    // folder's flush below makes the mode, the link and the rename durable together.
    ok = ok && fsync(file.get()) == 0;
    ok = ok && (!exists || TakeOverOwnerAndMode(file.get(), existing));
    ok = ok && (!temp_name.empty() || LinkUnnamed(file.get(), folder.get(), temp_name));
    // The name lives from the link to the rename, with nothing else in between. The
    // descriptor closes afterwards; fsync has reported every error a close could.
    ok = ok && renameat(folder.get(), temp_name.c_str(), folder.get(), name.c_str()) == 0;
    if (!ok) {
        if (!temp_name.empty()) {
            unlinkat(folder.get(), temp_name.c_str(), 0);
        }
        return false;
    }
    // Some file systems cannot sync a folder; the new content is in place by then either
    // way, so this is best effort.
    fsync(folder.get());
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
