#pragma once

#include <cstddef>
#include <string>

// Record and defaults files: a UTF-8 text behind a byte order mark (EF BB BF), nothing
// else. Texts in memory are UTF-8 as well. Neither function throws or reports anything;
// the caller decides what the user is told.
namespace praxora {

// Largest file ReadUtf8TextFile accepts, counted over the whole file, mark included.
inline constexpr std::size_t kMaxUtf8TextFileSize = std::size_t{16} * 1024 * 1024;

// Stores the mark and the text. Malformed UTF-8 in the text is written as U+FFFD; a NUL
// byte is written as it is. The target is replaced atomically: after false the earlier
// file is untouched. A new file is private to the user; a replaced one keeps its
// permissions (and owner, where the process may set it); a symbolic link keeps pointing
// at the replaced file. A file the user may not write, or one with no write bit at all,
// is not replaced.
bool WriteUtf8TextFile(const std::string& path, const std::string& text) noexcept;

// Makes a write beyond the process's file size limit fail instead of killing the
// process. Call once at start-up, before any thread is started.
void PrepareProcessForFileWrites() noexcept;

// Loads a regular file of at most kMaxUtf8TextFileSize bytes into text, without one
// leading mark. Each malformed sequence becomes U+FFFD; NUL bytes stay. Anything other
// than a regular file (folder, FIFO, socket, device) is refused without blocking. The
// text is emptied first, so it is empty after false.
bool ReadUtf8TextFile(const std::string& path, std::string& text) noexcept;

}  // namespace praxora
