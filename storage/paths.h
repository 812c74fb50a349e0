#pragma once

#include <string>

// Path helpers for the host. Paths are UTF-8 texts; every call into the operating
// system lives in the per-OS implementation file beside this one.
namespace praxora {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Full path of the running executable; empty when the system cannot tell.
std::string GetExecutablePath();

// The path without its last component; empty when there is no component to remove.
std::string RemoveLastComponent(const std::string& path);

// The last component of a path (a file's name with its extension).
std::string FileNameOf(const std::string& path);

// Joins a folder and a relative path with exactly one separator.
std::string JoinPath(const std::string& folder, const std::string& relative);

// True when anything (file, folder, device...) exists under that name.
bool PathExists(const std::string& path);

// The absolute form of a path, relative ones taken from the current directory.
std::string MakeAbsolutePath(const std::string& path);

// file: URL of an absolute path, escaped by the system's own rules; empty on failure.
std::string FileUrlFromPath(const std::string& path);

// True when the path names a regular file that this user can open for reading.
// Never blocks, also when the path names a FIFO or a device.
bool CanReadRegularFile(const std::string& path);

}  // namespace praxora
