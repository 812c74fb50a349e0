#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What the text files need from the operating system. Implemented once per OS.
namespace praxora::platform {

struct ByteRun {
    const char* data;
    std::size_t size;
};

// Where the new content waits for the rename. Automatic uses an unnamed file where the
// file system allows one and a short named file elsewhere; Named always uses the latter.
enum class StagingFile { Automatic, Named };

// Name prefix of the named temporary files. A crash can leave one behind; the next
// replacement in that folder removes those older than a minute.
inline constexpr char kTempNamePrefix[] = ".praxora-";

// Writes the runs, one after another, to a new file beside the target, flushes it to
// disk and renames it over the target; then flushes the folder. On any failure the new
// file is removed and the target is as it was. A symbolic link is followed: what it
// points to is replaced and the link stays. An existing target that is not a regular
// file, or that the user may not write, is refused; a file with no write bit at all is
// refused for root too. A replaced file keeps its mode, and its owner and group where
// the process may set them.
bool ReplaceFileAtomically(const std::string& path, const ByteRun* runs, std::size_t count,
                           StagingFile staging = StagingFile::Automatic);

// An existing regular file open for reading; closed when destroyed.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens the file; a folder, FIFO, socket or device is refused, without blocking.
    bool Open(const std::string& path);

    // The size when the file was opened; it may change while it is read.
    std::uint64_t Size() const { return size_; }

    // Reads up to size bytes: the count read, 0 at the end of the file, -1 on failure.
    std::int64_t Read(char* buffer, std::size_t size);

private:
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
};

}  // namespace praxora::platform
