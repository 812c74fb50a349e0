#pragma once

// Texts of the application shell.
namespace praxora::texts {

inline constexpr const char* kAppTitle = "Praxora";
inline constexpr const char* kFrameTitle = "Tolv Patient Files";
inline constexpr const char* kTitleSeparator = " - ";

inline constexpr const char* kSettingsVendor = "Corvane";
inline constexpr const char* kSettingsApplication = "Praxora";
inline constexpr int kRecentFileCount = 4;

inline constexpr const char* kEngineUnavailable =
    "Windows could not initialize the browser component required by Praxora.";

// %s receives the path as given on the command line.
inline constexpr const char* kCommandLineFileUnreadable =
    "Praxora could not open the file named on the command line:%n%n%s%n%nIt does not exist, "
    "is not a regular file, or cannot be read.";

}  // namespace praxora::texts
